// The string that tells the user each refusal of the portable checks; the
// wizard's pages and loomctl word them alike.
#pragma once

#include "resources/ResourceIds.h"
#include "util/Refusal.h"

namespace loom {

constexpr unsigned RefusalString(Refusal r) {
  switch (r) {
    case Refusal::None: break;
    case Refusal::NameInvalid: return IDS_NAME_INVALID;
    case Refusal::NameBrackets: return IDS_INVENTORY_NAME_BRACKETS;
    case Refusal::LocationMissing: return IDS_LOCATION_MISSING;
    case Refusal::LocationInvalid: return IDS_LOCATION_INVALID;
    case Refusal::LocationExists: return IDS_LOCATION_OVERWRITE;
    case Refusal::LowDiskSpace: return IDS_LOW_DISK_SPACE;
    case Refusal::FileNameMissing: return IDS_FILE_NAME_MISSING;
    case Refusal::SyncUrlMissing: return IDS_SYNC_URL_MISSING;
    case Refusal::SyncUrlInvalid: return IDS_SYNC_URL_INVALID;
    case Refusal::SyncWarningTooLong: return IDS_SYNC_WARNING_TOO_LONG;
    case Refusal::PortalUrlInvalid: return IDS_PORTAL_URL_INVALID;
    case Refusal::BaseFolderMissing: return IDS_BASE_FOLDER_MISSING;
    case Refusal::BaseFolderInvalid: return IDS_BASE_FOLDER_INVALID;
    case Refusal::BaseAccessDenied: return IDS_BASE_ACCESS_DENIED;
    case Refusal::BaseNotManaged: return IDS_BASE_NOT_MANAGED;
    case Refusal::BaseBadVersion: return IDS_BASE_BAD_VERSION;
  }
  return 0;
}

}  // namespace loom

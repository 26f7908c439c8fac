// What the portable checks refuse, named by what is wrong. The Windows side
// words each one (RefusalString in resources/RefusalStrings.h) and each page
// names the control it concerns.
#pragma once

namespace loom {

enum class Refusal {
  None,
  NameInvalid,       // characters a name may not hold; also an empty inventory name, a bad sandbox folder
  NameBrackets,      // "[" or "]" in the inventory name
  LocationMissing,   // no project location
  LocationInvalid,   // not a usable project folder
  LocationExists,    // the folder holds files (the overwrite question)
  LowDiskSpace,      // less room than the estimate
  FileNameMissing,   // data or MSI file name
  SyncUrlMissing,    // application sync
  SyncUrlInvalid,
  SyncWarningTooLong,  // the warning period is longer than the expiry period
  PortalUrlInvalid,
  BaseFolderMissing,   // base package of a portal update
  BaseFolderInvalid,
  BaseAccessDenied,
  BaseNotManaged,      // no AppID
  BaseBadVersion,
};

}  // namespace loom

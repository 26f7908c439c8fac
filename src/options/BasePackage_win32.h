// The base package of a portal update: its folder read for the identity of
// the package to update. The portal page and the unattended capture share it.
#pragma once

#include <string>

#include "options/OptionEdits.h"

namespace loom {

// None when `folder` holds a base package that can be updated (its identity
// in `identity`), else BaseFolderMissing (no folder given),
// BaseFolderInvalid (not a folder) or JudgeBaseScan's refusal. `identity` is emptied first, so nothing from an earlier
// base package outlives a check.
Refusal CheckBasePackage(const std::wstring& folder, BaseIdentity& identity);

}  // namespace loom

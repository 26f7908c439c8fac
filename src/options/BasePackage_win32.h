// The base package of a portal update: its folder read for the identity of
// the package to update. The portal page and the unattended capture share it.
#pragma once

#include <string>

#include "options/OptionEdits.h"

namespace loom {

// 0 when `folder` holds a base package that can be updated (its identity in
// `identity`), else the message: 247 no folder given, 249 not a folder, or
// JudgeBaseScan's. `identity` is emptied first, so nothing from an earlier
// base package outlives a check.
int CheckBasePackage(const std::wstring& folder, BaseIdentity& identity);

}  // namespace loom

// loomctl capture runs installers and the scan tool: Windows only.
#include "loomctl/Console.h"

namespace loomctl {

const char16_t kCaptureUsage[] =
    u"  loomctl capture ANSWERS [--dry-run] [--log FILE]   (Windows)\n"
    u"  loomctl answers PROJECT-FOLDER\n"
    u"  loomctl report PROJECT-FOLDER [-o FILE]\n";

int RunCapture(const Args&) { return Fail(kBadUsage, u"capture needs Windows: run loomctl.exe there"); }

}  // namespace loomctl

#include "capture/TempFiles_win32.h"

#include "capture/CaptureState.h"
#include "capture/ScanTool.h"
#include "wizard/Steps.h"

namespace loom {

void DeleteTemporaryFiles(unsigned mask) {
  CaptureState& st = State();
  if ((mask & DeletePrescan) && !st.startSnapshotPath.empty()) DeleteExistingFile(st.startSnapshotPath);
  if ((mask & DeletePostscan) && !st.endSnapshotPath.empty()) DeleteExistingFile(st.endSnapshotPath);
  if ((mask & DeleteWorkingProject) && !st.workingProjectPath.empty()) DeleteExistingFile(st.workingProjectPath);
}

}  // namespace loom

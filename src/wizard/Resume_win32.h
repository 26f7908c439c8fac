// The resume value under the current user's RunOnce key: written while a
// capture may be resumed after a restart, read at start-up, and the resume
// page's choice. The capture's paths are those of State().
#pragma once

#include <optional>
#include <string>

namespace loom {

// Writes (on) or deletes (off) the resume value. On with `commandLine`: that
// command line re-registered under the current program path; on without it:
// the capture's snapshots and scan locations with `ieSelection` (nothing is
// written before the prescan has a path).
void SetResumeEntry(bool on, int ieSelection, const wchar_t* commandLine = nullptr);

// A capture that can be resumed: its arguments came with the command line or
// in a pending resume value (`fromValue`), both snapshots they name exist.
struct PendingResume {
  std::wstring prescanFileName;  // shown on the resume page
  std::wstring carrier;          // the command line that carried the arguments
  bool fromValue = false;
};
// Start-up: the pending capture, if any (State().tokens then hold its
// arguments); a stale resume value is deleted.
std::optional<PendingResume> FindPendingResume();
// The resume page is shown: the value is written again under this program's
// path (after the system has removed the one it started us from), so that a
// further restart resumes again.
void KeepResumeEntry(const PendingResume& pending);

// The resume page's Next: a new capture (`continueCapture` false, or
// arguments that no longer parse) deletes the prescan snapshot; a continued
// one takes the snapshots, scan locations and browser selection into
// State() and `ieSelection`. Returns the step to go to.
int ApplyResumeChoice(bool continueCapture, int& ieSelection);

}  // namespace loom

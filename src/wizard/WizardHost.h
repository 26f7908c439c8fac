// What a page may ask of the wizard that shows it: the three moves of the
// button row, the main window (owner of message boxes and pickers), the
// resume entry, and the values pages hand on to later pages.
#pragma once

#include <windows.h>

namespace loom {

struct PageValues;  // wizard/PageValues.h, included where a page reads or writes it

class WizardHost {
 public:
  virtual void OnNext() = 0;
  virtual void OnBack() = 0;
  virtual void OnCancel() = 0;  // the quit question; Yes ends the wizard
  virtual HWND hwnd() const = 0;
  // Writes (on) or deletes (off) the resume value for the current capture.
  virtual void SetResumeEntry(bool on) = 0;
  virtual PageValues& Values() = 0;

 protected:
  ~WizardHost() = default;
};

}  // namespace loom

// Exchange between a dialog's controls and its members, in one direction at a
// time. Every exchange does nothing once a previous one failed, so the
// exchange stops at the first failing control (which Dialog::UpdateData then
// focuses).
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

namespace loom {

class Dialog;
class Control;

class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool saving) : dialog_(dialog), saving_(saving) {}

  bool saving() const { return saving_; }
  bool failed() const { return failed_; }
  int failedId() const { return failedId_; }
  Dialog& dialog() const { return dialog_; }

  // Marks control `id` as the failing one (the caller has told the user why).
  void Fail(int id);

  void Text(int id, std::wstring& value);
  void Check(int id, bool& value);
  // A group of radio buttons from firstId to lastId; value is the index of the checked one, -1 for none.
  void Radio(int firstId, int lastId, int& value);
  // The same over radio buttons whose IDs are not consecutive, in group order.
  void Radio(std::initializer_list<int> ids, int& value);
  // Binds a control wrapper to the dialog's control `id` (both directions).
  void Bind(int id, Control& control);

 private:
  Dialog& dialog_;
  bool saving_;
  bool failed_ = false;
  int failedId_ = 0;
};

}  // namespace loom

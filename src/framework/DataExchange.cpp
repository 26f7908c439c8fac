#include "framework/DataExchange.h"

#include "framework/Controls.h"
#include "framework/Dialog.h"

namespace loom {

void DataExchange::Fail(int id) {
  if (failed_) return;
  failed_ = true;
  failedId_ = id;
}

void DataExchange::Text(int id, std::wstring& value) {
  if (failed_) return;
  if (saving_)
    value = dialog_.ItemText(id);
  else
    dialog_.SetItemText(id, value);
}

void DataExchange::Check(int id, bool& value) {
  if (failed_) return;
  if (saving_)
    value = dialog_.ItemCheck(id) == BST_CHECKED;
  else
    dialog_.SetItemCheck(id, value);
}

void DataExchange::Radio(int firstId, int lastId, int& value) {
  if (failed_) return;
  if (saving_) {
    value = -1;
    for (int id = firstId; id <= lastId; ++id)
      if (dialog_.ItemCheck(id) == BST_CHECKED) {
        value = id - firstId;
        break;
      }
  } else {
    for (int id = firstId; id <= lastId; ++id) dialog_.SetItemCheck(id, id - firstId == value);
  }
}

void DataExchange::Radio(std::initializer_list<int> ids, int& value) {
  if (failed_) return;
  int index = 0;
  if (saving_) {
    value = -1;
    for (int id : ids) {
      if (dialog_.ItemCheck(id) == BST_CHECKED) {
        value = index;
        break;
      }
      ++index;
    }
  } else {
    for (int id : ids) dialog_.SetItemCheck(id, index++ == value);
  }
}

void DataExchange::Bind(int id, Control& control) {
  if (failed_) return;
  if (!control) control.Attach(dialog_.Item(id));
}

}  // namespace loom

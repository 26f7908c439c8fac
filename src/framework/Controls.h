// Thin wrappers over standard and common controls: each is a window handle
// with the messages the pages use spelled as methods.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <string>
#include <string_view>

#include "framework/Window.h"

namespace loom {

class Control : public Window {
 public:
  using Window::Window;
};

class Button : public Control {
 public:
  using Control::Control;
  bool Checked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
  void SetChecked(bool on) const { Send(BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED); }
};

class Edit : public Control {
 public:
  using Control::Control;
  void SetSel(int start, int end) const { Send(EM_SETSEL, WPARAM(start), LPARAM(end)); }
  void ScrollCaret() const { Send(EM_SCROLLCARET); }
  void SetReadOnly(bool on) const { Send(EM_SETREADONLY, on); }
  void SetLimit(int chars) const { Send(EM_SETLIMITTEXT, WPARAM(chars)); }
};

class ComboBox : public Control {
 public:
  using Control::Control;
  int Add(const std::wstring& text) const { return int(Send(CB_ADDSTRING, 0, LPARAM(text.c_str()))); }
  int Count() const { return int(Send(CB_GETCOUNT)); }
  int Selection() const { return int(Send(CB_GETCURSEL)); }
  void Select(int index) const { Send(CB_SETCURSEL, WPARAM(index)); }
  void Clear() const { Send(CB_RESETCONTENT); }
};

class ListView : public Control {
 public:
  using Control::Control;
  int InsertColumn(int index, const std::wstring& title, int width) const;
  int InsertItem(int index, const std::wstring& text, int image = -1, LPARAM data = 0) const;
  void SetItemText(int item, int sub, const std::wstring& text) const;
  std::wstring ItemText(int item, int sub) const;
  int Count() const { return int(Send(LVM_GETITEMCOUNT)); }
  void DeleteAll() const { Send(LVM_DELETEALLITEMS); }
  bool Checked(int item) const { return ListView_GetCheckState(hwnd_, item) != 0; }
  void SetChecked(int item, bool on) const { ListView_SetCheckState(hwnd_, item, on); }
  void SetExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, style, style); }
  LPARAM ItemData(int item) const;
};

class RichEdit : public Control {
 public:
  using Control::Control;
  // Streams rich text in (EM_STREAMIN, SF_RTF).
  void StreamRtf(std::string_view rtf) const;
  void SetBackground(COLORREF color) const { Send(EM_SETBKGNDCOLOR, 0, LPARAM(color)); }
  void SetSel(LONG start, LONG end) const;
  // Searches `text` forward over the whole content, ignoring case; -1 when absent.
  LONG Find(const std::wstring& text) const;
  void SetLinkFormat() const;  // CFE_LINK on the selection
  void SetEventMask(DWORD mask) const { Send(EM_SETEVENTMASK, 0, LPARAM(mask)); }
  LONG CharFromPos(POINT clientPoint) const;
};

}  // namespace loom

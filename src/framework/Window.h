// A thin, non-owning handle to a window, with the few operations the wizard uses.
#pragma once

#include <windows.h>

#include <string>

namespace loom {

class Window {
 public:
  Window() = default;
  explicit Window(HWND hwnd) : hwnd_(hwnd) {}

  HWND hwnd() const { return hwnd_; }
  explicit operator bool() const { return hwnd_ != nullptr; }
  void Attach(HWND hwnd) { hwnd_ = hwnd; }

  HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
  Window ItemWindow(int id) const { return Window(Item(id)); }

  std::wstring Text() const;
  void SetText(const std::wstring& text) const { ::SetWindowTextW(hwnd_, text.c_str()); }
  std::wstring ItemText(int id) const { return ItemWindow(id).Text(); }
  void SetItemText(int id, const std::wstring& text) const { ItemWindow(id).SetText(text); }

  bool IsEnabled() const { return hwnd_ && ::IsWindowEnabled(hwnd_); }
  void Enable(bool on) const { ::EnableWindow(hwnd_, on); }
  void EnableItem(int id, bool on) const { ::EnableWindow(Item(id), on); }
  bool IsVisible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }
  void Show(int how) const { ::ShowWindow(hwnd_, how); }
  void ShowItem(int id, bool on) const { ::ShowWindow(Item(id), on ? SW_SHOW : SW_HIDE); }
  void FocusItem(int id) const { ::SetFocus(Item(id)); }

  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(hwnd_, msg, w, l); }
  LRESULT SendItem(int id, UINT msg, WPARAM w = 0, LPARAM l = 0) const {
    return ::SendDlgItemMessageW(hwnd_, id, msg, w, l);
  }
  bool Post(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(hwnd_, msg, w, l) != 0; }

  int ItemCheck(int id) const { return int(SendItem(id, BM_GETCHECK)); }
  void SetItemCheck(int id, bool on) const { SendItem(id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED); }

 protected:
  HWND hwnd_ = nullptr;
};

}  // namespace loom

// A static control that paints nothing, so whatever lies behind it (the
// banner picture) stays visible.
#pragma once

#include <windows.h>

namespace loom {

class CTransparentText {
 public:
  bool Create(HWND parent, const RECT& rect, int id);
  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);
  HWND hwnd_ = nullptr;
};

}  // namespace loom

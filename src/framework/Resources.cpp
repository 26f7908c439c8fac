#include "framework/Resources.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

#include "framework/WinText.h"

namespace loom {

HINSTANCE AppInstance() { return ::GetModuleHandleW(nullptr); }

std::wstring LoadResString(UINT id, HMODULE module) {
  const wchar_t* text = nullptr;
  int len = ::LoadStringW(module ? module : AppInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  if (len <= 0 || !text) return std::wstring();
  return std::wstring(text, size_t(len));
}

std::string_view LoadResBytes(UINT id, const wchar_t* type, HMODULE module) {
  HMODULE m = module ? module : AppInstance();
  HRSRC res = ::FindResourceW(m, MAKEINTRESOURCEW(id), type);
  if (!res) return {};
  HGLOBAL data = ::LoadResource(m, res);
  DWORD size = ::SizeofResource(m, res);
  const void* p = data ? ::LockResource(data) : nullptr;
  if (!p) return {};
  return std::string_view(static_cast<const char*>(p), size);
}

void SplitLink(const std::wstring& entry, std::wstring& caption, std::wstring& url) {
  size_t semi = entry.find(L';');
  if (semi == std::wstring::npos) {
    caption.clear();
    url = entry;
  } else {
    caption = entry.substr(0, semi);
    url = entry.substr(semi + 1);
  }
}

std::wstring FormatW(const wchar_t* format, ...) {
  std::vector<wchar_t> buf(512);
  for (;;) {
    va_list args;
    va_start(args, format);
    int n = _vsnwprintf(buf.data(), buf.size(), format, args);
    va_end(args);
    if (n >= 0 && size_t(n) < buf.size()) return std::wstring(buf.data(), size_t(n));
    if (buf.size() > (1u << 24)) return std::wstring();
    buf.resize(buf.size() * 2);
  }
}

}  // namespace loom

#include "framework/Window.h"

namespace loom {

std::wstring Window::Text() const {
  int n = ::GetWindowTextLengthW(hwnd_);
  if (n <= 0) return std::wstring();
  std::wstring text(size_t(n) + 1, L'\0');
  n = ::GetWindowTextW(hwnd_, text.data(), n + 1);
  text.resize(size_t(n > 0 ? n : 0));
  return text;
}

}  // namespace loom

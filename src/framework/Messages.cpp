#include "framework/Messages.h"

#include "framework/Resources.h"

namespace loom {

int ShowMessageCaptioned(HWND from, const std::wstring& text, const std::wstring& caption, UINT type) {
  HWND owner = from ? ::GetAncestor(from, GA_ROOT) : nullptr;
  return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

int ShowMessage(HWND from, const std::wstring& text, UINT type, UINT captionId) {
  return ShowMessageCaptioned(from, text, LoadResString(captionId), type);
}

int ShowMessage(HWND from, UINT textId, UINT type, UINT captionId) {
  return ShowMessage(from, LoadResString(textId), type, captionId);
}

}  // namespace loom

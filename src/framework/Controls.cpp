#include "framework/Controls.h"

#include <commdlg.h>

#include <vector>

namespace loom {

int ListView::InsertColumn(int index, const std::wstring& title, int width) const {
  LVCOLUMNW col = {};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  col.pszText = const_cast<wchar_t*>(title.c_str());
  col.cx = width;
  col.iSubItem = index;
  return int(Send(LVM_INSERTCOLUMNW, WPARAM(index), LPARAM(&col)));
}

int ListView::InsertItem(int index, const std::wstring& text, int image, LPARAM data) const {
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  item.iImage = image;
  item.lParam = data;
  return int(Send(LVM_INSERTITEMW, 0, LPARAM(&item)));
}

void ListView::SetItemText(int item, int sub, const std::wstring& text) const {
  LVITEMW it = {};
  it.iSubItem = sub;
  it.pszText = const_cast<wchar_t*>(text.c_str());
  Send(LVM_SETITEMTEXTW, WPARAM(item), LPARAM(&it));
}

std::wstring ListView::ItemText(int item, int sub) const {
  std::vector<wchar_t> buf(1024);
  LVITEMW it = {};
  it.iSubItem = sub;
  it.pszText = buf.data();
  it.cchTextMax = int(buf.size());
  int n = int(Send(LVM_GETITEMTEXTW, WPARAM(item), LPARAM(&it)));
  return std::wstring(buf.data(), size_t(n > 0 ? n : 0));
}

LPARAM ListView::ItemData(int item) const {
  LVITEMW it = {};
  it.mask = LVIF_PARAM;
  it.iItem = item;
  Send(LVM_GETITEMW, 0, LPARAM(&it));
  return it.lParam;
}

namespace {

struct StreamCursor {
  std::string_view bytes;
  size_t pos = 0;
};

DWORD CALLBACK StreamOut(DWORD_PTR cookie, LPBYTE buffer, LONG want, LONG* got) {
  auto* c = reinterpret_cast<StreamCursor*>(cookie);
  size_t n = c->bytes.size() - c->pos;
  if (n > size_t(want)) n = size_t(want);
  memcpy(buffer, c->bytes.data() + c->pos, n);
  c->pos += n;
  *got = LONG(n);
  return 0;
}

}  // namespace

void RichEdit::StreamRtf(std::string_view rtf) const {
  StreamCursor cursor{rtf, 0};
  EDITSTREAM es = {};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
  es.pfnCallback = StreamOut;
  Send(EM_STREAMIN, SF_RTF, LPARAM(&es));
}

void RichEdit::SetSel(LONG start, LONG end) const {
  CHARRANGE cr = {start, end};
  Send(EM_EXSETSEL, 0, LPARAM(&cr));
}

LONG RichEdit::Find(const std::wstring& text) const {
  // The 1.0 control is an ANSI window class: search with narrow text.
  int n = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(size_t(n > 0 ? n : 1), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(), n, nullptr, nullptr);
  FINDTEXTA ft = {};
  ft.chrg.cpMin = 0;
  ft.chrg.cpMax = -1;
  ft.lpstrText = narrow.c_str();
  return LONG(::SendMessageA(hwnd_, EM_FINDTEXT, FR_DOWN, LPARAM(&ft)));
}

void RichEdit::SetLinkFormat() const {
  // The 1.0 control knows only the original CHARFORMAT size.
  CHARFORMATW cf = {};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_LINK;
  cf.dwEffects = CFE_LINK;
  Send(EM_SETCHARFORMAT, SCF_SELECTION, LPARAM(&cf));
}

LONG RichEdit::CharFromPos(POINT clientPoint) const {
  POINTL pt = {clientPoint.x, clientPoint.y};
  return LONG(Send(EM_CHARFROMPOS, 0, LPARAM(&pt)));
}

}  // namespace loom

#include "capture/WelcomeDialog.h"

#include <windowsx.h>

#include "app/Version.h"
#include "framework/Resources.h"
#include "framework/WinText.h"

namespace loom {
namespace {

constexpr UINT kVersionString = 175;  // "版本 %hs"
constexpr UINT kHotSpotLinks[4] = {204, 203, 253, 255};
constexpr UINT kBannerNormal = IDB_COMMUNITY;   // 220
constexpr UINT kBannerLit = IDB_COMMUNITY_LIT;  // 221

// Texts of the picture, from the string table: the heading, the five phases
// (name and one line each), and the community card.
constexpr UINT kHeadingStrings[2] = {221, 222};
constexpr UINT kFirstPhaseString = 223;  // 223/224 .. 231/232
constexpr UINT kCommunityHeading = 233, kCommunityText = 234, kCommunityLink = 235, kGuidanceLink = 254;

const COLORREF kNavy = RGB(11, 83, 148);
const COLORREF kBody = RGB(48, 48, 48);
const COLORREF kLink = RGB(0, 90, 190);

// A memory device context with a bitmap selected into it for drawing.
class BitmapCanvas {
 public:
  explicit BitmapCanvas(HBITMAP bitmap) : dc_(::CreateCompatibleDC(nullptr)) {
    if (dc_) old_ = ::SelectObject(dc_, bitmap);
  }
  ~BitmapCanvas() {
    if (!dc_) return;
    ::SelectObject(dc_, old_);
    ::DeleteDC(dc_);
  }
  BitmapCanvas(const BitmapCanvas&) = delete;
  BitmapCanvas& operator=(const BitmapCanvas&) = delete;
  HDC dc() const { return old_ ? dc_ : nullptr; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

HFONT MakeFont(int height, const wchar_t* face, int weight = FW_NORMAL, bool underline = false) {
  return ::CreateFontW(-height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

// Draws `text` into `r` in the largest font height from `maxHeight` down to
// 8 pixels that fits the rectangle: one line (`align` DT_LEFT or DT_CENTER)
// or, with DT_WORDBREAK, wrapped.
void DrawFitted(HDC dc, const std::wstring& text, RECT r, int maxHeight, int weight, COLORREF color, UINT align,
                bool underline = false) {
  if (text.empty()) return;
  const bool wrap = (align & DT_WORDBREAK) != 0;
  UINT flags = DT_NOPREFIX | align | (wrap ? 0 : DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  for (int h = maxHeight; h >= 8; --h) {
    HFONT font = MakeFont(h, L"MS Shell Dlg", weight, underline);
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT need = r;
    ::DrawTextW(dc, text.c_str(), int(text.size()), &need, (flags & ~(DT_END_ELLIPSIS | DT_CENTER)) | DT_CALCRECT);
    bool fits = need.right <= r.right && need.bottom <= r.bottom;
    if (fits || h == 8) {
      ::SetTextColor(dc, color);
      ::DrawTextW(dc, text.c_str(), int(text.size()), &r, flags);
    }
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    if (fits) return;
  }
}

// The host name of a URL ("https://host/path" gives "host").
std::wstring HostOf(const std::wstring& url) {
  size_t start = url.find(L"://");
  start = start == std::wstring::npos ? 0 : start + 3;
  size_t end = url.find_first_of(L"/?#", start);
  return url.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

// The texts of the picture. The picture leaves room for them at fixed
// places: the heading right of the logo, a box per phase, the card at the
// right with its heading, the banner (hot spot 1), a text and two link rows
// (hot spots 2 and 3), and a link box at the foot (hot spot 0), which shows
// the site its link leads to.
void DrawPictureTexts(HDC dc, const RECT (&hotSpots)[4]) {
  DrawFitted(dc, LoadResString(kHeadingStrings[0]), RECT{50, 10, 300, 28}, 13, FW_NORMAL, kNavy, DT_LEFT);
  DrawFitted(dc, LoadResString(kHeadingStrings[1]), RECT{50, 28, 300, 46}, 13, FW_BOLD, kNavy, DT_LEFT);
  for (int i = 0; i < 5; ++i) {
    int cy = 70 + 34 * i;
    DrawFitted(dc, LoadResString(kFirstPhaseString + 2 * i), RECT{54, cy - 12, 112, cy + 12}, 12, FW_BOLD, kNavy,
               DT_LEFT);
    DrawFitted(dc, LoadResString(kFirstPhaseString + 2 * i + 1), RECT{114, cy - 12, 292, cy + 12}, 12, FW_NORMAL, kBody,
               DT_LEFT);
  }
  DrawFitted(dc, LoadResString(kCommunityHeading), RECT{316, 10, 448, 30}, 13, FW_BOLD, kNavy, DT_LEFT);
  DrawFitted(dc, LoadResString(kCommunityText), RECT{316, 132, 452, 186}, 10, FW_NORMAL, kBody, DT_WORDBREAK);
  const RECT& link1 = hotSpots[2];
  const RECT& link2 = hotSpots[3];
  DrawFitted(dc, LoadResString(kCommunityLink), RECT{link1.left + 2, link1.top, link1.right, link1.bottom}, 11,
             FW_NORMAL, kLink, DT_LEFT, true);
  DrawFitted(dc, LoadResString(kGuidanceLink), RECT{link2.left, link2.top - 1, 453, link2.bottom + 1}, 10, FW_NORMAL,
             kLink, DT_LEFT, true);
  const RECT& foot = hotSpots[0];
  DrawFitted(dc, HostOf(LoadResString(kHotSpotLinks[0])), RECT{foot.left + 3, foot.top, foot.right - 3, foot.bottom},
             10, FW_NORMAL, kLink, DT_CENTER);
}

// The version line at the bottom right: right margin one text height,
// bottom margin one and a half text heights plus 5 pixels.
void DrawVersionLine(HDC dc, const BITMAP& info) {
  std::wstring text = FormatW(LoadResString(kVersionString).c_str(), LOOMWISE_VERSION);
  HFONT font = ::CreateFontW(-8, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE extent = {};
  ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
  int x = info.bmWidth - extent.cx - extent.cy;
  int y = info.bmHeight - extent.cy / 2 - extent.cy - 5;
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::TextOutW(dc, x, y, text.c_str(), int(text.size()));
  ::SelectObject(dc, old);
  ::DeleteObject(font);
}

}  // namespace

HBITMAP WelcomeDialog::Picture() const {
  return reinterpret_cast<HBITMAP>(SendItem(IDC_WELCOME_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

BOOL WelcomeDialog::OnInitDialog() {
  hotSpots_[0] = RECT{10, 227, 120, 242};
  hotSpots_[1] = RECT{316, 37, 448, 129};
  hotSpots_[2] = RECT{328, 188, 448, 201};
  hotSpots_[3] = RECT{312, 205, 448, 215};
  HBITMAP picture = Picture();
  BITMAP info = {};
  if (picture && ::GetObjectW(picture, sizeof info, &info)) {
    BitmapCanvas canvas(picture);
    if (HDC dc = canvas.dc()) {
      ::SetBkMode(dc, TRANSPARENT);
      DrawPictureTexts(dc, hotSpots_);
      DrawVersionLine(dc, info);
    }
  }
  BOOL result = InnerDialog::OnInitDialog();
  bannerImage_ = 0;
  DrawBannerImage(kBannerNormal);
  return result;
}

void WelcomeDialog::DrawBannerImage(UINT bitmapId) {
  if (bannerImage_ == bitmapId) return;
  HBITMAP banner = ::LoadBitmapW(AppInstance(), MAKEINTRESOURCEW(bitmapId));
  HBITMAP picture = Picture();
  if (banner && picture) {
    BitmapCanvas target(picture), source(banner);
    const RECT& spot = hotSpots_[1];
    if (target.dc() && source.dc())
      ::BitBlt(target.dc(), spot.left, spot.top, spot.right - spot.left, spot.bottom - spot.top, source.dc(), 0, 0,
               SRCCOPY);
  }
  if (banner) ::DeleteObject(banner);
  bannerImage_ = bitmapId;
  ::InvalidateRect(Item(IDC_WELCOME_PICTURE), &hotSpots_[1], TRUE);
}

int WelcomeDialog::HotSpotAt(POINT pt) const {
  for (int i = 0; i < 4; ++i)
    if (::PtInRect(&hotSpots_[i], pt)) return i;  // left <= x < right, top <= y < bottom
  return -1;
}

void WelcomeDialog::OnPictureClick() {
  // Where the button went down: the position of the message being handled.
  DWORD pos = ::GetMessagePos();
  POINT pt = {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
  ::ScreenToClient(Item(IDC_WELCOME_PICTURE), &pt);
  int spot = HotSpotAt(pt);
  if (spot < 0) return;
  if (spot == 1) DrawBannerImage(kBannerNormal);
  std::wstring url = LoadResString(kHotSpotLinks[spot]);
  if (!url.empty()) OpenUrl(url);
}

bool WelcomeDialog::OnClicked(int id) {
  if (id != IDC_WELCOME_PICTURE) return InnerDialog::OnClicked(id);
  OnPictureClick();
  return true;
}

bool WelcomeDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_SETCURSOR) {
    if (!busy()) {
      POINT pt;
      ::GetCursorPos(&pt);
      ::ScreenToClient(Item(IDC_WELCOME_PICTURE), &pt);
      int spot = HotSpotAt(pt);
      if (spot >= 0) {
        ::SetCursor(handCursor());
        if (spot == 1) DrawBannerImage(kBannerLit);
        result = TRUE;
        return true;
      }
    }
    if (bannerImage_ == kBannerLit) DrawBannerImage(kBannerNormal);
  }
  return InnerDialog::OnMessage(msg, wParam, lParam, result);
}

}  // namespace loom

#include "controls.h"

#include <filesystem>
#include <system_error>

#include "basic/path_text.h"

namespace quellmar::win32 {
namespace {

// The size that text needs in the control's font.
SIZE TextExtent(HWND control, const std::wstring& text) {
  RECT bounds{0, 0, 0, 0};
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  DrawTextW(dc, text.c_str(), -1, &bounds, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  // A little room for faces whose last letter reaches past its advance.
  return SIZE{bounds.right + 4, bounds.bottom};
}

}  // namespace

HFONT WindowFont() {
  static const HFONT font = [] {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
  }();
  return font;
}

bool CreateControls(HWND parent, std::span<const ControlPlace> places, HFONT font) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  for (const ControlPlace& place : places) {
    const std::wstring text = WideText(place.text);
    HWND control =
        CreateWindowExW(0, place.className, text.c_str(), WS_CHILD | WS_VISIBLE | place.style,
                        place.left, place.top, place.width < 0 ? 0 : place.width, place.height,
                        parent, reinterpret_cast<HMENU>(INT_PTR{place.id}), instance, nullptr);
    if (control == nullptr) return false;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (place.width < 0) {
      const SIZE size = TextExtent(control, text);
      SetWindowPos(control, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    }
  }
  return true;
}

// The core converts paths between UTF-8 and the system's wide names; a text
// goes the same way.
std::wstring WideText(std::string_view utf8) { return PathFromUtf8(utf8).native(); }

std::string Utf8Text(std::wstring_view wide) {
  return DisplayPath(std::filesystem::path(std::wstring(wide)));
}

std::string WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Utf8Text(text);
}

std::string SystemReason(DWORD code) {
  std::string reason = std::system_category().message(static_cast<int>(code));
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
  return reason;
}

std::runtime_error StartFailure(const std::string& what) {
  return std::runtime_error(what + ": " + SystemReason(GetLastError()));
}

}  // namespace quellmar::win32

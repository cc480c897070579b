#include "controls.h"

namespace quellmar::win32 {

HFONT WindowFont() {
  static const HFONT font = [] {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
  }();
  return font;
}

SIZE TextExtent(HWND control, const char* text) {
  RECT bounds{0, 0, 0, 0};
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  DrawTextA(dc, text, -1, &bounds, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  // A little room for faces whose last letter reaches past its advance.
  return SIZE{bounds.right + 4, bounds.bottom};
}

bool CreateControls(HWND parent, std::span<const ControlPlace> places, HFONT font) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  for (const ControlPlace& place : places) {
    HWND control =
        CreateWindowExA(0, place.className, place.text, WS_CHILD | WS_VISIBLE | place.style,
                        place.left, place.top, place.width < 0 ? 0 : place.width, place.height,
                        parent, reinterpret_cast<HMENU>(INT_PTR{place.id}), instance, nullptr);
    if (control == nullptr) return false;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (place.width < 0) {
      const SIZE size = TextExtent(control, place.text);
      SetWindowPos(control, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    }
  }
  return true;
}

std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace quellmar::win32

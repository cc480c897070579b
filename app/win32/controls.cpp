#include "controls.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "basic/path_text.h"

namespace quellmar::win32 {
namespace {

constexpr double kWindowPoints = 8.0;

// The size of text in font: on one line, or broken into lines `wrap` wide.
Extent TextSize(HFONT font, const std::wstring& text, int wrap = 0) {
  RECT bounds{0, 0, wrap, 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  const UINT lines = wrap > 0 ? DT_WORDBREAK : DT_SINGLELINE;
  DrawTextW(dc, text.c_str(), -1, &bounds, DT_CALCRECT | DT_NOPREFIX | lines);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return {bounds.right, bounds.bottom};
}

HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

// How each kind of control is made here: its window class and style, its
// font, and a height of its own.
struct ControlClass {
  const wchar_t* name;
  DWORD style;
  FontStyle font = FontStyle::Plain;
  int height = 0;
};

constexpr DWORD kTab = WS_TABSTOP;

// clang-format off
const std::pair<ControlKind, ControlClass> kClasses[] = {
  {ControlKind::GroupBox,      {L"BUTTON",   BS_GROUPBOX}},
  {ControlKind::Memo,          {L"EDIT",     ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | kTab}},
  {ControlKind::CheckBox,      {L"BUTTON",   BS_AUTOCHECKBOX | kTab}},
  {ControlKind::LineEdit,      {L"EDIT",     ES_AUTOHSCROLL | WS_BORDER | kTab}},
  {ControlKind::Label,         {L"STATIC",   SS_LEFTNOWORDWRAP}},
  {ControlKind::WrappedLabel,  {L"STATIC",   SS_LEFT}},
  {ControlKind::List,          {WC_LISTVIEWW, LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
                                              LVS_SHOWSELALWAYS | WS_BORDER | kTab}},
  // As high as the box with its list dropped down.
  {ControlKind::ComboBox,      {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | kTab, FontStyle::Plain, 200}},
  {ControlKind::Frame,         {L"STATIC",   SS_ETCHEDFRAME}},
  {ControlKind::Picture,       {L"STATIC",   SS_BITMAP | SS_REALSIZECONTROL}},
  {ControlKind::Link,          {L"STATIC",   SS_LEFTNOWORDWRAP | SS_NOTIFY, FontStyle::Link}},
  {ControlKind::DefaultButton, {L"BUTTON",   BS_DEFPUSHBUTTON | kTab}},
};
// clang-format on

const ControlClass& ClassOf(ControlKind kind) {
  return std::ranges::find(kClasses, kind, &std::pair<ControlKind, ControlClass>::first)->second;
}

}  // namespace

int Scaled(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

WindowFonts::~WindowFonts() {
  for (const auto& [key, font] : fonts_) DeleteObject(font);
}

HFONT WindowFonts::font(double points, FontStyle style) {
  const auto key = std::pair{static_cast<int>(std::lround(points * 2)), style};
  if (const auto found = fonts_.find(key); found != fonts_.end()) return found->second;
  const bool link = style == FontStyle::Link;
  const int height = -static_cast<int>(std::lround(points * dpi_ / 72.0));
  HFONT made = CreateFontW(height, 0, 0, 0, link ? FW_BOLD : FW_NORMAL, FALSE, link, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
  fonts_.emplace(key, made);
  return made;
}

bool CreateControls(HWND parent, std::span<const ControlLayout> controls) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  for (const ControlLayout& control : controls) {
    const ControlClass& made = ClassOf(control.kind);
    std::string caption = control.caption;
    std::erase(caption, '&');  // this window's controls show no mnemonic
    if (CreateWindowExW(0, made.name, WideText(caption).c_str(), WS_CHILD | WS_VISIBLE | made.style,
                        0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(INT_PTR{ControlId(control.role)}), instance,
                        nullptr) == nullptr)
      return false;
  }
  return true;
}

void PlaceControls(HWND parent, std::span<const ControlLayout> controls, WindowFonts& fonts) {
  const UINT dpi = fonts.dpi();
  for (const ControlLayout& control : controls) {
    HWND handle = GetDlgItem(parent, ControlId(control.role));
    const ControlClass& made = ClassOf(control.kind);
    const auto setFont = [&](double points) {
      SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.font(points, made.font)),
                   TRUE);
    };
    setFont(kWindowPoints);
    const Place place = PlaceInWindow(controls, control);
    const bool autoSized = place.width < 0;
    Extent laidOut{Scaled(place.width, dpi),
                   Scaled(made.height > 0 ? made.height : place.height, dpi)};
    if (autoSized) laidOut = CaptionExtent(handle, dpi);
    SetWindowPos(handle, nullptr, Scaled(place.left, dpi), Scaled(place.top, dpi), laidOut.width,
                 laidOut.height, SWP_NOZORDER | SWP_NOACTIVATE);
    const Extent needed = CaptionExtent(handle, dpi);
    if (needed.width == 0) continue;
    const Extent most = CaptionRoom(control, laidOut, dpi / 96.0);
    const CaptionFit fit = FitCaption(laidOut, most, kWindowPoints, [&](double points) {
      setFont(points);
      return CaptionExtent(handle, dpi);
    });
    setFont(fit.points);
    SetWindowPos(handle, nullptr, 0, 0, fit.size.width, fit.size.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

Extent CaptionExtent(HWND control, UINT dpi) {
  const std::wstring text = WideText(WindowText(control));
  if (text.empty()) return {};
  wchar_t name[16] = {};
  GetClassNameW(control, name, 16);
  const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
  HFONT font = FontOf(control);
  if (lstrcmpiW(name, L"Static") == 0) {
    if ((style & SS_TYPEMASK) == SS_LEFT) {  // word-wrapped at its width
      RECT inside{};
      GetClientRect(control, &inside);
      const Extent size = TextSize(font, text, inside.right);
      return {inside.right, size.height};
    }
    // A little room for faces whose last letter reaches past its advance.
    const Extent size = TextSize(font, text);
    return {size.width + Scaled(4, dpi), size.height};
  }
  if (lstrcmpiW(name, L"Button") != 0) return {};
  const Extent size = TextSize(font, text);
  switch (style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
    case BS_CHECKBOX: {
      const int box = GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi);
      return {box + Scaled(6, dpi) + size.width, std::max(box, size.height)};
    }
    case BS_GROUPBOX:  // the caption stands in the frame's top line
      return {size.width + Scaled(16, dpi), size.height};
    default:
      return {size.width + Scaled(8, dpi), size.height + Scaled(4, dpi)};
  }
}

Extent TextExtent(HFONT font, const std::string& text) { return TextSize(font, WideText(text)); }

void SetClientSize(HWND window, int width, int height) {
  RECT outside{};
  RECT inside{};
  GetWindowRect(window, &outside);
  GetClientRect(window, &inside);
  SetWindowPos(window, nullptr, 0, 0, width + (outside.right - outside.left) - inside.right,
               height + (outside.bottom - outside.top) - inside.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT CentredOnMonitor(HWND window) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT place{};
  GetWindowRect(window, &place);
  const RECT& work = monitor.rcWork;
  return {work.left + (work.right - work.left - (place.right - place.left)) / 2,
          work.top + (work.bottom - work.top - (place.bottom - place.top)) / 2};
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

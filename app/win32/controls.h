// What the two windows share: their fonts, child controls made from a table
// and laid out at the scale of the monitor they are on, and the program's
// UTF-8 texts as the wide texts of the Windows API.
//
// The windows are laid out in pixels at 96 DPI. On a monitor of another scale
// (120 DPI is 125 %, 144 DPI 150 %) every place and size is scaled, the fonts
// are made for that DPI, and each caption is fitted by the rule of
// window/caption_fit.h; a window moved to a monitor of another scale is
// laid out again.
#pragma once

#include <windows.h>

#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "window/caption_fit.h"
#include "window/window_layout.h"

namespace quellmar::win32 {

// Pixels at 96 DPI as pixels at dpi.
int Scaled(int pixels, UINT dpi);

enum class FontStyle { Plain, Link };  // a link: bold and underlined

// The fonts of one window at one DPI: MS Sans Serif (or the face the system
// gives in its place), 8 points or smaller where a caption needs it. They live
// as long as the set.
class WindowFonts {
 public:
  explicit WindowFonts(UINT dpi) : dpi_(dpi) {}
  ~WindowFonts();
  WindowFonts(const WindowFonts&) = delete;
  WindowFonts& operator=(const WindowFonts&) = delete;

  UINT dpi() const { return dpi_; }
  HFONT font(double points = 8.0, FontStyle style = FontStyle::Plain);

 private:
  UINT dpi_;
  std::map<std::pair<int, FontStyle>, HFONT> fonts_;  // by half points
};

// The numbers that WM_COMMAND gives: a menu item, tool button or key sends
// its command's, a control its role's; the default button is IDOK, as the
// dialog manager wants it.
constexpr int kFirstCommandId = 1000;
constexpr int kFirstControlId = 3000;
constexpr int CommandId(WindowCommand command) {
  return kFirstCommandId + static_cast<int>(command);
}
constexpr int ControlId(ControlRole role) {
  return role == ControlRole::OkButton ? IDOK : kFirstControlId + static_cast<int>(role);
}

// Makes each control; returns false when one could not be made.
bool CreateControls(HWND parent, std::span<const ControlLayout> controls);

// Places and sizes each control at the fonts' DPI, gives it its font and fits
// its caption.
void PlaceControls(HWND parent, std::span<const ControlLayout> controls, WindowFonts& fonts);

// The size the control's caption needs in the control's font: a label's text
// (word-wrapped at its width when it wraps), a check box's box and text, a
// button's or a group box's caption with its margins. {0, 0} for a control
// without a caption.
Extent CaptionExtent(HWND control, UINT dpi);

// The size of a text on one line in a font.
Extent TextExtent(HFONT font, const std::string& text);

// Gives window the size whose client area is width by height.
void SetClientSize(HWND window, int width, int height);

// The top-left corner that centres the window in the work area of its monitor.
POINT CentredOnMonitor(HWND window);

std::wstring WideText(std::string_view utf8);
std::string Utf8Text(std::wstring_view wide);

// The text of a window, as UTF-8.
std::string WindowText(HWND window);

// The system's words for an error code, without the line end.
std::string SystemReason(DWORD code);

// What stops the program before its window is up: what failed, and the
// system's reason for its last error.
std::runtime_error StartFailure(const std::string& what);

}  // namespace quellmar::win32

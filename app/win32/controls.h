// What the two windows share: their font, child controls made from a table,
// each at its fixed place in pixels within the window's client area, and the
// program's UTF-8 texts as the wide texts of the Windows API.
#pragma once

#include <windows.h>

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quellmar::win32 {

struct ControlPlace {
  const wchar_t* className;
  const char* text;  // UTF-8
  DWORD style;       // WS_CHILD | WS_VISIBLE are added
  int id;
  int left, top, width, height;  // a width of -1: as wide and high as the text
};

// MS Sans Serif, 8 points; the system gives a face of the same size where it
// lacks it. The windows own it for the life of the program.
HFONT WindowFont();

// Makes each control in the font; returns false when one could not be made.
bool CreateControls(HWND parent, std::span<const ControlPlace> places, HFONT font);

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

// What the two windows share: their font, and child controls made from a
// table, each at its fixed place in pixels within the window's client area.
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace quellmar::win32 {

struct ControlPlace {
  const char* className;
  const char* text;
  DWORD style;  // WS_CHILD | WS_VISIBLE are added
  int id;
  int left, top, width, height;  // a width of -1: as wide and high as the text
};

// MS Sans Serif, 8 points; the system gives a face of the same size where it
// lacks it. The windows own it for the life of the program.
HFONT WindowFont();

// Makes each control in the font; returns false when one could not be made.
bool CreateControls(HWND parent, std::span<const ControlPlace> places, HFONT font);

// The text of a window as bytes of the ANSI code page.
std::string WindowText(HWND window);

// The size that text needs in the control's font.
SIZE TextExtent(HWND control, const char* text);

}  // namespace quellmar::win32

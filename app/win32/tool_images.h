// The four 16 by 16 images shared by the tool bar and the menu, drawn when
// the window is made: open, close, HTML export, HTML view.
#pragma once

#include <windows.h>

#include <array>

namespace quellmar::win32 {

enum ToolImage { kOpenImage = 0, kCloseImage = 1, kHtmlExportImage = 2, kHtmlViewImage = 3 };

// 32-bit bitmaps with premultiplied alpha; the caller deletes them.
std::array<HBITMAP, 4> MakeToolImages();

}  // namespace quellmar::win32

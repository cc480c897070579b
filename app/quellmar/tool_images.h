// The four 16 by 16 images shared by the tool bar and the menu, drawn when
// the window is made: open, close, HTML export, HTML view.
#pragma once

#include <QIcon>
#include <array>

namespace quellmar {

enum ToolImage { kOpenImage = 0, kCloseImage = 1, kHtmlExportImage = 2, kHtmlViewImage = 3 };

std::array<QIcon, 4> MakeToolImages();

}  // namespace quellmar

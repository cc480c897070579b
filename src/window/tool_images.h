// The four 16 by 16 images that the tool bar and the menus share, the same in
// every window: open, close, HTML export, HTML view.
#pragma once

#include <array>
#include <cstdint>

namespace quellmar {

enum class ToolImage { Open, Close, HtmlExport, HtmlView };

inline constexpr int kToolImageSize = 16;

// Row by row from the top, each pixel 0xAARRGGBB: opaque, or 0 where the
// image is clear (so it is the same premultiplied or not).
using ToolImagePixels = std::array<std::uint32_t, kToolImageSize * kToolImageSize>;

ToolImagePixels DrawToolImage(ToolImage image);

}  // namespace quellmar

#include "window/tool_images.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quellmar {
namespace {

constexpr ToolImage kImages[] = {ToolImage::Open, ToolImage::Close, ToolImage::HtmlExport,
                                 ToolImage::HtmlView};

// Each image is a picture of its own on a clear ground, opaque where drawn.
TEST(ToolImages, EachIsItsOwnPictureOnAClearGround) {
  for (const ToolImage a : kImages) {
    const ToolImagePixels pixels = DrawToolImage(a);
    EXPECT_TRUE(std::ranges::all_of(pixels, [](auto p) { return p == 0 || p >> 24 == 0xFF; }));
    EXPECT_GT(std::ranges::count(pixels, 0u), 0);
    EXPECT_LT(std::ranges::count(pixels, 0u), std::ssize(pixels));
    for (const ToolImage b : kImages)
      if (a != b) {
        EXPECT_NE(pixels, DrawToolImage(b));
      }
  }
}

}  // namespace
}  // namespace quellmar

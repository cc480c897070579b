#include "window/tool_images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace quellmar {
namespace {

// Four pictures of their own, each opaque where drawn on a clear ground.
TEST(ToolImages, FourOfTheirOwnOnAClearGround) {
  std::set<ToolImagePixels> drawn;
  for (const ToolImage image :
       {ToolImage::Open, ToolImage::Close, ToolImage::HtmlExport, ToolImage::HtmlView}) {
    const ToolImagePixels pixels = DrawToolImage(image);
    EXPECT_TRUE(
        std::ranges::all_of(pixels, [](auto pixel) { return pixel == 0 || pixel >> 24 == 0xFF; }));
    EXPECT_GT(std::ranges::count(pixels, 0u), 0);
    drawn.insert(pixels);
  }
  EXPECT_EQ(drawn.size(), 4u);
}

}  // namespace
}  // namespace quellmar

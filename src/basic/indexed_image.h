// A picture of one byte per pixel: what the profile renderer draws, the GIF
// encoder writes and the clipboard takes.
#pragma once

#include <cstdint>
#include <vector>

namespace quellmar {

// Indices into a colour table of red, green, blue triples; rows from the top,
// each row from the left.
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;   // width * height indices
  std::vector<std::uint8_t> palette;  // 3 bytes per entry
};

}  // namespace quellmar

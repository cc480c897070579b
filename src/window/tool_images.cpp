#include "window/tool_images.h"

#include <cstddef>

namespace quellmar {
namespace {

// A yellow folder, the common sign for opening a file; closing crosses it
// out. A sheet of paper with the HTML angle brackets on it, with an arrow for
// the export and a magnifying glass for the view.
// clang-format off
constexpr const char* kImages[4][kToolImageSize] = {
  {"................",
   "................",
   "................",
   ".aaaaaa.........",
   ".abbbbba........",
   ".abbbbbbaaaaaaa.",
   ".abbbbbbbbbbbba.",
   ".abbaaaaaaaaaaaa",
   ".abaccccccccccca",
   ".abaccccccccccca",
   ".aacccccccccccca",
   ".aaccccccccccca.",
   ".aaccccccccccca.",
   ".aaaaaaaaaaaaaa.",
   "................",
   "................"},
  {"................",
   "................",
   "................",
   ".aaaaaa.........",
   ".abbbbba........",
   ".abbbbbbaaaaaaa.",
   ".abbbbbddbbbbdd.",
   ".abbaaadddaaddda",
   ".abaccccddddddca",
   ".abacccccddddcca",
   ".aaccccccddddcca",
   ".aacccccdddddda.",
   ".aaccccdddccddd.",
   ".aaaaaaddaaaadd.",
   "................",
   "................"},
  {"..eeffeeee......",
   "..egfffggge.....",
   "ffffffffggge....",
   "ffffffffgggge...",
   "..egfffgggggge..",
   "..egffhgghggge..",
   "..egghhhhhhgge..",
   "..eghhhgghhhge..",
   "..ehhhgggghhhe..",
   "..ehhhgggghhhe..",
   "..eghhhgghhhge..",
   "..egghhhhhhgge..",
   "..eggghgghggge..",
   "..egggggggggge..",
   "..egggggggggge..",
   "..eeeeeeeeeeee.."},
  {"..eeeeeeee......",
   "..eggggggge.....",
   "..egggggggge....",
   "..eggggggggge...",
   "..egggggggggge..",
   "..eggghgghggge..",
   "..egghhiiiigge..",
   "..eghhijjjjige..",
   "..ehhijjjjjjie..",
   "..ehhijjjjjjie..",
   "..eghijjjjjjie..",
   "..eggijjjjjjie..",
   "..egggiijjiiie..",
   "..eggggiiiiiii..",
   "..egggggggggiiii",
   "..eeeeeeeeeeeiii"},
};
// clang-format on

struct Ink {
  char letter;
  std::uint32_t argb;
};
// clang-format off
constexpr Ink kInks[] = {
  {'a', 0xff8a6a1a},  // folder's edge
  {'b', 0xfff2c24b},  // folder's back
  {'c', 0xffffdc73},  // folder's front
  {'d', 0xffc01010},  // red cross
  {'e', 0xff505050},  // paper's edge
  {'f', 0xff109020},  // green arrow
  {'g', 0xffffffff},  // paper
  {'h', 0xff1060c0},  // angle brackets
  {'i', 0xff303030},  // magnifying glass
  {'j', 0xffcfe8ff},  // its lens
};
// clang-format on

std::uint32_t Colour(char letter) {
  for (const Ink& ink : kInks)
    if (ink.letter == letter) return ink.argb;
  return 0;  // clear
}

}  // namespace

ToolImagePixels DrawToolImage(ToolImage image) {
  const auto& rows = kImages[static_cast<std::size_t>(image)];
  ToolImagePixels pixels{};
  for (int y = 0; y < kToolImageSize; ++y)
    for (int x = 0; x < kToolImageSize; ++x)
      pixels[static_cast<std::size_t>(y * kToolImageSize + x)] = Colour(rows[y][x]);
  return pixels;
}

}  // namespace quellmar

// A dive's depth-profile picture: drawn pixel by pixel in the 216-colour cube
// and written as "d" + dive number + ".gif" into the Output directory.
//
// The picture is a side view: one equal step of P pixels per depth sample
// from left to right, three pixel rows per metre downwards, the water a dark
// blue band with a light line every 30 rows, white from the diver's depth
// down, inside a navy ring and a black frame.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "basic/file_set.h"
#include "basic/indexed_image.h"
#include "html_out/output_file.h"
#include "model/logbook.h"

namespace quellmar {

// Entry 36 r + 6 g + b of the colour cube is (51 r, 51 g, 51 b); a channel c
// falls on the level (c + 3) / 51. Every picture's table holds the 216 cube
// colours and 40 black entries.
constexpr std::uint8_t CubeIndex(int red, int green, int blue) {
  return static_cast<std::uint8_t>(36 * ((red + 3) / 51) + 6 * ((green + 3) / 51) +
                                   (blue + 3) / 51);
}

// The depth samples of a profile text in whole metres: its fields as
// NextRoundedField reads them, one after another while 2 or more characters
// are left (a last field of one character is not a sample).
std::vector<std::int32_t> ProfileSamples(std::string_view profile);

// Pixels per sample: the whole number at the start of the "pixel / profile
// entry" text ("2 px" gives 2); 0 when the text does not start with one.
std::int32_t PixelsPerSample(std::string_view pxText);

// The picture of a profile text drawn at the given scale, in colour-cube
// indices with the 256-entry table as its palette. With no sample or a pixel
// count of 0 or less there is no picture: width and height 0. Throws
// ExportError when a side would be larger than a GIF file can hold, and
// "Failed to allocate memory for GIF DIB" when memory runs out.
IndexedImage RenderProfile(std::string_view profile, std::int16_t maxDepth,
                           std::int32_t pixelsPerSample);

// The same picture drawn from samples already read (RenderProfile is
// ProfileSamples, then this).
IndexedImage DrawProfile(std::span<const std::int32_t> samples, std::int16_t maxDepth,
                         std::int32_t pixelsPerSample);

// Draws the dive's picture and writes it as its GIF file into the set of the
// logbook's files; returns the picture, or one of no pixels when there is
// nothing to draw. Throws ExportError when the file cannot be created or written,
// PictureNotMade when the picture would be larger than a GIF file or memory
// can hold.
IndexedImage MakeProfilePicture(const Dive& dive, std::int32_t pixelsPerSample, FileSet& files);

}  // namespace quellmar

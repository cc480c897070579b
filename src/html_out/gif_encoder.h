// Writing an indexed picture as a GIF87a file of the logbook's fixed layout:
// no global table, a local table of 256 entries, LZW with minimum code size 8,
// no extensions.
#pragma once

#include "basic/byte_sink.h"
#include "basic/indexed_image.h"

namespace quellmar {

// The largest width or height a GIF file can hold.
inline constexpr int kGifMaxSide = 65535;

// Writes the whole file to out. The local table is the first 256 entries of
// the palette, padded with black when it holds fewer. Returns out.good().
// Throws std::invalid_argument for a side outside 0..kGifMaxSide or a pixel
// count other than width * height.
bool WriteGif(const IndexedImage& picture, ByteSink& out);

}  // namespace quellmar

// giflib as the peer that our GIF encoder is measured against, and as an
// independent decoder that proves our files hold the pictures we gave it.
#pragma once

#include <cstddef>
#include <string_view>

#include "commands/platform.h"

namespace quellmar::bench {

// Encodes the picture with giflib's LZW into a counting output (the same file
// layout as ours: no global table, a local table of 256 entries, no
// extensions) and returns the file's size in bytes. giflib may rewrite the
// pixels in place while masking them, hence the non-const picture.
std::size_t EncodeWithGiflib(IndexedImage& picture);

// True when giflib decodes file into exactly this picture: one image of the
// same size, the same colour table and the same pixel indices.
bool GiflibDecodesTo(std::string_view file, const IndexedImage& picture);

}  // namespace quellmar::bench

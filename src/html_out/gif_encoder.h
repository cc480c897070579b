// Writing an indexed picture as a GIF87a file of the logbook's fixed layout:
// no global table, a local table of 256 entries, LZW with minimum code size 8,
// no extensions.
#pragma once

#include "basic/byte_sink.h"
#include "main/platform.h"

namespace quellmar {

// The palette must hold 256 entries (768 bytes).
void WriteGif(const IndexedImage& picture, ByteSink& out);

}  // namespace quellmar

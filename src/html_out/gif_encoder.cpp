#include "html_out/gif_encoder.h"

namespace quellmar {

void WriteGif(const IndexedImage&, ByteSink&) {}

}  // namespace quellmar

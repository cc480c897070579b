// GIF bytes decoded back with giflib, for the tests of our own encoder.
#pragma once

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/platform.h"

namespace quellmar::testing {

struct DecodedGif {
  IndexedImage picture;  // the one image, with its local colour table
  bool globalTable = false;
  int images = 0;
  int extensions = 0;  // extension blocks anywhere in the file
};

// Nothing when giflib cannot read the bytes as a whole GIF file.
inline std::optional<DecodedGif> DecodeGif(std::string_view bytes) {
  struct Reader {
    std::string_view rest;
  } reader{bytes};
  const auto read = [](GifFileType* file, GifByteType* into, int count) -> int {
    auto& self = *static_cast<Reader*>(file->UserData);
    const auto n = std::min(self.rest.size(), static_cast<std::size_t>(count));
    std::memcpy(into, self.rest.data(), n);
    self.rest.remove_prefix(n);
    return static_cast<int>(n);
  };
  int error = 0;
  GifFileType* file = DGifOpen(&reader, read, &error);
  if (file == nullptr) return std::nullopt;
  std::optional<DecodedGif> result;
  if (DGifSlurp(file) == GIF_OK && file->ImageCount >= 1) {
    DecodedGif gif;
    gif.globalTable = file->SColorMap != nullptr;
    gif.images = file->ImageCount;
    gif.extensions = file->ExtensionBlockCount;
    for (int i = 0; i < file->ImageCount; ++i)
      gif.extensions += file->SavedImages[i].ExtensionBlockCount;
    const SavedImage& image = file->SavedImages[0];
    gif.picture.width = image.ImageDesc.Width;
    gif.picture.height = image.ImageDesc.Height;
    const auto count = static_cast<std::size_t>(gif.picture.width) * gif.picture.height;
    gif.picture.pixels.assign(image.RasterBits, image.RasterBits + count);
    if (const ColorMapObject* map = image.ImageDesc.ColorMap) {
      for (int entry = 0; entry < map->ColorCount; ++entry) {
        gif.picture.palette.push_back(map->Colors[entry].Red);
        gif.picture.palette.push_back(map->Colors[entry].Green);
        gif.picture.palette.push_back(map->Colors[entry].Blue);
      }
    }
    result = std::move(gif);
  }
  DGifCloseFile(file, &error);
  return result;
}

}  // namespace quellmar::testing

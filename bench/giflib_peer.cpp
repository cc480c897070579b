#include "giflib_peer.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace quellmar::bench {

namespace {

int CountOutput(GifFileType* gif, const GifByteType*, int length) {
  *static_cast<std::size_t*>(gif->UserData) += static_cast<std::size_t>(length);
  return length;
}

struct MemoryInput {
  std::string_view bytes;
  std::size_t position = 0;
};

int ReadInput(GifFileType* gif, GifByteType* buffer, int length) {
  auto& input = *static_cast<MemoryInput*>(gif->UserData);
  const std::size_t count =
      std::min(static_cast<std::size_t>(length), input.bytes.size() - input.position);
  std::memcpy(buffer, input.bytes.data() + input.position, count);
  input.position += count;
  return static_cast<int>(count);
}

struct ColorMapDeleter {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColorMap = std::unique_ptr<ColorMapObject, ColorMapDeleter>;

ColorMap MakeColorMap(const std::vector<std::uint8_t>& palette) {
  std::vector<GifColorType> colours(256);
  for (std::size_t i = 0; i < colours.size() && 3 * i + 2 < palette.size(); ++i) {
    colours[i] = {palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]};
  }
  ColorMap map(GifMakeMapObject(256, colours.data()));
  if (!map) throw std::runtime_error("giflib: no memory for a colour map");
  return map;
}

}  // namespace

std::size_t EncodeWithGiflib(IndexedImage& picture) {
  const ColorMap map = MakeColorMap(picture.palette);
  std::size_t bytes = 0;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, CountOutput, &error);
  if (gif == nullptr) throw std::runtime_error("giflib: EGifOpen failed");
  bool ok = EGifPutScreenDesc(gif, picture.width, picture.height, 8, 0, nullptr) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, map.get()) == GIF_OK;
  for (int row = 0; ok && row < picture.height; ++row) {
    ok = EGifPutLine(gif, picture.pixels.data() + static_cast<std::size_t>(row) * picture.width,
                     picture.width) == GIF_OK;
  }
  ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
  if (!ok) throw std::runtime_error("giflib: encoding failed");
  return bytes;
}

bool GiflibDecodesTo(std::string_view file, const IndexedImage& picture) {
  MemoryInput input{file};
  int error = 0;
  GifFileType* gif = DGifOpen(&input, ReadInput, &error);
  if (gif == nullptr) return false;
  bool same = DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1;
  if (same) {
    const SavedImage& image = gif->SavedImages[0];
    const ColorMapObject* map = image.ImageDesc.ColorMap;
    const auto pixelCount = static_cast<std::size_t>(picture.width) * picture.height;
    same = image.ImageDesc.Width == picture.width && image.ImageDesc.Height == picture.height &&
           picture.pixels.size() == pixelCount &&
           std::equal(picture.pixels.begin(), picture.pixels.end(), image.RasterBits) &&
           map != nullptr && map->ColorCount == 256 && picture.palette.size() == 768;
    for (int i = 0; same && i < 256; ++i) {
      const auto& colour = map->Colors[i];
      const auto* expected = picture.palette.data() + 3 * i;
      same = colour.Red == expected[0] && colour.Green == expected[1] && colour.Blue == expected[2];
    }
  }
  DGifCloseFile(gif, &error);
  return same;
}

}  // namespace quellmar::bench

// The profile picture from any profile text, maximum depth and "pixel /
// profile entry" text: the picture has the size that the samples and the
// scale give, uses only the five colours of the cube that its layers reduce
// to, and its GIF file decodes (with giflib) back to the same size, the same
// 256-entry table and the same pixel indices. Input: two bytes of maximum
// depth, then the PX text and the profile text separated by a NUL byte.
#include <gif_lib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "basic/byte_sink.h"
#include "basic/fields.h"
#include "fuzz_support.h"
#include "html_out/gif_encoder.h"
#include "html_out/profile_picture.h"

namespace {

// Keeps each input quick: larger pictures only repeat the same rows.
constexpr std::int64_t kMaxWidth = 4096;
constexpr std::int64_t kMaxPixels = 1 << 18;
constexpr std::int64_t kGifMaxSide = quellmar::kGifMaxSide;

std::int64_t SampleCount(std::string_view profile) {
  std::int64_t n = 0;
  while (profile.size() >= 2) {
    quellmar::NextRoundedField(profile);
    ++n;
  }
  return n;
}

std::int64_t ScaleDepth(std::int16_t maxDepth) {
  return maxDepth < 40 ? 40 : (maxDepth / 10 + 1) * 10;
}

// "  12px" gives 12; only plain digits after blanks are checked here.
void CheckPixelsPerSample(std::string_view px, std::int32_t p) {
  std::size_t i = px.find_first_not_of(' ');
  if (i == std::string_view::npos) return;
  std::int32_t value = 0;
  std::size_t digits = 0;
  while (i < px.size() && px[i] >= '0' && px[i] <= '9' && digits < 7) {
    value = value * 10 + (px[i] - '0');
    ++i;
    ++digits;
  }
  const bool plain = digits > 0 && (i == px.size() || px[i] < '0' || px[i] > '9');
  if (plain) FUZZ_CHECK(p == value);
}

bool IsLayerColour(std::uint8_t index) {
  return index == 0 || index == 2 || index == 9 || index == 94 || index == 215;
}

struct Reader {
  std::string_view bytes;
};

int ReadGifBytes(GifFileType* gif, GifByteType* buffer, int length) {
  auto* reader = static_cast<Reader*>(gif->UserData);
  const auto n = std::min<std::size_t>(static_cast<std::size_t>(length), reader->bytes.size());
  std::memcpy(buffer, reader->bytes.data(), n);
  reader->bytes.remove_prefix(n);
  return static_cast<int>(n);
}

void CheckGif(const quellmar::IndexedImage& picture, const std::string& file) {
  FUZZ_CHECK(file.size() > 792);
  FUZZ_CHECK(file.compare(0, 6, "GIF87a") == 0);
  FUZZ_CHECK(static_cast<std::uint8_t>(file[10]) == 0x77);
  FUZZ_CHECK(static_cast<std::uint8_t>(file[22]) == 0x87);
  FUZZ_CHECK(file[791] == 8 && file.back() == 0x3B);

  Reader reader{file};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadGifBytes, &error);
  FUZZ_CHECK(gif != nullptr);
  FUZZ_CHECK(DGifSlurp(gif) == GIF_OK);
  FUZZ_CHECK(gif->SWidth == picture.width && gif->SHeight == picture.height);
  FUZZ_CHECK(gif->SColorMap == nullptr && gif->ImageCount == 1);
  FUZZ_CHECK(gif->ExtensionBlockCount == 0);
  const SavedImage& image = gif->SavedImages[0];
  FUZZ_CHECK(image.ExtensionBlockCount == 0);
  FUZZ_CHECK(image.ImageDesc.Left == 0 && image.ImageDesc.Top == 0);
  FUZZ_CHECK(image.ImageDesc.Width == picture.width && image.ImageDesc.Height == picture.height);
  FUZZ_CHECK(!image.ImageDesc.Interlace);
  const ColorMapObject* table = image.ImageDesc.ColorMap;
  FUZZ_CHECK(table != nullptr && table->ColorCount == 256);
  for (int i = 0; i < 256; ++i) {
    FUZZ_CHECK(table->Colors[i].Red == picture.palette[3 * i]);
    FUZZ_CHECK(table->Colors[i].Green == picture.palette[3 * i + 1]);
    FUZZ_CHECK(table->Colors[i].Blue == picture.palette[3 * i + 2]);
  }
  FUZZ_CHECK(std::memcmp(image.RasterBits, picture.pixels.data(), picture.pixels.size()) == 0);
  DGifCloseFile(gif, &error);
}

void CheckPalette(const quellmar::IndexedImage& picture) {
  FUZZ_CHECK(picture.palette.size() == 768);
  for (int entry = 0; entry < 256; ++entry) {
    const int r = entry / 36, g = entry / 6 % 6, b = entry % 6;
    const bool cube = entry < 216;
    FUZZ_CHECK(picture.palette[3 * entry] == (cube ? 51 * r : 0));
    FUZZ_CHECK(picture.palette[3 * entry + 1] == (cube ? 51 * g : 0));
    FUZZ_CHECK(picture.palette[3 * entry + 2] == (cube ? 51 * b : 0));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::int16_t maxDepth;
  std::memcpy(&maxDepth, data, 2);
  const auto parts = quellmar::fuzz::SplitInput(quellmar::fuzz::AsText(data + 2, size - 2), 2);
  const auto px = parts[0];
  const auto profile = parts[1];

  const auto p = quellmar::PixelsPerSample(px);
  CheckPixelsPerSample(px, p);
  const auto n = SampleCount(profile);
  const auto depth = ScaleDepth(maxDepth);
  const auto width = n * p;
  const auto height = 3 * depth;
  if (width > 0 && (width > kGifMaxSide || height > kGifMaxSide)) {
    // A side that no GIF file can hold is refused before anything is drawn.
    bool refused = false;
    try {
      quellmar::RenderProfile(profile, maxDepth, p);
    } catch (const quellmar::ExportError&) {
      refused = true;
    }
    FUZZ_CHECK(refused);
    return 0;
  }
  if (width > kMaxWidth || width * height > kMaxPixels) return 0;
  const auto picture = quellmar::RenderProfile(profile, maxDepth, p);
  if (width <= 0) {
    // No picture can be that wide; an empty picture is the only sound result.
    FUZZ_CHECK(picture.pixels.empty());
    return 0;
  }
  FUZZ_CHECK(picture.width == width && picture.height == height);
  FUZZ_CHECK(picture.pixels.size() == static_cast<std::size_t>(width * height));
  CheckPalette(picture);
  for (auto index : picture.pixels) FUZZ_CHECK(IsLayerColour(index));

  quellmar::StringSink gif;
  quellmar::WriteGif(picture, gif);
  CheckGif(picture, gif.data);
  return 0;
}

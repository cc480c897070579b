#include "html_out/gif_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "html_out/decoded_gif.h"

namespace quellmar {
namespace {

using testing::DecodeGif;

// A palette whose every entry differs, so a misplaced byte shows.
std::vector<std::uint8_t> TestPalette() {
  std::vector<std::uint8_t> palette(768);
  for (std::size_t i = 0; i < palette.size(); ++i)
    palette[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return palette;
}

IndexedImage Picture(int width, int height, std::vector<std::uint8_t> pixels) {
  return IndexedImage{width, height, std::move(pixels), TestPalette()};
}

// Pixels drawn from the given colours at random, with a fixed seed.
std::vector<std::uint8_t> RandomPixels(std::size_t count, const std::vector<std::uint8_t>& colours,
                                       unsigned seed = 1) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::size_t> pick(0, colours.size() - 1);
  std::vector<std::uint8_t> pixels(count);
  for (auto& p : pixels) p = colours[pick(random)];
  return pixels;
}

// Runs of random colours and random lengths up to maxRun.
std::vector<std::uint8_t> RandomRuns(std::size_t count, const std::vector<std::uint8_t>& colours,
                                     std::size_t maxRun, unsigned seed = 2) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::size_t> pick(0, colours.size() - 1);
  std::uniform_int_distribution<std::size_t> length(1, maxRun);
  std::vector<std::uint8_t> pixels;
  while (pixels.size() < count) pixels.insert(pixels.end(), length(random), colours[pick(random)]);
  pixels.resize(count);
  return pixels;
}

std::vector<std::uint8_t> AllIndices() {
  std::vector<std::uint8_t> all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
  return all;
}

const std::vector<std::uint8_t> kProfileColours = {0, 2, 9, 94, 215};

std::string Encode(const IndexedImage& picture) {
  StringSink sink;
  EXPECT_TRUE(WriteGif(picture, sink));
  return sink.data;
}

int Word(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

void ExpectDecodesTo(const IndexedImage& picture) {
  const auto decoded = DecodeGif(Encode(picture));
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->picture.width, picture.width);
  EXPECT_EQ(decoded->picture.height, picture.height);
  ASSERT_EQ(decoded->picture.pixels.size(), picture.pixels.size());
  const auto differ =
      std::mismatch(picture.pixels.begin(), picture.pixels.end(), decoded->picture.pixels.begin());
  EXPECT_TRUE(differ.first == picture.pixels.end())
      << "first wrong pixel at " << (differ.first - picture.pixels.begin());
}

TEST(GifEncoderTest, WritesTheFixedFileLayout) {
  const auto picture = Picture(300, 2, RandomPixels(600, kProfileColours));
  const std::string gif = Encode(picture);
  ASSERT_GT(gif.size(), 793u);
  EXPECT_EQ(gif.substr(0, 6), "GIF87a");
  EXPECT_EQ(Word(gif, 6), 300);
  EXPECT_EQ(Word(gif, 8), 2);
  EXPECT_EQ(gif.substr(10, 4), std::string("\x77\x00\x00\x2C", 4));
  EXPECT_EQ(gif.substr(14, 4), std::string(4, '\0'));
  EXPECT_EQ(Word(gif, 18), 300);
  EXPECT_EQ(Word(gif, 20), 2);
  EXPECT_EQ(static_cast<unsigned char>(gif[22]), 0x87);
  EXPECT_EQ(gif.substr(23, 768), std::string(picture.palette.begin(), picture.palette.end()));
  EXPECT_EQ(gif[791], 8);
  EXPECT_EQ(gif.back(), '\x3B');

  const auto decoded = DecodeGif(gif);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_FALSE(decoded->globalTable);
  EXPECT_EQ(decoded->images, 1);
  EXPECT_EQ(decoded->extensions, 0);
  EXPECT_EQ(decoded->picture.palette, picture.palette);
}

TEST(GifEncoderTest, ImageDataIsSubBlocksEndedByAnEmptyOneAndTheTrailer) {
  // Random indices compress badly, so the data takes many sub-blocks.
  const std::string gif = Encode(Picture(200, 100, RandomPixels(20000, AllIndices())));
  std::size_t at = 792;
  int blocks = 0;
  while (at < gif.size() && gif[at] != '\0') {
    const auto size = static_cast<unsigned char>(gif[at]);
    EXPECT_LE(size, 255);
    at += 1 + size;
    ++blocks;
  }
  EXPECT_GT(blocks, 50);
  ASSERT_EQ(at + 2, gif.size()) << "after the empty sub-block only the trailer follows";
  EXPECT_EQ(gif[at + 1], '\x3B');
}

TEST(GifEncoderTest, PadsAShortPaletteWithBlack) {
  IndexedImage picture{2, 1, {0, 1}, {10, 20, 30, 40, 50, 60}};
  const std::string gif = Encode(picture);
  EXPECT_EQ(gif.substr(23, 6), std::string("\x0A\x14\x1E\x28\x32\x3C"));
  EXPECT_EQ(gif.substr(29, 762), std::string(762, '\0'));
}

struct RoundTrip {
  const char* name;
  int width;
  int height;
  std::function<std::vector<std::uint8_t>(std::size_t)> pixels;
};

class GifRoundTripTest : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(GifRoundTripTest, DecodesToTheSameIndices) {
  const auto& row = GetParam();
  const auto count = static_cast<std::size_t>(row.width) * row.height;
  ExpectDecodesTo(Picture(row.width, row.height, row.pixels(count)));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pictures, GifRoundTripTest, ::testing::Values(
    RoundTrip{"OnePixel",               1,    1, [](std::size_t n) { return std::vector<std::uint8_t>(n, 215); }},
    RoundTrip{"TwoPixelsOfIndex255",    2,    1, [](std::size_t n) { return std::vector<std::uint8_t>(n, 255); }},
    RoundTrip{"OneColourShortRun",    100,    3, [](std::size_t n) { return std::vector<std::uint8_t>(n, 9); }},
    // A run of one colour fills the whole table by itself after about 7.4
    // million pixels and must start it anew.
    RoundTrip{"OneColourManyTables", 4000, 5000, [](std::size_t n) { return std::vector<std::uint8_t>(n, 2); }},
    RoundTrip{"AllIndicesAtRandom",   640,  480, [](std::size_t n) { return RandomPixels(n, AllIndices()); }},
    RoundTrip{"TwoColoursAtRandom",   500,  400, [](std::size_t n) { return RandomPixels(n, {0, 1}); }},
    RoundTrip{"ProfileColoursAtRandom", 700, 300, [](std::size_t n) { return RandomPixels(n, kProfileColours); }},
    RoundTrip{"ShortRunsOfProfileColours", 1000, 1000, [](std::size_t n) { return RandomRuns(n, kProfileColours, 12); }},
    RoundTrip{"LongRunsOfProfileColours",  1000, 1000, [](std::size_t n) { return RandomRuns(n, kProfileColours, 5000); }},
    RoundTrip{"RunsOfAllIndices",     800,  600, [](std::size_t n) { return RandomRuns(n, AllIndices(), 40); }},
    RoundTrip{"WidestPicture",      65535,    2, [](std::size_t n) { return RandomRuns(n, kProfileColours, 300); }}),
    [](const ::testing::TestParamInfo<RoundTrip>& info) { return info.param.name; });
// clang-format on

// Lengths of one random sequence of all 256 indices, one pixel row each,
// around the lengths where the last code and the end code fall on each change
// of code width (9 to 10, 11 and 12 bits) and on the table's fresh start
// after code 4094; every length in these ranges, so none of them is missed.
TEST(GifEncoderTest, LengthsAcrossTheCodeWidthsDecode) {
  const auto sequence = RandomPixels(4700, AllIndices(), 7);
  for (const auto& [first, last] : {std::pair{200, 330}, {700, 900}, {1700, 2000}, {3750, 4700}}) {
    for (int length = first; length <= last; ++length) {
      const auto picture = Picture(length, 1, {sequence.begin(), sequence.begin() + length});
      const auto decoded = DecodeGif(Encode(picture));
      ASSERT_TRUE(decoded.has_value()) << "length " << length;
      ASSERT_EQ(decoded->picture.pixels, picture.pixels) << "length " << length;
    }
  }
}

// A run of one colour takes codes for 1, 2, 3 ... pixels, one table entry
// each: a run of k (k + 1) / 2 + rest pixels passes k entries. These lengths
// put the run's codes on each change of code width (entries 255, 767 and
// 1791 are codes 512, 1024 and 2048) and on the table's fresh start after
// 3837 entries. Another colour fills the picture's last row.
TEST(GifEncoderTest, RunsAcrossEveryCodeWidthChangeDecode) {
  constexpr int kWidth = 4096;
  for (const std::size_t entries : {255u, 767u, 1791u, 3837u}) {
    for (std::size_t k = entries - 1; k <= entries + 1; ++k) {
      for (const std::size_t rest : {std::size_t{1}, k + 1}) {
        const std::size_t length = k * (k + 1) / 2 + rest;
        SCOPED_TRACE("run of " + std::to_string(length));
        const auto height = static_cast<int>(length / kWidth + 1);
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * height, 0);
        std::fill_n(pixels.begin(), length, std::uint8_t{94});
        ExpectDecodesTo(Picture(kWidth, height, std::move(pixels)));
      }
    }
  }
}

TEST(GifEncoderTest, AnEmptyPictureIsAValidFile) {
  const std::string gif = Encode(Picture(0, 0, {}));
  EXPECT_EQ(gif.substr(0, 6), "GIF87a");
  EXPECT_EQ(gif.back(), '\x3B');
}

TEST(GifEncoderTest, RefusesPicturesItCannotWriteWhole) {
  StringSink sink;
  EXPECT_THROW(WriteGif(Picture(65536, 1, std::vector<std::uint8_t>(65536, 0)), sink),
               std::invalid_argument);
  EXPECT_THROW(WriteGif(Picture(10, 10, std::vector<std::uint8_t>(99, 0)), sink),
               std::invalid_argument);
  EXPECT_TRUE(sink.data.empty());
}

// Takes the first limit bytes, then fails like a full disk.
class FailingSink : public ByteSink {
 public:
  explicit FailingSink(std::size_t limit) : limit_(limit) {}
  void write(std::string_view bytes) override {
    if (!good_) return;
    if (bytes.size() > limit_ - data.size()) {
      data.append(bytes.substr(0, limit_ - data.size()));
      good_ = false;
      return;
    }
    data.append(bytes);
  }
  bool good() const override { return good_; }
  std::string data;

 private:
  std::size_t limit_;
  bool good_ = true;
};

TEST(GifEncoderTest, ReportsASinkThatFailsPartWay) {
  const auto picture = Picture(400, 300, RandomRuns(120000, kProfileColours, 30));
  const std::string whole = Encode(picture);
  for (const std::size_t limit :
       {std::size_t{0}, std::size_t{6}, std::size_t{791}, std::size_t{792}, std::size_t{2000},
        whole.size() / 2, whole.size() - 2, whole.size() - 1}) {
    FailingSink sink(limit);
    EXPECT_FALSE(WriteGif(picture, sink)) << "limit " << limit;
    EXPECT_EQ(sink.data, whole.substr(0, limit)) << "limit " << limit;
  }
  FailingSink roomy(whole.size());
  EXPECT_TRUE(WriteGif(picture, roomy));
  EXPECT_EQ(roomy.data, whole);
}

}  // namespace
}  // namespace quellmar

#include "html_out/profile_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "basic/byte_sink.h"
#include "basic/fields.h"
#ifndef _WIN32
#include "html_out/decoded_gif.h"  // giflib: not built for Windows
#endif
#include "basic/path_text.h"
#include "html_out/gif_encoder.h"
#include "support/temp_dir.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;
#ifndef _WIN32
using testing::DecodeGif;
#endif
using testing::ReadFile;
using testing::TempDir;

constexpr std::uint8_t kNavy = 2;
constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kWater = 9;
constexpr std::uint8_t kLine = 94;
constexpr std::uint8_t kWhite = 215;
constexpr int kNoWhite = -1;

std::uint8_t At(const IndexedImage& picture, int x, int y) {
  return picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
}

// The first white row of each column, or kNoWhite.
std::vector<int> WhiteTops(const IndexedImage& picture) {
  std::vector<int> tops(picture.width, kNoWhite);
  for (int x = 0; x < picture.width; ++x) {
    for (int y = 0; y < picture.height && tops[x] == kNoWhite; ++y) {
      if (At(picture, x, y) == kWhite) tops[x] = y;
    }
  }
  return tops;
}

std::string Repeated(const std::string& sample, int count) {
  std::string profile = sample;
  for (int i = 1; i < count; ++i) profile += "," + sample;
  return profile;
}

// What a picture shows where it is not white: the navy ring and background,
// the black frame through columns 1 and W - 1 and rows 1 and H - 1, the water
// in columns 1 to W - 2 and rows 2 to H - 3 with a line row every 30 rows
// from row 31, and the navy row H - 2 inside the frame.
std::uint8_t Background(int x, int y, int width, int height) {
  if (y == 0 || x == 0) return kNavy;
  if (y == 1 || y == height - 1 || x == width - 1) return kBlack;
  if (y == height - 2) return x == 1 ? kBlack : kNavy;
  return (y - 2) % 30 == 29 ? kLine : kWater;
}

// Compares every pixel with the background, white where a column's white
// area (from its top down to row H - 2) lies.
void ExpectPicture(const IndexedImage& picture, const std::vector<int>& tops) {
  ASSERT_EQ(tops.size(), static_cast<std::size_t>(picture.width));
  int wrong = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const bool white = tops[x] != kNoWhite && y >= tops[x] && y <= picture.height - 2;
      const auto expected = white ? kWhite : Background(x, y, picture.width, picture.height);
      if (At(picture, x, y) != expected && ++wrong <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << int{At(picture, x, y)}
                      << ", not " << int{expected};
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

// Columns 1 to W - 2 white from row top, the two frame columns without.
std::vector<int> FlatTops(int width, int top) {
  std::vector<int> tops(width, top);
  tops.front() = tops.back() = kNoWhite;
  return tops;
}

TEST(PixelsPerSampleTest, ReadsTheWholeNumberAtTheStart) {
  // clang-format off
  const struct { const char* text; std::int32_t pixels; } rows[] = {
      {"1", 1}, {"2 px", 2}, {"   3", 3}, {"+4", 4}, {"-5", -5}, {"12.5", 12}, {"007", 7},
      {"0", 0}, {"", 0}, {"px", 0}, {"-", 0}, {"+ 3", 0}, {"\t3", 0},
      {"2147483647", 2147483647}, {"99999999999999999999", 2147483647},
      {"-2147483648", -2147483647 - 1}, {"-99999999999999999999", -2147483647 - 1},
  };
  // clang-format on
  for (const auto& row : rows) EXPECT_EQ(PixelsPerSample(row.text), row.pixels) << row.text;
}

// The samples as NextRoundedField gives them, field after field.
std::vector<std::int32_t> SamplesByFields(std::string_view profile) {
  std::vector<std::int32_t> samples;
  while (profile.size() >= 2) samples.push_back(NextRoundedField(profile));
  return samples;
}

TEST(ProfileSamplesTest, ReadsEveryFieldAsNextRoundedFieldDoes) {
  // clang-format off
  const std::vector<std::string> fields = {
      "12.5", "12.49", "12.499", "12.4999999999999999", "0.5", "0.49", "0.29", "99.995", "5.",
      "7", "0", "0.0", "-12.7", "-0.5", "-0", "-", "+5", ".5", "-.5", " 7", "12 ", "12m", "\"12\"",
      "1e2", "1.5e-3", "12..5", "1.2.3", "abc", "", "1234567.5", "1234567.125", "12345678.5",
      "1.123456", "1.1234567", "9999999.99", "2147483648", "99999999999", "4.5\x00",
      std::string("3\0""5", 3), "00012.50",
      "99.5", "99.49", "9.50", "10.", "1.5x", "12.5.", "123", "12.", ".", "0.05", "99.99",
  };
  // clang-format on
  for (const auto& field : fields) {
    for (const auto& profile :
         {field + "," + field, "1.5," + field, field + ",", field + ",20.75"}) {
      EXPECT_EQ(ProfileSamples(profile), SamplesByFields(profile)) << profile;
    }
  }
  // Random texts of the characters numbers are made of.
  std::mt19937 random(3);
  const std::string alphabet = "0123456789012345678901234567890123456789..,,,,-+eE x";
  for (int text = 0; text < 20000; ++text) {
    std::string profile(random() % 40, ' ');
    for (auto& c : profile) c = alphabet[random() % alphabet.size()];
    ASSERT_EQ(ProfileSamples(profile), SamplesByFields(profile)) << profile;
  }
}

TEST(RenderProfileTest, HeightIsThreeRowsPerMetreOfTheScaleDepth) {
  // clang-format off
  const struct { std::int16_t maxDepth; int height; } rows[] = {
      {39, 120}, {40, 150}, {45, 150}, {49, 150}, {50, 180}, {0, 120}, {-5, 120}, {-32768, 120},
      {100, 330}, {21839, 65520},
  };
  // clang-format on
  for (const auto& row : rows) {
    EXPECT_EQ(RenderProfile("10,10", row.maxDepth, 1).height, row.height) << row.maxDepth;
  }
}

TEST(RenderProfileTest, WidthIsSamplesTimesPixels) {
  // clang-format off
  const struct { std::string profile; std::int32_t pixels; int width; } rows[] = {
      {"1,2,3,4,5,6,0", 1, 6},    // a last sample of one character is not read
      {"1,2,3,4,5,6,0.0", 1, 7},
      {"12,5", 3, 3},
      {"12,5.5", 3, 6},
      {Repeated("10", 100), 2, 200},
      {Repeated("10", 100), 1, 100},
  };
  // clang-format on
  for (const auto& row : rows) {
    EXPECT_EQ(RenderProfile(row.profile, 30, row.pixels).width, row.width) << row.profile;
  }
}

TEST(RenderProfileTest, NoSampleOrNoPixelsGivesNoPicture) {
  for (const auto& [profile, pixels] : {std::pair{"10,10", 0}, {"10,10", -3}, {"", 2}, {"5", 2}}) {
    const auto picture = RenderProfile(profile, 30, pixels);
    EXPECT_EQ(picture.width, 0);
    EXPECT_EQ(picture.height, 0);
    EXPECT_TRUE(picture.pixels.empty());
  }
}

TEST(RenderProfileTest, ProfileAtTheSurfaceIsWhiteFromRowOne) {
  const auto picture = RenderProfile(Repeated("0.0", 10), 30, 3);
  ASSERT_EQ(picture.width, 30);
  ASSERT_EQ(picture.height, 120);
  ExpectPicture(picture, FlatTops(30, 1));
}

TEST(RenderProfileTest, FlatProfileShowsWaterAboveItsDepth) {
  // 20 m of D = 40 lies on row 119 - 20 * 118 / 40 = 60.
  const auto picture = RenderProfile(Repeated("20", 8), 30, 4);
  ExpectPicture(picture, FlatTops(32, 60));
  EXPECT_EQ(At(picture, 5, 31), kLine);
  EXPECT_EQ(At(picture, 5, 59), kWater);
}

TEST(RenderProfileTest, ProfileAtTheScaleDepthShowsNoWhite) {
  // 40 m of D = 40 lies on row B, where the area has no rows left.
  const auto picture = RenderProfile(Repeated("40", 5), 39, 2);
  ExpectPicture(picture, std::vector<int>(10, kNoWhite));
  for (const int row : {31, 61, 91}) EXPECT_EQ(At(picture, 4, row), kLine) << row;
  EXPECT_EQ(At(picture, 1, 118), kBlack);
  EXPECT_EQ(At(picture, 2, 118), kNavy);
}

TEST(RenderProfileTest, OneSampleShowsOnlyTheBackground) {
  const auto picture = RenderProfile("12,5", 30, 4);
  ExpectPicture(picture, std::vector<int>(4, kNoWhite));
}

TEST(RenderProfileTest, DeeperScalesRepeatTheWaterLineEvery30Rows) {
  // D = 100: 80 m lies on row 299 - round(20 * 298 / 100) = 239.
  const auto picture = RenderProfile("80,80", 95, 3);
  ASSERT_EQ(picture.height, 300);
  ExpectPicture(picture, FlatTops(6, 239));
}

TEST(RenderProfileTest, WhiteTopsFollowTheSlantedProfile) {
  // Positions round a half to the even neighbour: 10 m of D = 40 falls on row
  // 119 - 88.5 = 31, 30 m on row 119 - 29.5 = 89, and so do the slanted edges.
  // clang-format off
  const struct { const char* name; const char* profile; std::int16_t maxDepth; std::int32_t pixels;
                 std::vector<int> tops; } rows[] = {
      {"TenMetresOnRow31", "10,10",     30, 2, {kNoWhite, 31, 31, kNoWhite}},
      {"Descent",          "0,30",      30, 10,
       {kNoWhite, 1, 6, 11, 16, 21, 25, 30, 35, 40, 45, 50, 55, 60, 65, 69, 74, 79, 84, kNoWhite}},
      {"DownAndUp",        "0,39,0.0",    39, 3, {kNoWhite, 1, 30, 59, 87, 116, 78, 39, kNoWhite}},
      {"HalfRowsToEven",   "39,0,39",   39, 2, {kNoWhite, 116, 58, 1, 59, kNoWhite}},
      // Deeper than D: the columns where the edge runs below row B - 1 get no white.
      {"BelowTheScale",    "0,60,0.0",    30, 4,
       {kNoWhite, 1, 36, 72, 107, kNoWhite, kNoWhite, kNoWhite, 107, 72, 36, kNoWhite}},
      // Above the surface: the white covers the frame and the ring at the top.
      {"AboveTheSurface",  "-5,-5",     0,  3, {kNoWhite, 0, 0, 0, 0, kNoWhite}},
      // With more samples than columns, samples share columns.
      {"SamplesShareColumns", "0,10,20,30,20", 30, 1, {kNoWhite, 1, 31, 89, kNoWhite}},
  };
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto picture = RenderProfile(row.profile, row.maxDepth, row.pixels);
    EXPECT_EQ(WhiteTops(picture), row.tops);
    ExpectPicture(picture, row.tops);
  }
}

TEST(RenderProfileTest, ProfilesThatReturnToTheirRowsKeepEachColumnsWhiteWhole) {
  // Flat stretches, zig-zags back to rows met before and tops on the ring,
  // frame, line and last rows: each column is white from its top to row H - 2
  // and shows the background everywhere else.
  std::mt19937 random(5);
  for (int picture = 0; picture < 300; ++picture) {
    std::string profile;
    int depth = static_cast<int>(random() % 50) - 3;
    for (int sample = 0; sample < 2 + static_cast<int>(random() % 60); ++sample) {
      if (random() % 3 == 0) depth += static_cast<int>(random() % 21) - 10;
      if (!profile.empty()) profile += ',';
      profile += std::to_string(depth);
    }
    const auto px = static_cast<std::int32_t>(1 + random() % 4);
    const auto maxDepth = static_cast<std::int16_t>(random() % 60);
    SCOPED_TRACE(profile + " at " + std::to_string(px) + " px, " + std::to_string(maxDepth));
    const auto drawn = RenderProfile(profile, maxDepth, px);
    ExpectPicture(drawn, WhiteTops(drawn));
  }
}

TEST(RenderProfileTest, UsesTheColourCube) {
  // clang-format off
  const struct { const char* name; int red, green, blue; std::uint8_t entry; } rows[] = {
      {"Navy",       0,    0,    128,  kNavy},
      {"Black",      0,    0,    0,    kBlack},
      {"Water",      0x11, 0x42, 0xB2, kWater},
      {"WaterLine",  0x72, 0x9B, 0xFA, kLine},
      {"White",      255,  255,  255,  kWhite},
  };
  // clang-format on
  const auto picture = RenderProfile("0,30,-2,50,10", 30, 7);
  ASSERT_EQ(picture.palette.size(), 768u);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CubeIndex(row.red, row.green, row.blue), row.entry);
    // Each channel c is written as its cube level (c + 3) / 51, times 51.
    for (const auto& [channel, written] : {std::pair{row.red, picture.palette[3 * row.entry]},
                                           {row.green, picture.palette[3 * row.entry + 1]},
                                           {row.blue, picture.palette[3 * row.entry + 2]}}) {
      EXPECT_EQ(written, (channel + 3) / 51 * 51);
    }
  }
  EXPECT_EQ(std::vector<std::uint8_t>(picture.palette.begin() + 3 * 216, picture.palette.end()),
            std::vector<std::uint8_t>(40 * 3, 0));
  EXPECT_EQ(std::set<std::uint8_t>(picture.pixels.begin(), picture.pixels.end()),
            (std::set<std::uint8_t>{kBlack, kNavy, kWater, kLine, kWhite}));
}

TEST(RenderProfileTest, RefusesPicturesLargerThanAGifHolds) {
  EXPECT_EQ(RenderProfile(Repeated("10", 65535), 30, 1).width, 65535);
  EXPECT_THROW(RenderProfile(Repeated("10", 65536), 30, 1), ExportError);
  EXPECT_THROW(RenderProfile(Repeated("10", 100000), 30, 1000), ExportError);
  EXPECT_THROW(RenderProfile("10,10", 21840, 1), ExportError);  // 65550 rows
  EXPECT_THROW(RenderProfile(Repeated("1", 3), 30, std::numeric_limits<std::int32_t>::max()),
               ExportError);
}

// A logbook with the dives 7 and -3 and a program directory with Output/.
class MakeProfilePictureTest : public ::testing::Test {
 protected:
  MakeProfilePictureTest() {
    fs::create_directory(dir.path() / "Output");
    dives = {MakeDive(7, "0,10,20,20,10,0", 20), MakeDive(-3, "5,15,5", 15)};
  }
  // The picture made and put in place, as an export does.
  IndexedImage make(int index) {
    SystemFileCalls calls;
    FileSet files(output(), calls);
    auto picture = MakeProfilePicture(dives[static_cast<std::size_t>(index)], pixels, files);
    files.commit({});
    return picture;
  }

  static Dive MakeDive(std::int32_t number, std::string profile, std::int16_t maxDepth) {
    Dive dive;
    dive.number = number;
    dive.maxDepth = maxDepth;
    dive.profile = std::move(profile);
    return dive;
  }

  fs::path output() const { return dir.path() / "Output"; }
  fs::path Picture(const char* name) const { return output() / name; }

  std::string What(int index) {
    try {
      make(index);
    } catch (const ExportError& error) {
      return error.what();
    } catch (const PictureNotMade& reason) {
      return std::string("left out: ") + reason.what();
    }
    return "no error";
  }

  TempDir dir;
  std::vector<Dive> dives;
  std::int32_t pixels = 2;
};

#ifndef _WIN32
TEST_F(MakeProfilePictureTest, WritesTheDivesPictureAndReturnsIt) {
  const auto made = make(0);
  const auto expected = RenderProfile("0,10,20,20,10,0", 20, 2);
  const auto file = DecodeGif(ReadFile(Picture("d7.gif")));
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->picture.width, 10);  // the last "0" is one character: not a sample
  EXPECT_EQ(file->picture.height, 120);
  EXPECT_EQ(file->picture.pixels, expected.pixels);
  EXPECT_EQ(file->picture.palette, expected.palette);
  EXPECT_EQ(made.pixels, expected.pixels);

  EXPECT_EQ(make(1).pixels, RenderProfile("5,15,5", 15, 2).pixels);
  EXPECT_TRUE(fs::exists(Picture("d-3.gif")));
}

TEST_F(MakeProfilePictureTest, ReplacesTheFileWholeAndReadsThePixelsEachTime) {
  dir.write("Output/d7.gif", std::string(100000, 'x'));
  make(0);
  const std::string first = ReadFile(Picture("d7.gif"));
  StringSink expected;
  WriteGif(RenderProfile("0,10,20,20,10,0", 20, 2), expected);
  EXPECT_EQ(first, expected.data);

  make(0);
  EXPECT_EQ(ReadFile(Picture("d7.gif")), first);

  pixels = 5;
  make(0);
  EXPECT_EQ(DecodeGif(ReadFile(Picture("d7.gif")))->picture.width, 25);
}
#endif

TEST_F(MakeProfilePictureTest, NoPixelsPerSampleWritesNoPicture) {
  for (const std::int32_t count : {0, -2}) {
    pixels = count;
    EXPECT_EQ(make(0).width, 0) << count;
  }
  EXPECT_FALSE(fs::exists(Picture("d7.gif")));
}

TEST_F(MakeProfilePictureTest, AFileThatCannotBeCreatedEndsIt) {
  fs::create_directory(Picture("d7.gif"));
  EXPECT_EQ(What(0), "Cannot create file " + DisplayPath(Picture("d7.gif")));
  fs::remove_all(dir.path() / "Output");
  EXPECT_EQ(What(1), "Cannot create file " + DisplayPath(Picture("d-3.gif")));
}

TEST_F(MakeProfilePictureTest, APictureTooLargeForAGifIsRefusedBeforeDrawing) {
  dives[0].profile = Repeated("10", 100000);
  pixels = 1000;
  EXPECT_EQ(What(0),
            "left out: a profile picture of 100000000 x 120 pixels is larger than a GIF "
            "file can hold");
  EXPECT_FALSE(fs::exists(Picture("d7.gif")));
}

#ifndef _WIN32
// A link in the picture's place is replaced by the picture, never written
// through (it used to write into /dev/full and fail).
TEST_F(MakeProfilePictureTest, ALinkInThePicturesPlaceIsReplacedNotWrittenThrough) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  fs::create_symlink("/dev/full", Picture("d7.gif"));
  EXPECT_EQ(What(0), "no error");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Picture("d7.gif"))));
}
#endif

}  // namespace
}  // namespace quellmar

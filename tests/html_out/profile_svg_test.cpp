#include "html_out/profile_svg.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "basic/file_set.h"
#include "basic/os_file.h"
#include "support/temp_dir.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;

Dive MakeDive(std::string profile, double diveSeconds, std::int16_t interval = 20) {
  Dive dive;
  dive.number = 7;
  dive.profile = std::move(profile);
  dive.sampleInterval = interval;
  if (diveSeconds > 0) dive.exact.diveTime = Decimal::Parse(std::to_string(diveSeconds));
  return dive;
}

std::vector<std::string> All(const std::string& text, const std::string& pattern) {
  std::vector<std::string> found;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
       ++it) {
    found.push_back((*it)[1]);
  }
  return found;
}

// The numbers of an SVG path, as the page's script reads them: signed
// decimals, the sign also parting two of them. Read without <regex>, whose
// recursion overflows the stack on a long path.
std::vector<std::string> PathNumbers(const std::string& path) {
  std::vector<std::string> numbers;
  const auto digit = [&](std::size_t i) { return i < path.size() && std::isdigit(path[i]) != 0; };
  for (std::size_t i = 0; i < path.size();) {
    const std::size_t start = i;
    if (path[i] == '-') ++i;
    const std::size_t whole = i;
    while (digit(i)) ++i;
    if (i < path.size() && path[i] == '.' && (i > whole || digit(i + 1))) {
      ++i;
      while (digit(i)) ++i;
    }
    if (i > whole) {
      numbers.push_back(path.substr(start, i - start));
    } else {
      i = start + 1;
    }
  }
  return numbers;
}

// The depths in centimetres read back from the area path, as the page's
// script reads them.
std::vector<std::int64_t> PathDepths(const std::string& svg) {
  const std::string start = "class=\"area\" d=\"M0 ";
  auto at = svg.find(start);
  if (at == std::string::npos || svg.find(start, at + 1) != std::string::npos) return {};
  at += start.size();
  const auto end = svg.find_first_of("V\"", at);
  if (end == std::string::npos || svg[end] != 'V') return {};
  const auto area = svg.substr(at, end - at);
  const auto numbers =
      PathNumbers(area.substr(0, area.find('l')) + " " + area.substr(area.find('l') + 1));
  std::vector<std::int64_t> depths{std::llround(std::stod(numbers[0]) * 100)};
  for (std::size_t i = 2; i < numbers.size(); i += 2) {
    EXPECT_EQ(numbers[i - 1], "1");
    depths.push_back(depths.back() + std::llround(std::stod(numbers[i]) * 100));
  }
  return depths;
}

std::vector<double> Percents(const std::string& svg, const std::string& kind,
                             const std::string& axis) {
  std::vector<double> at;
  for (const auto& p : All(svg, "class=\"" + kind + "\"[^>]*? " + axis + "=\"([-0-9.]+)%\"")) {
    at.push_back(std::stod(p));
  }
  return at;
}

TEST(ProfileCentimetresTest, CutsAsThePictureAndKeepsTheDecimals) {
  struct Row {
    const char* name;
    const char* profile;
    std::vector<std::int32_t> depths;
  };
  // clang-format off
  const Row rows[] = {
      {"decimals kept",           "0,6.5,14.25",  {0, 650, 1425}},
      {"last field of one digit", "12,5",         {1200}},
      {"finer than centimetres",  "1.234,2.345",  {123, 235}},
      {"a text reads as 0",       "x5,5.0",       {0, 500}},
      {"negative above water",    "-0.5,3",       {-50}},
      {"nothing",                 "",             {}},
  };
  // clang-format on
  for (const Row& row : rows) {
    EXPECT_EQ(ProfileCentimetres(row.profile), row.depths) << row.name;
  }
}

TEST(ProfileSecondsTest, SpreadsOverTheDiveTimeOrElseTheInterval) {
  struct Row {
    const char* name;
    double diveSeconds;
    std::int16_t interval;
    std::int64_t seconds;
  };
  // clang-format off
  const Row rows[] = {
      {"the dive time",                 2520, 20, 2520},
      {"the dive time over a 30 s rate", 3301, 30, 3301},
      {"no dive time: the interval",    0,    30, 90},
      {"neither: one a step",           0,    0,  3},
  };
  // clang-format on
  for (const Row& row : rows) {
    EXPECT_EQ(ProfileSeconds(MakeDive("", row.diveSeconds, row.interval), 4), row.seconds)
        << row.name;
  }
}

TEST(ProfileSvgTest, PathGivesBackEverySampleOfALongDive) {
  // An hour at one sample a second, to the centimetre, as a computer logs it.
  std::mt19937 random(31);
  std::string profile;
  std::vector<std::int64_t> depths;
  std::int64_t depth = 0;
  for (int i = 0; i < 3600; ++i) {
    depth =
        std::clamp<std::int64_t>(depth + static_cast<std::int64_t>(random() % 61) - 30, 0, 4000);
    depths.push_back(depth);
    if (i > 0) profile += ',';
    profile += std::to_string(depth / 100);
    profile += '.';
    profile += std::to_string(depth % 100 / 10);
    profile += std::to_string(depth % 10);
  }
  const std::string svg = ProfileSvg(MakeDive(profile, 3600, 1));
  EXPECT_EQ(PathDepths(svg), depths);
  EXPECT_LT(svg.size(), 40u * 1024) << "bytes of a 3,600-sample profile";
}

TEST(ProfileSvgTest, MarksTheFirstDeepestPoint) {
  const std::string svg = ProfileSvg(MakeDive("0,10,28.4,12,28.4,0.0", 600));
  EXPECT_EQ(All(svg, R"(<circle class="deepest" cx="([0-9.]+%))"), std::vector<std::string>{"40%"});
  EXPECT_EQ(All(svg, R"(<text class="deepest"[^>]*>([^<]*)<)"), std::vector<std::string>{"28.4 m"});
  EXPECT_NE(svg.find("<title>Depth profile: deepest 28.4 m at 4:00 of 10:00 min</title>"),
            std::string::npos);
}

TEST(ProfileSvgTest, LabelsStandApartAtAnyTimeAndDepth) {
  // Minute labels of at most three characters need 12 % of the narrowest
  // plot (a 360 pixel phone); the last must leave the unit at the end room.
  for (const double seconds : {45.0, 61.0, 599.0, 2437.0, 3301.0, 6240.0, 36000.0}) {
    for (const char* profile :
         {"0,3.1,0.0", "0,18.3,2,0.0", "0,45,0.0", "0,82.6,0.0", "0,149,0.0"}) {
      SCOPED_TRACE(std::to_string(seconds) + " s, " + profile);
      const std::string svg = ProfileSvg(MakeDive(profile, seconds));
      const auto minutes = Percents(svg, "minute", "x");
      ASSERT_FALSE(minutes.empty());
      for (std::size_t i = 1; i < minutes.size(); ++i) EXPECT_GE(minutes[i] - minutes[i - 1], 12);
      EXPECT_LE(minutes.back(), 85);
      for (const auto& text : All(svg, R"(class="minute"[^>]*>([^<]*)<)"))
        EXPECT_LE(text.size(), 3u);
      const auto metres = Percents(svg, "metre", "y");
      ASSERT_GE(metres.size(), 2u);
      EXPECT_LE(metres.size(), 6u);
      for (std::size_t i = 1; i < metres.size(); ++i) EXPECT_GE(metres[i] - metres[i - 1], 16);
      // The deepest point's label below it stays inside the plot.
      EXPECT_LE(Percents(svg, "deepest", "cy").at(0), 82);
    }
  }
}

TEST(ProfileSvgTest, FileOfItsOwnOnlyForAProfile) {
  testing::TempDir dir;
  SystemFileCalls calls;
  FileSet files(dir.path(), calls);
  EXPECT_TRUE(WriteProfileSvgFile(MakeDive("0,10,0.0", 60), files));
  EXPECT_FALSE(WriteProfileSvgFile(
      [] {
        Dive one = MakeDive("12,5", 60);
        one.number = 8;
        return one;
      }(),
      files));
  ASSERT_TRUE(files.commit({}));
  const std::string svg = testing::ReadFile(dir.path() / "d7.svg");
  EXPECT_TRUE(svg.starts_with("<svg xmlns=\"http://www.w3.org/2000/svg\"")) << svg.substr(0, 80);
  EXPECT_FALSE(fs::exists(dir.path() / "d8.svg"));
  EXPECT_TRUE(ProfileSvg(MakeDive("12,5", 60)).empty());
}

}  // namespace
}  // namespace quellmar

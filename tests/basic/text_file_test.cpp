#include "basic/text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quellmar {
namespace {

using Lines = std::vector<std::string>;

struct LineRow {
  const char* name;
  std::string text;
  Lines expected;
};

const LineRow kLineRows[] = {
    {"empty_file", "", {}},
    {"crlf", "a\r\nb\r\n", {"a", "b"}},
    {"cr_alone", "a\rb\r", {"a", "b"}},
    {"lf_alone_is_a_character", "a\nb\n", {"a\nb\n"}},
    {"lf_before_cr", "a\n\rb", {"a\n", "b"}},
    {"no_final_line_end", "a\r\nb", {"a", "b"}},
    {"one_line_end", "\r\n", {""}},
    {"empty_lines", "\r\n\r\n", {"", ""}},
    {"cr_cr_lf", "a\r\r\nb", {"a", "", "b"}},
    {"ctrl_z_ends",
     "a\r\nb\x1a"
     "c\r\nd",
     {"a", "b"}},
    {"ctrl_z_first",
     "\x1a"
     "abc\r\n",
     {}},
    {"ctrl_z_only", "\x1a", {}},
    {"ctrl_z_after_line_end", "a\r\n\x1a\r\n", {"a"}},
    {"nul_bytes", std::string("a\0b\r\n\0", 6), {std::string("a\0b", 3), std::string(1, '\0')}},
    {"high_bytes", "J\xf6rg\r\n\xff\xfe", {"J\xf6rg", "\xff\xfe"}},
};

TEST(SplitLines, LineRule) {
  for (const auto& row : kLineRows) EXPECT_EQ(SplitLines(row.text), row.expected) << row.name;
}

TEST(LineReader, ViewsPointIntoTheText) {
  const std::string text = "first\r\nsecond";
  LineReader reader(text);
  std::string_view line;
  ASSERT_TRUE(reader.next(line));
  EXPECT_EQ(line.data(), text.data());
  ASSERT_TRUE(reader.next(line));
  EXPECT_EQ(line, "second");
  EXPECT_FALSE(reader.next(line));
  EXPECT_FALSE(reader.next(line));
}

TEST(ReadWholeFile, ReadsEveryByte) {
  testing::TempDir dir;
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i % 256);
  const auto path = dir.write("all_bytes.bin", bytes);
  EXPECT_EQ(ReadWholeFile(path), bytes);
  EXPECT_EQ(ReadWholeFile(dir.write("empty.csv", "")), "");
}

TEST(ReadWholeFile, NothingForMissingFileOrDirectory) {
  testing::TempDir dir;
  EXPECT_FALSE(ReadWholeFile(dir.path() / "missing.csv"));
  EXPECT_FALSE(ReadWholeFile(dir.path()));
}

Lines ReadLineFile(const std::filesystem::path& path, std::size_t chunkSize) {
  LineFile file(path, chunkSize);
  EXPECT_TRUE(file.isOpen());
  Lines lines;
  std::string_view line;
  while (file.next(line)) lines.emplace_back(line);
  EXPECT_FALSE(file.failed());
  return lines;
}

// Chunks of one, two and three bytes put a chunk's end at every place in a
// line, between a carriage return and its line feed and before a Ctrl-Z too;
// the lines grow past the first chunk, so the buffer grows as well.
TEST(LineFile, SameLinesAtEveryChunkBoundary) {
  testing::TempDir dir;
  for (const auto& row : kLineRows) {
    const auto path = dir.write(std::string(row.name) + ".csv", row.text);
    for (const std::size_t chunk : {1, 2, 3, 7, 1 << 20}) {
      EXPECT_EQ(ReadLineFile(path, chunk), row.expected) << row.name << ", chunk " << chunk;
    }
  }
}

struct CsvLineRow {
  const char* name;
  std::string text;
  Lines expected;
  bool loneLineFeed;  // one ended a line
};

// clang-format off
const CsvLineRow kCsvLineRows[] = {
    {"crlf_then_lf",        "a\r\nb\nc\n",     {"a", "b", "c"},      true},
    {"lf_lf_is_two_ends",   "a\n\nb",          {"a", "", "b"},       true},
    {"lf_cr",               "a\n\rb",          {"a", "", "b"},       true},
    {"cr_lf_lf",            "a\r\n\nb\r\n",   {"a", "", "b"},       true},
    {"crlf_only",           "a\r\nb\rc\r\n",  {"a", "b", "c"},      false},
    {"lf_after_ctrl_z",     "a\r\n\x1a\nb\n",  {"a"},                false},
};
// clang-format on

// CSV files take a line feed that follows no carriage return as a line end
// too, wherever a chunk of the file ends.
TEST(LineFile, LoneLineFeedsEndCsvLines) {
  testing::TempDir dir;
  for (const auto& row : kCsvLineRows) {
    const auto path = dir.write(std::string(row.name) + ".csv", row.text);
    for (const std::size_t chunk : {1, 2, 3, 1 << 20}) {
      LineFile file(path, chunk, LineEnds::AlsoLoneLineFeed);
      Lines lines;
      for (std::string_view line; file.next(line);) lines.emplace_back(line);
      EXPECT_EQ(lines, row.expected) << row.name << ", chunk " << chunk;
      EXPECT_EQ(file.metLoneLineFeed(), row.loneLineFeed) << row.name << ", chunk " << chunk;
    }
  }
}

struct CtrlZRow {
  const char* name;
  std::string text;
  LineEnds ends;
  std::uint64_t bytesAfter;  // left unread
  std::uint64_t line;        // where the Ctrl-Z stands
};

// clang-format off
const CtrlZRow kCtrlZRows[] = {
    {"none",                "a\r\nb",                       LineEnds::CarriageReturn,   0, 0},
    {"last_byte",           "a\r\nb\r\n\x1a",              LineEnds::CarriageReturn,   0, 0},
    {"inside_a_line",       "a\r\nb\x1a" "c\r\nd",          LineEnds::CarriageReturn,   4, 2},
    {"starting_a_line",     "a\r\n\x1a\r\n",                LineEnds::CarriageReturn,   2, 2},
    {"after_a_lone_cr",     "a\r\x1a" "z",                  LineEnds::CarriageReturn,   1, 2},
    {"first_byte",          "\x1a" "abc",                    LineEnds::CarriageReturn,   3, 1},
    {"after_lf_as_a_byte",  "a\nb\n\x1a" "xy",               LineEnds::CarriageReturn,   2, 1},
    {"after_lone_lf_lines", "a\nb\n\x1a" "xy",               LineEnds::AlsoLoneLineFeed, 2, 3},
};
// clang-format on

// A Ctrl-Z before the last byte: how many bytes it left unread, wherever a
// chunk ends, and the line it stands on.
TEST(LineFile, CtrlZBeforeTheEnd) {
  testing::TempDir dir;
  for (const auto& row : kCtrlZRows) {
    const auto path = dir.write(std::string(row.name) + ".csv", row.text);
    for (const std::size_t chunk : {1, 2, 3, 1 << 20}) {
      LineFile file(path, chunk, row.ends);
      for (std::string_view line; file.next(line);) {
      }
      EXPECT_EQ(file.bytesAfterCtrlZ(), row.bytesAfter) << row.name << ", chunk " << chunk;
    }
    if (row.line > 0) {
      EXPECT_EQ(CtrlZLine(path, row.ends), row.line) << row.name;
    }
  }
}

TEST(LineFile, DoesNotOpenMissingFileOrDirectory) {
  testing::TempDir dir;
  std::string_view line;
  LineFile missing(dir.path() / "missing.csv");
  EXPECT_FALSE(missing.isOpen());
  EXPECT_FALSE(missing.next(line));
  LineFile folder(dir.path());
  EXPECT_FALSE(folder.isOpen());
  EXPECT_FALSE(folder.next(line));
}

}  // namespace
}  // namespace quellmar

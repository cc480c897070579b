// The windows' command line: what is answered before a window shows (help,
// version, usage errors), and what a window starts with.
#include "commands/window_arguments.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quellmar {
namespace {

struct Row {
  const char* name;
  std::vector<std::string> args;
  bool passUnknown;
  int exitCode;           // -1: the window starts
  const char* firstLine;  // of what is printed, out or err
  const char* file;       // when the window starts: nullptr for none
  bool base;
};

// clang-format off
const Row kRows[] = {
  {"NothingStartsEmpty",            {},                           false, -1, "",                                    nullptr,      false},
  {"FileIsOpenedAtStart",           {"dives.csv"},                false, -1, "",                                    "dives.csv",  false},
  {"BaseIsMadeAbsolute",            {"--base", "folder"},         false, -1, "",                                    nullptr,      true},
  {"FileMayBeginWithADash",         {"--", "-dives.csv"},         false, -1, "",                                    "-dives.csv", false},
  {"HelpAnswersOnOut",              {"x.csv", "--help"},          false, 0,  "Usage: quellmar [--base DIR] [FILE]", nullptr,      false},
  {"VersionAnswersOnOut",           {"--version"},                false, 0,  "quellmar 9.9",                        nullptr,      false},
  {"TwoFilesAreAUsageError",        {"a.csv", "b.csv"},           false, 2,  "quellmar: one FILE only, not 2",      nullptr,      false},
  {"UnknownOptionIsAUsageError",    {"--px", "2"},                false, 2,  "quellmar: unknown option --px",       nullptr,      false},
  {"BaseWithoutFolderIsAnError",    {"--base"},                   false, 2,  "quellmar: --base needs a value",      nullptr,      false},
  {"FirstLookPassesToolkitOptions", {"-platform", "offscreen"},   true,  -1, "",                                    nullptr,      false},
  {"FirstLookAnswersHelp",          {"-platform", "x", "--help"}, true,  0,  "Usage: quellmar [--base DIR] [FILE]", nullptr,      false},
};
// clang-format on

class WindowArgumentsTest : public ::testing::TestWithParam<Row> {};

TEST_P(WindowArgumentsTest, AnswersOrStarts) {
  const Row& row = GetParam();
  std::ostringstream out;
  std::ostringstream err;
  const auto answer = AnswerWindowArguments(row.args, "9.9", out, err, row.passUnknown);
  const std::string printed = out.str() + err.str();
  EXPECT_EQ(printed.substr(0, printed.find('\n')), row.firstLine);
  if (row.exitCode >= 0) {
    ASSERT_TRUE(std::holds_alternative<int>(answer));
    EXPECT_EQ(std::get<int>(answer), row.exitCode);
    EXPECT_EQ(err.str().empty(), row.exitCode == 0);
    return;
  }
  ASSERT_TRUE(std::holds_alternative<WindowArguments>(answer));
  const auto& arguments = std::get<WindowArguments>(answer);
  EXPECT_EQ(arguments.file,
            row.file ? std::optional<std::filesystem::path>(row.file) : std::nullopt);
  EXPECT_EQ(arguments.base.has_value(), row.base);
  if (row.base) {
    EXPECT_TRUE(arguments.base->is_absolute());
  }
}

INSTANTIATE_TEST_SUITE_P(WindowArguments, WindowArgumentsTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellmar

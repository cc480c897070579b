// The command line of the two windows, read once for both: an export's main
// file to open at start, --base DIR, --help and --version.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quellmar {

struct WindowArguments {
  std::optional<std::filesystem::path> base;  // made absolute
  std::optional<std::filesystem::path> file;  // as given; the open takes it from the current folder
};

// The arguments a window starts with (UTF-8, without the program's name), or
// the exit status once --help, --version (on out) or a usage error (on err)
// is answered. passUnknown passes over a toolkit's own options, and over
// files with them, for a first look before the toolkit starts.
std::variant<WindowArguments, int> AnswerWindowArguments(const std::vector<std::string>& args,
                                                         std::string_view version,
                                                         std::ostream& out, std::ostream& err,
                                                         bool passUnknown = false);

}  // namespace quellmar

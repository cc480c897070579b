// The command line of the two windows, read once for both: an export's main
// file to open at start, --base DIR, --help and --version.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "commands/program_options.h"

namespace quellmar {

struct WindowArguments {
  bool help = false;
  bool version = false;
  std::optional<std::filesystem::path> base;  // made absolute
  std::optional<std::filesystem::path> file;  // as given; the open takes it from the current folder
};

// Reads the arguments (UTF-8, without the program's name); passUnknown keeps
// a toolkit's own options out, and files with them, for a first look before
// the toolkit starts.
std::variant<WindowArguments, UsageError> ReadWindowArguments(const std::vector<std::string>& args,
                                                              bool passUnknown = false);

// What --help prints.
extern const char kWindowUsage[];

}  // namespace quellmar

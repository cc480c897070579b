// Reading a program's command line, one rule for every front-end: options
// and file names in any order; a value follows its option as the next
// argument or after "=" ("--px 2", "--px=2"); "--" ends the options, so that a
// file name may begin with "-"; a lone "-" is a file name.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace quellmar {

struct OptionSpec {
  std::string_view name;  // "--base"
  bool takesValue = false;
};

// The options every front-end takes: --help, --version and --base DIR.
extern const std::span<const OptionSpec> kCommonOptions;

struct Arguments {
  std::vector<std::pair<std::string, std::string>> options;  // in the order given; "" for a flag
  std::vector<std::string> files;

  bool has(std::string_view name) const;
  std::optional<std::string> value(std::string_view name) const;  // the last one given
};

struct UsageError {
  std::string message;  // "unknown option --x", "--px needs a value"
};

// Reads the arguments (without the program's name) against the options
// known; an unknown option is an error unless passUnknown, which keeps it out
// (a toolkit's own options).
std::variant<Arguments, UsageError> ReadArguments(const std::vector<std::string>& args,
                                                  std::span<const OptionSpec> known,
                                                  bool passUnknown = false);

// The problem with the number of files given, or nothing: at most one, or
// exactly one when required.
std::optional<UsageError> FileCountProblem(const Arguments& arguments, bool required);

}  // namespace quellmar

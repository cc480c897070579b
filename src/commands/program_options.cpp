#include "commands/program_options.h"

#include <algorithm>

namespace quellmar {
namespace {

constexpr OptionSpec kCommon[] = {{"--help"}, {"--version"}, {"--base", true}};

}  // namespace

const std::span<const OptionSpec> kCommonOptions = kCommon;

bool Arguments::has(std::string_view name) const {
  return std::any_of(options.begin(), options.end(),
                     [name](const auto& option) { return option.first == name; });
}

std::optional<std::string> Arguments::value(std::string_view name) const {
  std::optional<std::string> found;
  for (const auto& [option, value] : options) {
    if (option == name) found = value;
  }
  return found;
}

std::variant<Arguments, UsageError> ReadArguments(const std::vector<std::string>& args,
                                                  std::span<const OptionSpec> known,
                                                  bool passUnknown) {
  Arguments arguments;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      arguments.files.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::optional<std::string_view> attached;
    if (const auto eq = arg.find('='); eq != std::string_view::npos) {
      attached = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
    }
    const auto option =
        std::find_if(known.begin(), known.end(),
                     [arg](const OptionSpec& candidate) { return candidate.name == arg; });
    if (option == known.end()) {
      if (passUnknown) continue;
      return UsageError{"unknown option " + args[i]};
    }
    std::string value;
    if (option->takesValue) {
      if (attached) {
        value = std::string(*attached);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        return UsageError{std::string(arg) + " needs a value"};
      }
    } else if (attached) {
      return UsageError{std::string(arg) + " takes no value"};
    }
    arguments.options.emplace_back(std::string(arg), std::move(value));
  }
  return arguments;
}

std::optional<UsageError> FileCountProblem(const Arguments& arguments, bool required) {
  const auto& files = arguments.files;
  if (files.empty()) {
    if (required) return UsageError{"no FILE given"};
    return std::nullopt;
  }
  if (files.size() > 1) return UsageError{"one FILE only, not " + std::to_string(files.size())};
  if (files[0].empty()) return UsageError{"FILE is empty"};
  return std::nullopt;
}

}  // namespace quellmar

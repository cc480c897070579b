#include "commands/window_arguments.h"

#include <system_error>

#include "basic/path_text.h"

namespace quellmar {

std::variant<WindowArguments, UsageError> ReadWindowArguments(const std::vector<std::string>& args,
                                                              bool passUnknown) {
  const auto read = ReadArguments(args, kCommonOptions, passUnknown);
  if (const auto* error = std::get_if<UsageError>(&read)) return *error;
  const Arguments& arguments = std::get<Arguments>(read);
  WindowArguments window;
  window.help = arguments.has("--help");
  window.version = arguments.has("--version");
  if (const auto base = arguments.value("--base")) {
    std::error_code ec;
    window.base = std::filesystem::absolute(PathFromUtf8(*base), ec);
    if (ec) return UsageError{"--base " + *base + ": " + ec.message()};
  }
  if (passUnknown || window.help || window.version) return window;
  if (const auto problem = FileCountProblem(arguments, false)) return *problem;
  if (!arguments.files.empty()) window.file = PathFromUtf8(arguments.files.front());
  return window;
}

const char kWindowUsage[] =
    "Usage: quellmar [--base DIR] [FILE]\n"
    "Shows the window that converts an SDM dive-logbook CSV export into an HTML logbook.\n"
    "\n"
    "  FILE            the main CSV file of an SDM export, opened at start\n"
    "  --base DIR      the program directory: templates from DIR/html, the logbook written to "
    "DIR/Output\n"
    "                  (default: the executable's folder when it holds html/ and can be written,\n"
    "                  else a per-user folder filled from the installed templates)\n"
    "  --help          print this help and exit\n"
    "  --version       print the version and exit\n";

}  // namespace quellmar

#include "commands/window_arguments.h"

#include <system_error>

#include "basic/path_text.h"
#include "commands/program_options.h"

namespace quellmar {
namespace {

enum ExitCode { kDone = 0, kUsageError = 2 };

constexpr char kUsage[] =
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

}  // namespace

std::variant<WindowArguments, int> AnswerWindowArguments(const std::vector<std::string>& args,
                                                         std::string_view version,
                                                         std::ostream& out, std::ostream& err,
                                                         bool passUnknown) {
  const auto usageError = [&err](const std::string& message) {
    err << "quellmar: " << message << "\n\n" << kUsage;
    return kUsageError;
  };
  const auto read = ReadArguments(args, kCommonOptions, passUnknown);
  if (const auto* error = std::get_if<UsageError>(&read)) return usageError(error->message);
  const Arguments& arguments = std::get<Arguments>(read);
  if (arguments.has("--help")) {
    out << kUsage;
    if (passUnknown) out << "\nThe toolkit's own options (such as -platform) are taken as well.\n";
    return kDone;
  }
  if (arguments.has("--version")) {
    out << "quellmar " << version << "\n";
    return kDone;
  }
  WindowArguments window;
  if (const auto base = arguments.value("--base")) {
    std::error_code ec;
    window.base = std::filesystem::absolute(PathFromUtf8(*base), ec);
    if (ec) return usageError("--base " + *base + ": " + ec.message());
  }
  if (passUnknown) return window;  // a toolkit's option may have taken what looks like a file
  if (const auto problem = FileCountProblem(arguments, false)) return usageError(problem->message);
  if (!arguments.files.empty()) window.file = PathFromUtf8(arguments.files.front());
  return window;
}

}  // namespace quellmar

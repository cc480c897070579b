// quellmar-convert: the command line face of the converter. It runs the
// window's own Open and HTML export commands, with the options taken from
// the command line and the questions answered by them.
#include <charconv>
#include <clocale>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#ifndef _WIN32
#include <langinfo.h>
#endif

#include "basic/display_text.h"
#include "basic/executable.h"
#include "basic/path_text.h"
#include "commands/commands.h"
#include "commands/program_directory.h"
#include "commands/program_options.h"
#include "commands/session.h"
#include "console_platform.h"
#include "desktop.h"
#include "model/version.h"

namespace quellmar::convert {
namespace {

constexpr const char* kUsage =
    "Usage: quellmar-convert [OPTIONS] FILE\n"
    "Converts an SDM dive-logbook CSV export into an HTML logbook, or into one UDDF file\n"
    "for other dive logbooks to import.\n"
    "\n"
    "  FILE            the main CSV file of an SDM export; the companions are looked up beside "
    "it\n"
    "  --base DIR      the program directory: templates from DIR/html, the logbook written to "
    "DIR/Output\n"
    "                  (default: the executable's folder when it holds html/ and can be written,\n"
    "                  else a per-user folder filled from the installed templates; shown below)\n"
    "  --import-only   stop after the import\n"
    "  --list          after the memo, print the dive list, one line per dive\n"
    "  --clear         answer Yes to the question whether to empty the Output directory "
    "(default No)\n"
    "  --no-notes      export with the \"Note\" option off\n"
    "  --no-gif        export with the \"Dive profil GIF\" option off\n"
    "  --px TEXT       the \"pixel / profile entry\" text, read exactly as the window's edit box "
    "(default 1)\n"
    "  --view          answer OK to the final question, opening logbook.html in the default "
    "browser (default Cancel)\n"
    "  --uddf FILE     write the logbook as one UDDF 3.2 file for other dive logbooks, in place "
    "of\n"
    "                  the HTML export\n"
    "  --dates ORDER   read the export's dates day first or month first (day, month; default: "
    "as\n"
    "                  the dates show, day first when none tells)\n"
    "  --threads N     make the dive pages and pictures on N threads (default: one per core;\n"
    "                  1 makes them one after the other); the logbook is the same for any N\n"
    "  --quiet         do not print the history\n"
    "  --help          print this help and exit\n"
    "  --version       print the version and exit\n"
    "\n"
    "At the end of an export the full path of logbook.html, or of the UDDF file, is printed,\n"
    "unless --quiet.\n"
    "\n"
    "Exit status: 0 done, 1 the import failed, 2 wrong usage, 3 the export stopped early\n"
    "(a file that cannot be written, another export running), 4 the export finished but\n"
    "left out the profile pictures of some dives, or in UDDF some whole dives (the history\n"
    "names them).\n";

enum ExitCode {
  kDone = 0,
  kImportFailed = 1,
  kUsageError = 2,
  kExportStopped = 3,
  kDivesLeftOut = 4
};

struct Options {
  std::filesystem::path file;
  std::optional<std::filesystem::path> base;
  bool importOnly = false;
  bool list = false;
  bool quiet = false;
  bool help = false;
  bool version = false;
  Answers answers;
  ExportOptions exportOptions;
  std::optional<std::filesystem::path> uddf;
  DateOrder dateOrder = DateOrder::FromDates;
  std::optional<unsigned> threads;  // the session's own count when not given
};

constexpr unsigned kMostThreads = 256;

// The converter's own options, besides the ones every front-end takes.
constexpr OptionSpec kConvertOptions[] = {
    {"--import-only"}, {"--list"},        {"--clear"},         {"--no-notes"},
    {"--no-gif"},      {"--px", true},    {"--view"},          {"--quiet"},
    {"--uddf", true},  {"--dates", true}, {"--threads", true},
};

std::variant<Options, UsageError> ParseArguments(const std::vector<std::string>& args) {
  std::vector<OptionSpec> known(kCommonOptions.begin(), kCommonOptions.end());
  known.insert(known.end(), std::begin(kConvertOptions), std::end(kConvertOptions));
  const auto read = ReadArguments(args, known);
  if (const auto* error = std::get_if<UsageError>(&read)) return *error;
  const Arguments& arguments = std::get<Arguments>(read);
  Options options;
  options.help = arguments.has("--help");
  options.version = arguments.has("--version");
  if (const auto base = arguments.value("--base")) options.base = PathFromUtf8(*base);
  options.importOnly = arguments.has("--import-only");
  options.list = arguments.has("--list");
  options.quiet = arguments.has("--quiet");
  options.answers.clearOutput = arguments.has("--clear");
  options.answers.viewLogbook = arguments.has("--view");
  options.exportOptions.note = !arguments.has("--no-notes");
  options.exportOptions.gif = !arguments.has("--no-gif");
  // The window's edit box holds the export's own 8-bit text.
  if (const auto px = arguments.value("--px")) options.exportOptions.px = Windows1252FromUtf8(*px);
  if (const auto uddf = arguments.value("--uddf")) options.uddf = PathFromUtf8(*uddf);
  if (const auto dates = arguments.value("--dates")) {
    if (*dates != "day" && *dates != "month") return UsageError{"--dates takes day or month"};
    options.dateOrder = *dates == "day" ? DateOrder::DayFirst : DateOrder::MonthFirst;
  }
  if (const auto threads = arguments.value("--threads")) {
    const char* end = threads->data() + threads->size();
    unsigned count = 0;
    const auto read = std::from_chars(threads->data(), end, count);
    if (read.ec != std::errc() || read.ptr != end || count < 1 || count > kMostThreads) {
      return UsageError{"--threads takes a whole number from 1 to " + std::to_string(kMostThreads)};
    }
    options.threads = count;
  }
  if (options.help || options.version) return options;
  if (const auto problem = FileCountProblem(arguments, true)) return *problem;
  options.file = PathFromUtf8(arguments.files.front());
  return options;
}

// True when standard output takes UTF-8: on Windows always (PrepareConsole),
// elsewhere when its locale (LC_ALL, LC_CTYPE, LANG) uses UTF-8.
bool OutputIsUtf8() {
#ifdef _WIN32
  return true;
#else
  const char* set = std::setlocale(LC_CTYPE, "");
  const bool utf8 = set != nullptr && std::string_view(nl_langinfo(CODESET)) == "UTF-8";
  std::setlocale(LC_CTYPE, "C");  // the program's own texts never depend on the locale
  return utf8;
#endif
}

std::optional<std::filesystem::path> GivenBase(const Options* options) {
  if (options == nullptr || !options->base) return std::nullopt;
  return std::filesystem::absolute(*options->base);
}

// The usage, and the program directory a run with these options would use.
std::string UsageText(const Options* options, const char* argv0) {
  const auto directory =
      LocateProgramDirectory(GivenBase(options), ExecutableFolder(argv0), PerUserFolder());
  std::string text =
      std::string(kUsage) + "\nProgram directory: " + ProgramDirectoryText(directory) + "\n";
  if (!directory.problem.empty()) text += "  " + directory.problem + "\n";
  return text;
}

int Run(const Options& options, const char* argv0, const ConsoleText& shown) {
  const auto directory = FindProgramDirectory(GivenBase(&options), ExecutableFolder(argv0));
  if (!directory.problem.empty()) {
    std::cerr << "quellmar-convert: " << shown(directory.problem) << '\n';
  }
  ConsolePlatform platform(std::cerr, shown, options.file, directory.path, options.answers);
  Session session(platform);
  session.window.options = options.exportOptions;
  session.window.dateOrder = options.dateOrder;
  if (options.threads) session.exportThreads = *options.threads;
  HistoryPrinter history(std::cerr, shown);
  if (!options.quiet) session.window.setListener(&history);

  const bool imported = OpenCsvPathCommand(session, options.file);
  const auto print = [&shown](const std::string& line) { std::cout << shown(line) << '\n'; };
  for (const auto& line : session.window.memo()) print(line);
  if (options.list) {
    for (const auto& line : session.window.diveList()) print(line);
  }
  std::cout << std::flush;
  if (!imported) return kImportFailed;
  if (options.importOnly) return kDone;
  const ExportResult result =
      options.uddf ? ExportUddfToCommand(session, *options.uddf) : ExportHtmlCommand(session);
  if (!result) return kExportStopped;
  if (!options.quiet) {
    print(DisplayPath(options.uddf ? std::filesystem::absolute(*options.uddf)
                                   : LogbookPath(session)));
  }
  std::cout << std::flush;
  return result.leftOut > 0 ? kDivesLeftOut : kDone;
}

}  // namespace
}  // namespace quellmar::convert

int main(int argc, char** argv) {
  using namespace quellmar::convert;
  std::ios::sync_with_stdio(false);
  quellmar::PrepareProgram();
  PrepareConsole();
  const ConsoleText shown(OutputIsUtf8());
  const std::vector<std::string> line = quellmar::CommandLineArguments(argc, argv);
  const auto parsed = ParseArguments({line.begin() + (line.empty() ? 0 : 1), line.end()});
  const char* argv0 = line.empty() ? "" : line.front().c_str();
  try {
    if (const auto* error = std::get_if<quellmar::UsageError>(&parsed)) {
      std::cerr << "quellmar-convert: " << shown(error->message) << "\n\n"
                << shown.lines(UsageText(nullptr, argv0));
      return kUsageError;
    }
    const Options& options = std::get<Options>(parsed);
    if (options.help) {
      std::cout << shown.lines(UsageText(&options, argv0));
      return kDone;
    }
    if (options.version) {
      std::cout << "quellmar-convert " QUELLMAR_VERSION "\n";
      return kDone;
    }
    return Run(options, argv0, shown);
  } catch (const std::exception& e) {
    // Memory running out, or a path that cannot be made absolute (the
    // current directory gone), ends the run here.
    std::cerr << "quellmar-convert: " << shown(e.what()) << '\n';
    return kImportFailed;
  }
}

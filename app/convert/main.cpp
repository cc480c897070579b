// quellmar-convert: the command line face of the converter. It runs the
// window's own Open and HTML export commands, with the options taken from
// the command line and the questions answered by them.
#include <clocale>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <langinfo.h>
#endif

#include "basic/display_text.h"
#include "basic/path_text.h"
#include "commands/commands.h"
#include "commands/program_directory.h"
#include "console_platform.h"
#include "desktop.h"
#include "model/session.h"
#include "model/version.h"

namespace quellmar::convert {
namespace {

constexpr const char* kUsage =
    "Usage: quellmar-convert [OPTIONS] FILE\n"
    "Converts an SDM dive-logbook CSV export into an HTML logbook.\n"
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
    "  --quiet         do not print the history\n"
    "  --help          print this help and exit\n"
    "  --version       print the version and exit\n"
    "\n"
    "At the end of an export the full path of logbook.html is printed, unless --quiet.\n"
    "\n"
    "Exit status: 0 done, 1 the import failed, 2 wrong usage, 3 the export stopped early\n"
    "(a file that cannot be written, another export running), 4 the export finished but\n"
    "left out the profile pictures of some dives (the history names them).\n";

enum ExitCode {
  kDone = 0,
  kImportFailed = 1,
  kUsageError = 2,
  kExportStopped = 3,
  kPicturesLeftOut = 4
};

struct Options {
  std::string file;
  std::optional<std::filesystem::path> base;
  bool importOnly = false;
  bool list = false;
  bool quiet = false;
  bool help = false;
  bool version = false;
  Answers answers;
  ExportOptions exportOptions;
};

struct UsageError {
  std::string message;
};

// Reads the arguments; a value may follow its option as the next argument
// or after "=" ("--px 2", "--px=2"). "--" ends the options.
std::optional<Options> ParseArguments(const std::vector<std::string_view>& args,
                                      UsageError& error) {
  Options options;
  std::vector<std::string_view> files;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    // A lone "-" is a file name; a file whose name begins with "-" follows "--".
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      files.push_back(arg);
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
    const auto value = [&]() -> std::optional<std::string_view> {
      if (attached) return attached;
      if (i + 1 < args.size()) return args[++i];
      error.message = std::string(arg) + " needs a value";
      return std::nullopt;
    };
    const auto flag = [&](bool& target, bool set) {
      if (attached) {
        error.message = std::string(arg) + " takes no value";
        return false;
      }
      target = set;
      return true;
    };

    bool ok = true;
    if (arg == "--base") {
      const auto dir = value();
      ok = dir.has_value();
      if (ok) options.base = PathFromText(*dir);
    } else if (arg == "--px") {
      const auto text = value();
      ok = text.has_value();
      if (ok) options.exportOptions.px = std::string(*text);
    } else if (arg == "--import-only") {
      ok = flag(options.importOnly, true);
    } else if (arg == "--list") {
      ok = flag(options.list, true);
    } else if (arg == "--clear") {
      ok = flag(options.answers.clearOutput, true);
    } else if (arg == "--no-notes") {
      ok = flag(options.exportOptions.note, false);
    } else if (arg == "--no-gif") {
      ok = flag(options.exportOptions.gif, false);
    } else if (arg == "--view") {
      ok = flag(options.answers.viewLogbook, true);
    } else if (arg == "--quiet") {
      ok = flag(options.quiet, true);
    } else if (arg == "--help") {
      ok = flag(options.help, true);
    } else if (arg == "--version") {
      ok = flag(options.version, true);
    } else {
      error.message = "unknown option " + std::string(args[i]);
      ok = false;
    }
    if (!ok) return std::nullopt;
  }
  if (options.help || options.version) return options;
  if (files.empty()) {
    error.message = "no FILE given";
    return std::nullopt;
  }
  if (files.size() > 1) {
    error.message = "one FILE only, not " + std::to_string(files.size());
    return std::nullopt;
  }
  if (files[0].empty()) {
    error.message = "FILE is empty";
    return std::nullopt;
  }
  options.file = std::string(files[0]);
  return options;
}

// True when standard output's locale (LC_ALL, LC_CTYPE, LANG) uses UTF-8.
bool OutputIsUtf8() {
#ifdef _WIN32
  return false;  // the console shows the ANSI code page the export is written in
#else
  const char* set = std::setlocale(LC_CTYPE, "");
  const bool utf8 = set != nullptr && std::string_view(nl_langinfo(CODESET)) == "UTF-8";
  std::setlocale(LC_CTYPE, "C");  // the program's own texts never depend on the locale
  return utf8;
#endif
}

std::optional<std::filesystem::path> GivenBase(const std::optional<Options>& options) {
  if (!options || !options->base) return std::nullopt;
  return std::filesystem::absolute(*options->base);
}

// The usage, and the program directory a run with these options would use.
std::string UsageText(const std::optional<Options>& options, const char* argv0) {
  const auto directory =
      LocateProgramDirectory(GivenBase(options), ExecutableDirectory(argv0), PerUserFolder());
  std::string text =
      std::string(kUsage) + "\nProgram directory: " + ProgramDirectoryText(directory) + "\n";
  if (!directory.problem.empty()) text += "  " + directory.problem + "\n";
  return text;
}

int Run(const Options& options, const char* argv0) {
  const auto directory = FindProgramDirectory(GivenBase(options), ExecutableDirectory(argv0));
  if (!directory.problem.empty()) std::cerr << "quellmar-convert: " << directory.problem << '\n';
  ConsolePlatform platform(std::cerr, options.file, directory.path, options.answers);
  Session session(platform);
  session.window.options = options.exportOptions;
  HistoryPrinter history(std::cerr);
  if (!options.quiet) session.window.setListener(&history);

  const bool imported = OpenCsvPathCommand(session, options.file);
  // The export's texts are windows-1252: a UTF-8 terminal gets them converted
  // for reading; any other output the bytes as they are.
  const bool utf8 = OutputIsUtf8();
  const auto print = [utf8](const std::string& line) {
    std::cout << (utf8 ? DisplayUtf8(line) : line) << '\n';
  };
  for (const auto& line : session.window.memo()) print(line);
  if (options.list) {
    for (const auto& line : session.window.diveList()) print(line);
  }
  std::cout << std::flush;
  if (!imported) return kImportFailed;
  if (options.importOnly) return kDone;
  const ExportResult result = ExportHtmlCommand(session);
  if (!result) return kExportStopped;
  if (!options.quiet) std::cout << LogbookPath(session) << '\n' << std::flush;
  return result.picturesLeftOut > 0 ? kPicturesLeftOut : kDone;
}

}  // namespace
}  // namespace quellmar::convert

int main(int argc, char** argv) {
  using namespace quellmar::convert;
  std::ios::sync_with_stdio(false);
  PrepareConsole();
  // On Windows the C runtime hands argv over in the ANSI code page: the 8-bit
  // text that file names are made from (basic/path_text.h).
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  UsageError error;
  const auto options = ParseArguments(args, error);
  const char* argv0 = argc > 0 ? argv[0] : "";
  try {
    if (!options) {
      std::cerr << "quellmar-convert: " << error.message << "\n\n" << UsageText(options, argv0);
      return kUsageError;
    }
    if (options->help) {
      std::cout << UsageText(options, argv0);
      return kDone;
    }
    if (options->version) {
      std::cout << "quellmar-convert " QUELLMAR_VERSION "\n";
      return kDone;
    }
    return Run(*options, argv0);
  } catch (const std::exception& e) {
    // Memory running out, or a path that cannot be made absolute (the
    // current directory gone), ends the run here.
    std::cerr << "quellmar-convert: " << e.what() << '\n';
    return kImportFailed;
  }
}

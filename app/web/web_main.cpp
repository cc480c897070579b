// The web page's program: the converter's own commands, run on the files the
// page put into the module's memory, over the page's platform. The page's
// script calls the functions below for its buttons and options; what to say
// and when stays with the commands.
#include <emscripten.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "basic/display_text.h"
#include "commands/commands.h"
#include "commands/session.h"
#include "page_platform.h"

namespace quellmar::web {
namespace {

namespace fs = std::filesystem;

// clang-format off
EM_JS(void, PageUnreadableFile, (const char* path, int error), {
  Module.page.makeUnreadableFile(UTF8ToString(path), error);
});
// clang-format on

struct Program {
  PagePlatform platform;
  Session session{platform};
  PageView view{session.window};
};

Program& TheProgram() {
  static Program program;
  return program;
}

bool IsCompanionName(const std::string& name) {
  if (name.size() < 8) return false;
  std::string tail = name.substr(name.size() - 8);
  std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  });
  return tail == "$DGE.CSV" || tail == "$NOT.CSV" || tail == "$PRO.CSV";
}

// The main file among the picked ones: the first in byte order that is not a
// companion; when all are, the first, for the import to say what is missing.
std::optional<fs::path> MainFile() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(kExportFolder, ec)) {
    names.push_back(entry.path().filename().string());
  }
  if (names.empty()) return std::nullopt;
  std::sort(names.begin(), names.end());
  const auto main = std::find_if(names.begin(), names.end(),
                                 [](const std::string& name) { return !IsCompanionName(name); });
  return kExportFolder / (main != names.end() ? *main : names.front());
}

// Runs a command, then tells the page what is left to show.
template <typename Command>
void Run(Command command) {
  Program& program = TheProgram();
  command(program.session);
  program.view.showPending();
}

void CopyFolder(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::remove_all(to, ec);
  fs::create_directories(to.parent_path(), ec);
  fs::copy(from, to, fs::copy_options::recursive, ec);
}

}  // namespace
}  // namespace quellmar::web

using namespace quellmar;
using namespace quellmar::web;

extern "C" {

// The page has loaded: the bundled templates in place, the window shown.
EMSCRIPTEN_KEEPALIVE void quellmar_start() {
  PrepareProgram();
  CopyFolder(kBundledTemplates, kProgramFolder / "html");
  Program& program = TheProgram();
  // One thread: a page opened from a file cannot share memory with workers.
  program.session.exportThreads = 1;
  program.session.window.setListener(&program.view);
  program.view.showAll();
}

// A picked file that the page could not read (error: 0) or not hold in its
// memory (1), left in /export so that the import names it.
EMSCRIPTEN_KEEPALIVE void quellmar_unreadable_file(const char* name, int tooLarge) {
  PageUnreadableFile((kExportFolder / name).c_str(), tooLarge ? EFBIG : EIO);
}

// The files now in /export were picked: the main file among them is opened.
EMSCRIPTEN_KEEPALIVE void quellmar_open() {
  Run([](Session& session) {
    TheProgram().platform.setChosenFile(MainFile().value_or(kExportFolder));
    OpenCsvCommand(session);
  });
}

EMSCRIPTEN_KEEPALIVE void quellmar_close() { Run(CloseCsvCommand); }

EMSCRIPTEN_KEEPALIVE void quellmar_set_options(int note, int gif, const char* pixels) {
  ExportOptions& options = TheProgram().session.window.options;
  options.note = note != 0;
  options.gif = gif != 0;
  // The edit box holds the export's own 8-bit text.
  options.px = Windows1252FromUtf8(pixels);
}

// The user's own templates were put into /quellmar/html (own: 1), or the
// bundled ones are wanted back (0).
EMSCRIPTEN_KEEPALIVE void quellmar_use_templates(int own) {
  if (!own) CopyFolder(kBundledTemplates, kProgramFolder / "html");
}

EMSCRIPTEN_KEEPALIVE void quellmar_export_html() {
  Run([](Session& session) {
    std::error_code ec;
    fs::remove_all(kProgramFolder / "Output", ec);
    ExportHtmlCommand(session);
  });
}

EMSCRIPTEN_KEEPALIVE void quellmar_view_html() { Run(ViewHtmlCommand); }

// The answer to the one question asked on the page, the HTML export's last
// ("May I show You the logbook.html ?"): 0 for OK, 1 for Cancel.
EMSCRIPTEN_KEEPALIVE void quellmar_answer(int answer) {
  if (answer == 0) Run(ViewHtmlCommand);
}

EMSCRIPTEN_KEEPALIVE void quellmar_export_uddf() {
  Run([](Session& session) {
    std::error_code ec;
    fs::create_directories(kUddfFile.parent_path(), ec);
    if (!ExportUddfCommand(session)) return;
    DownloadFile(kUddfFile, "logbook.uddf", "application/xml");
    fs::remove(kUddfFile, ec);
  });
}

}  // extern "C"

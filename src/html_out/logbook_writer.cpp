#include "html_out/logbook_writer.h"

#include <array>
#include <system_error>

#include "basic/hidden_file.h"
#include "basic/path_text.h"
#include "basic/text_file.h"
#include "html_out/profile_picture.h"
#include "model/feedback.h"

namespace quellmar {
namespace {

constexpr std::array<const char*, 4> kTemplates = {"head.html", "lines.html", "foot.html",
                                                   "note.html"};
constexpr const char* kMissingTemplates = "HTML sources open error. File(s) not found.";
constexpr const char* kBadPixels = "Pixel / profile entry must be a whole number of 1 or more.";

bool AllTemplatesExist(const Session& session) {
  for (const char* name : kTemplates) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(TemplatePath(session, name), ec)) return false;
  }
  return true;
}

// Deletes the plain files of the Output directory. Kept: subdirectories,
// hidden files (a name starting with ".", on Windows also the hidden
// attribute), links to directories and special files. A link to a file is
// removed as a link; what it points to is never touched. A file that cannot
// be deleted (on Windows: read-only or open elsewhere) is skipped without a
// word.
void ClearOutputDirectory(const std::filesystem::path& output) {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (auto it = fs::directory_iterator(output, ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    const fs::path& path = it->path();
    if (IsHiddenFile(path)) continue;
    std::error_code statError;
    const auto own = fs::symlink_status(path, statError);
    if (statError) continue;
    bool plain = fs::is_regular_file(own);
    if (fs::is_symlink(own)) {
      const auto target = fs::status(path, statError);  // a dangling link counts as a file
      plain = !fs::is_directory(target);
    }
    if (plain) {
      std::error_code removeError;
      fs::remove(path, removeError);
    }
  }
}

// Makes the Output directory when it is missing; throws for the index page
// when it cannot be made or is no directory (a plain file of that name).
void MakeOutputDirectory(const std::filesystem::path& output,
                         const std::filesystem::path& indexPath) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(output, ec)) return;
  fs::create_directory(output, ec);
  if (!ec && fs::is_directory(output, ec)) return;
  // Something else of that name: a plain file, a dangling link.
  std::error_code statError;
  if (!ec || fs::exists(fs::symlink_status(output, statError))) {
    ec = std::make_error_code(std::errc::not_a_directory);
  }
  const std::string name = TextFromPath(indexPath);
  throw ExportError("Cannot create file " + name, TextFromPath(output) + ": " + ec.message());
}

std::string PicturesLeftOutText(std::size_t count) {
  return "HTML write finished, but " + std::to_string(count) +
         (count == 1 ? " dive's profile picture" : " dives' profile pictures") +
         " could not be made and " + (count == 1 ? "was" : "were") +
         " left out. The history names them.";
}

// Fills a page template (head or foot) into the page; a template that cannot
// be read is left out.
void WritePageTemplate(FillRun& run, const char* name, ByteSink& page) {
  const auto text = ReadWholeFile(TemplatePath(run.session, name));
  if (text) FillTemplate(run, SplitLines(*text), page, NoDive);
}

}  // namespace

std::filesystem::path TemplatePath(const Session& session, const char* name) {
  return session.platform.programDirectory() / "html" / name;
}
std::filesystem::path OutputDirectory(const Session& session) {
  return session.platform.programDirectory() / "Output";
}

ExportResult ExportHtml(Session& session) {
  AddHistory(session, "HTML write started.");
  if (!AllTemplatesExist(session)) {
    AddHistory(session, kMissingTemplates);
    session.platform.showMessage(MessageKind::Warning, kMissingTemplates, MessageButtons::Ok);
    return {};
  }
  // With pictures on, a pixel count below 1 gives pictures without width,
  // which no file can hold: the export is refused before anything is written.
  // With pictures off the count is never looked at.
  if (session.window.options.gif && PixelsPerSample(session.window.options.px) <= 0) {
    AddHistory(session, kBadPixels);
    session.platform.showMessage(MessageKind::Warning, kBadPixels, MessageButtons::Ok);
    return {};
  }

  // The current directory is left alone: every path is built from the program
  // directory, so making Output current would change nothing. An Output that
  // cannot be made ends the export before the clearing question, as the
  // index page could not be written into it.
  const auto output = OutputDirectory(session);
  const auto indexPath = output / "logbook.html";
  MakeOutputDirectory(output, indexPath);

  if (session.platform.showMessage(MessageKind::Confirm,
                                   "Would You like clear the OUTPUT directory ?",
                                   MessageButtons::YesNo) == MessageAnswer::Yes) {
    ClearOutputDirectory(output);
  }

  // The page goes to a temporary file and takes the place of the earlier one
  // only once complete; a picture or page error on the way leaves the
  // earlier index page as it was.
  FillRun run(session);
  FileSink page(indexPath);
  RequireCreated(page, indexPath);
  WritePageTemplate(run, "head.html", page);
  WriteDiveLines(run, page);
  WritePageTemplate(run, "foot.html", page);
  Commit(page, indexPath);

  session.window.setProgressPosition(0);
  AddHistory(session, "HTML write finished.");
  const std::size_t leftOut = run.picturesLeftOut.size();
  if (leftOut > 0) {
    session.platform.showMessage(MessageKind::Warning, PicturesLeftOutText(leftOut),
                                 MessageButtons::Ok);
  }
  if (session.platform.showMessage(
          MessageKind::Information, "HTML write finished.\n\rMay I show You the logbook.html ?",
          MessageButtons::OkCancel, TextFromPath(AbsolutePage(session))) == MessageAnswer::Ok) {
    ViewLogbook(session);
  }
  return {true, leftOut};
}

void WriteDiveLines(FillRun& run, ByteSink& page) {
  Session& session = run.session;
  // Read once per export, before the first dive.
  const auto text = ReadWholeFile(TemplatePath(session, "lines.html"));
  const auto lines = text ? SplitLines(*text) : std::vector<std::string>();
  const std::int32_t count = session.logbook.diveCount();
  for (std::int32_t i = 0; i < count; ++i) {
    session.window.setProgressMax(count);
    session.window.setProgressPosition(0);
    session.window.selectDive(i);
    for (const auto& line : lines) {
      std::string filled = FillLine(run, line, i);
      filled += "\r\n";
      page.write(filled);
      session.window.setProgressPosition(i);
    }
  }
}

std::filesystem::path AbsolutePage(const Session& session) {
  std::error_code ec;
  const auto page = OutputDirectory(session) / "logbook.html";
  const auto absolute = std::filesystem::absolute(page, ec);
  return ec ? page : absolute;
}

void ViewLogbook(Session& session) {
  session.platform.openDocument(TextFromPath(AbsolutePage(session)));
}

}  // namespace quellmar

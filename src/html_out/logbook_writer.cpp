#include "html_out/logbook_writer.h"

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "basic/hidden_file.h"
#include "basic/ordered_work.h"
#include "basic/path_text.h"
#include "basic/text_file.h"
#include "html_out/logbook_paths.h"
#include "html_out/profile_picture.h"

namespace quellmar {
namespace {

constexpr std::array<const char*, 4> kTemplates = {"head.html", "lines.html", "foot.html",
                                                   "note.html"};
bool AllTemplatesExist(const std::filesystem::path& programDirectory) {
  for (const char* name : kTemplates) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(TemplatePath(programDirectory, name), ec)) return false;
  }
  return true;
}

// A plain file of the Output folder: one that clearing it deletes. Spared:
// subdirectories, hidden files (a name starting with ".", on Windows also the
// hidden attribute), links to directories and special files. A link to a
// file counts as a plain file, and goes as a link; what it points to is never
// touched.
bool IsPlainFile(const std::filesystem::path& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const auto own = fs::symlink_status(path, ec);
  if (ec || IsHiddenFile(path)) return false;
  if (!fs::is_symlink(own)) return fs::is_regular_file(own);
  return !fs::is_directory(fs::status(path, ec));  // a dangling link counts as a file
}

// Gives the new Output folder what the earlier one holds besides the names
// the new logbook writes. This program's temporaries, left by an earlier
// version, stay behind.
void CarryOtherEntries(const std::set<std::filesystem::path>& written, FolderSwitch& output) {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (auto it = fs::directory_iterator(output.folder(), ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    const auto name = it->path().filename();
    if (written.count(name) != 0 || IsOwnTemporary(name)) continue;
    if (!output.carry(name)) ThrowFileError(output.failure());
  }
  // Never a new folder without the user's files.
  if (ec) ThrowFileError({output.folder(), true, ec.message()});
}

// Deletes the plain files carried into the new Output folder, after the
// switch, never before. A file that cannot be deleted where it was (on
// Windows: read-only or open elsewhere) stays without a word.
void RemoveOldFiles(const std::set<std::filesystem::path>& written, const FolderSwitch& output,
                    FileCalls& calls) {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (auto it = fs::directory_iterator(output.folder(), ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    const auto name = it->path().filename();
    if (written.count(name) == 0 && IsPlainFile(it->path()) &&
        calls.remove(output.previous() / name)) {
      calls.remove(it->path());
    }
  }
}

// The names in Output of the files written.
std::set<std::filesystem::path> Names(const FileSet& files) {
  std::set<std::filesystem::path> names;
  for (const auto& path : files.paths()) names.insert(path.filename());
  return names;
}

// Fills a page template (head or foot) into the page; a template that cannot
// be read is left out.
void WritePageTemplate(FillRun& run, const char* name, ByteSink& page) {
  const auto text = ReadWholeFile(TemplatePath(run.source.programDirectory, name));
  if (text) FillTemplate(run, SplitLines(*text), page, NoDive);
}

// What filling the lines template gives for one dive: the text for the index
// page, the dive's pages and pictures as a set of their own, and what the
// export tells and keeps of it.
struct DiveLines {
  std::string text;
  std::unique_ptr<FileSet> files;
  std::vector<std::pair<std::int32_t, std::string>> picturesLeftOut;  // with the reasons
  std::optional<IndexedImage> lastPicture;
};

// Keeps what a dive's fill tells, to be told in dive order.
struct HeldReport : ExportReport {
  void pictureLeftOut(std::int32_t number, const std::string& reason) override {
    picturesLeftOut.emplace_back(number, reason);
  }
  std::vector<std::pair<std::int32_t, std::string>> picturesLeftOut;
};

// Fills the lines template for one dive; safe on any thread, as it depends on
// nothing but the dive, the options and the templates.
DiveLines FillDiveLines(const FillSource& source, const std::vector<std::string>& lines,
                        FileSet& logbookFiles, int dive) {
  DiveLines made;
  made.files = std::make_unique<FileSet>(logbookFiles);
  HeldReport held;
  FillRun run(source, *made.files, held);
  StringSink text;
  FillTemplate(run, lines, text, dive);
  made.text = std::move(text.data);
  made.picturesLeftOut = std::move(held.picturesLeftOut);
  made.lastPicture = std::move(run.lastPicture);
  return made;
}

// Writes the lines template once per dive into the page. The dives are
// filled on up to threads threads, and what each gives is taken in dive
// order, so the page, the files and what is told are the same on any number
// of threads: a dive's files replace those of an earlier dive of the same
// number, the first error in dive order ends the export.
void WriteDiveLines(FillRun& run, unsigned threads, ByteSink& page) {
  // Read once per export, before the first dive.
  const auto text = ReadWholeFile(TemplatePath(run.source.programDirectory, "lines.html"));
  const auto lines = text ? SplitLines(*text) : std::vector<std::string>();
  const auto count = static_cast<int>(run.source.logbook.dives.size());
  MakeInOrder(
      static_cast<std::size_t>(count), threads,
      [&](std::size_t dive) {
        return FillDiveLines(run.source, lines, run.files, static_cast<int>(dive));
      },
      [&](std::size_t dive) { run.report.diveStarted(static_cast<int>(dive), count); },
      [&](std::size_t, DiveLines made) {
        for (const auto& [number, reason] : made.picturesLeftOut) {
          LeavePictureOut(run, number, reason);
        }
        run.files.takeFrom(*made.files);
        page.write(made.text);
        if (made.lastPicture) run.lastPicture = std::move(made.lastPicture);
      });
}

}  // namespace

std::optional<ExportRefusal> CheckHtmlExport(const std::filesystem::path& programDirectory,
                                             const ExportOptions& options) {
  if (!AllTemplatesExist(programDirectory)) return ExportRefusal::MissingTemplates;
  // With pictures on, a pixel count below 1 gives pictures without width,
  // which no file can hold. With pictures off the count is never looked at.
  if (options.gif && PixelsPerSample(options.px) <= 0) return ExportRefusal::BadPixelCount;
  return std::nullopt;
}

void MakeOutputFolder(const std::filesystem::path& programDirectory) {
  namespace fs = std::filesystem;
  const auto output = OutputFolder(programDirectory);
  std::error_code ec;
  if (fs::is_directory(output, ec)) return;
  fs::create_directory(output, ec);
  if (!ec && fs::is_directory(output, ec)) return;
  // Something else of that name: a plain file, a link to nothing. The link
  // is left to the user: making its folder would write where it points.
  std::error_code statError;
  std::string problem = ec.message();
  if (fs::is_symlink(fs::symlink_status(output, statError))) {
    const auto target = fs::read_symlink(output, statError);
    problem = "a link to " + DisplayPath(target) + ", which " +
              (fs::exists(fs::symlink_status(RealFolder(output), statError))
                   ? "is not a folder"
                   : "is missing: " +
                         std::make_error_code(std::errc::no_such_file_or_directory).message());
  } else if (!ec || fs::exists(fs::symlink_status(output, statError))) {
    problem = std::make_error_code(std::errc::not_a_directory).message();
  }
  throw ExportError("Cannot create file " + DisplayPath(output / kIndexPageName),
                    DisplayPath(output) + ": " + problem);
}

HtmlExportResult WriteHtmlLogbook(const HtmlExport& request, ExportReport& report,
                                  FileCalls& calls) {
  const auto shown = OutputFolder(request.programDirectory);
  FolderSwitch output(RealFolder(shown), calls);
  if (!output.begin()) ThrowFileError(output.failure());
  FileSet files(output.building(), calls, shown);
  const FillSource source(request.logbook, request.options, request.programDirectory);
  FillRun run(source, files, report);
  FileSink page(files, kIndexPageName);
  RequireCreated(page);
  WritePageTemplate(run, "head.html", page);
  WriteDiveLines(run, request.threads, page);
  WritePageTemplate(run, "foot.html", page);
  Finish(page);
  const auto written = Names(files);
  CarryOtherEntries(written, output);
  if (!files.commit(kIndexPageName)) ThrowFileError(files.failure());
  if (!output.commit()) ThrowFileError(output.failure());
  if (request.clearOutput) RemoveOldFiles(written, output, calls);
  return {std::move(run.picturesLeftOut), std::move(run.lastPicture)};
}

}  // namespace quellmar

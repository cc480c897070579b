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
#include "basic/os_file.h"
#include "basic/path_text.h"
#include "basic/text_file.h"
#include "html_out/logbook_paths.h"
#include "html_out/output_file.h"
#include "html_out/profile_picture.h"

namespace quellmar {
namespace {

constexpr std::array<const char*, 4> kTemplates = {"head.html", "lines.html", "foot.html",
                                                   "note.html"};
// A folder of a template's name counts as no template; anything else there
// is one, to be read.
bool AllTemplatesExist(const std::filesystem::path& programDirectory) {
  for (const char* name : kTemplates) {
    std::error_code ec;
    const auto status = std::filesystem::status(TemplatePath(programDirectory, name), ec);
    if (!std::filesystem::exists(status) || std::filesystem::is_directory(status)) return false;
  }
  return true;
}

[[noreturn]] void ThrowUnreadable(const std::filesystem::path& path, const std::string& reason) {
  const std::string name = DisplayPath(path);
  throw ExportError("Cannot read file " + name, name + ": " + reason);
}

// Opens each template as it will be read: one that is no plain file (a
// FIFO, a device) or cannot be read ends the export before it starts.
void RequireReadableTemplates(const std::filesystem::path& programDirectory) {
  for (const char* name : kTemplates) {
    const auto path = TemplatePath(programDirectory, name);
    const InputFile file(path);
    if (!file.isOpen()) ThrowUnreadable(path, file.reason());
  }
}

std::string ReadTemplate(const std::filesystem::path& programDirectory, const char* name) {
  const auto path = TemplatePath(programDirectory, name);
  std::string reason;
  auto text = ReadWholeFile(path, &reason);
  if (!text) ThrowUnreadable(path, reason);
  return std::move(*text);
}

// The four templates, each read once and split into its parts, every one
// from where the page stands when it starts: the lines after the head, the
// foot after the last dive's lines.
struct LogbookTemplates {
  LogbookTemplates(const std::filesystem::path& programDirectory, std::size_t dives)
      : head(ParseTemplate(ReadTemplate(programDirectory, "head.html"))),
        lines(ReadTemplate(programDirectory, "lines.html"), head.end, dives),
        foot(ParseTemplate(ReadTemplate(programDirectory, "foot.html"), lines.end())),
        note(ParseTemplate(ReadTemplate(programDirectory, "note.html"))) {}
  Template head;
  RepeatedTemplate lines;
  Template foot;
  Template note;
};

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
DiveLines FillDiveLines(const FillSource& source, const Template& lines, FileSet& logbookFiles,
                        int dive) {
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
void WriteDiveLines(FillRun& run, const RepeatedTemplate& lines, unsigned threads, ByteSink& page) {
  const auto count = static_cast<int>(run.source.logbook.dives.size());
  MakeInOrder(
      static_cast<std::size_t>(count), threads,
      [&](std::size_t dive) {
        return FillDiveLines(run.source, lines.fill(dive), run.files, static_cast<int>(dive));
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
  RequireReadableTemplates(programDirectory);
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
  // Read before anything in the Output folder changes.
  const LogbookTemplates templates(request.programDirectory, request.logbook.dives.size());
  const auto shown = OutputFolder(request.programDirectory);
  FolderSwitch output(RealFolder(shown), calls);
  if (!output.begin()) ThrowFileError(output.failure());
  FileSet files(output.building(), calls, shown);
  const FillSource source(request.logbook, request.options, &templates.note);
  FillRun run(source, files, report);
  FileSink page(files, kIndexPageName);
  RequireCreated(page);
  FillTemplate(run, templates.head, page, NoDive);
  WriteDiveLines(run, templates.lines, request.threads, page);
  FillTemplate(run, templates.foot, page, NoDive);
  Finish(page);
  const auto written = Names(files);
  CarryOtherEntries(written, output);
  if (!files.commit(kIndexPageName)) ThrowFileError(files.failure());
  if (!output.commit()) ThrowFileError(output.failure());
  if (request.clearOutput) RemoveOldFiles(written, output, calls);
  return {std::move(run.picturesLeftOut), std::move(run.lastPicture)};
}

}  // namespace quellmar

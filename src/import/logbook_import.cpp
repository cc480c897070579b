#include "import/logbook_import.h"

#include <algorithm>
#include <array>
#include <optional>
#include <system_error>
#include <utility>

#include "basic/text_file.h"
#include "model/sort.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;

// Any directory entry counts, whatever it is: a directory or a dangling link
// of that name is found here and fails later, when it is opened.
bool EntryExists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// Why no entry of that name was found: none is there, or the system would not
// tell (a folder on the way that cannot be searched, a name too long).
std::string NotFoundReason(const fs::path& path) {
  std::error_code ec;
  const auto status = fs::symlink_status(path, ec);
  if (status.type() != fs::file_type::not_found && ec) return ec.message();
  return std::make_error_code(std::errc::no_such_file_or_directory).message();
}

using Name = fs::path::string_type;  // the system's own form of a name

bool EqualIgnoringAsciiCase(const Name& a, const Name& b) {
  const auto lower = [](auto c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](auto x, auto y) { return lower(x) == lower(y); });
}

// A companion's name: the main file's name without its last four characters,
// whatever they are ("dives.csv" and "dives.txt" both give "dives"), and the
// suffix; the name stays the system's own, so any name the folder can hold works.
Name CompanionName(const fs::path& mainFile, std::string_view suffix) {
  Name name = mainFile.filename().native();
  name.resize(name.size() > 4 ? name.size() - 4 : 0);
  name.append(suffix.begin(), suffix.end());
  return name;
}

// The companions of the main file, looked up in the main file's folder. The
// file dialog makes that folder the current directory, where the companions'
// bare names point; the program looks in the folder itself instead and
// leaves the process's current directory alone. Each name is taken as it is
// when such an entry exists; otherwise, as a file system that ignores letter
// case would find it, an entry whose name differs only in ASCII letter case
// stands in, the first of them in the order of the names.
std::array<std::optional<fs::path>, 3> FindCompanions(const fs::path& folder,
                                                      const std::array<Name, 3>& names) {
  std::array<std::optional<fs::path>, 3> found;
  bool missing = false;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const auto path = folder / names[i];
    if (EntryExists(path)) {
      found[i] = path;
    } else {
      missing = true;
    }
  }
  if (!missing) return found;

  std::array<Name, 3> best;
  std::error_code ec;
  for (auto it = fs::directory_iterator(folder.empty() ? fs::path(".") : folder, ec);
       !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const Name name = it->path().filename().native();
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (found[i] && best[i].empty()) continue;  // found by its exact name
      if (!EqualIgnoringAsciiCase(name, names[i])) continue;
      if (best[i].empty() || name < best[i]) {
        best[i] = name;
        found[i] = it->path();
      }
    }
  }
  return found;
}

// The running totals of the dives read. The sums are 32-bit and wrap as
// such, well defined here; they reach that range only beyond 68 years of
// dive time.
struct Totals {
  std::uint32_t time = 0;
  std::int16_t deepest = 0;
  std::uint32_t sac = 0;
  std::int32_t sacDives = 0;

  void add(const Dive& dive) {
    time += static_cast<std::uint32_t>(std::int32_t{dive.diveTime});
    deepest = std::max(deepest, dive.maxDepth);
    if (dive.sac >= 1) {
      sac += static_cast<std::uint32_t>(std::int32_t{dive.sac});
      ++sacDives;
    }
  }
};

// What a CSV file's reading tells once it is read to its end.
void ReportHowRead(const LineFile& file, const fs::path& path, ImportReport& report) {
  if (file.metLoneLineFeed()) report.readWithLineFeeds(path);
  if (const auto left = file.bytesAfterCtrlZ(); left > 0) {
    report.endedAtCtrlZ(path, CtrlZLine(path, LineEnds::AlsoLoneLineFeed), left);
  }
}

// A companion read line by line into its list, streamed, as the profile
// file is the largest of the export by far. One that cannot be opened or read
// to its end leaves its list empty, and the import goes on without it.
template <typename Record, typename ReadLines>
void ReadCompanion(const fs::path& path, Companion which, std::vector<Record>& list,
                   ImportReport& report, ReadLines readLines) {
  LineFile file(path, LineFile::kChunkSize, LineEnds::AlsoLoneLineFeed);
  readLines(file, list);
  ReportHowRead(file, path, report);
  if (!file.isOpen() || file.failed()) {
    list = {};
    report.companionUnreadable(which, path, file.reason());
  }
}

// An average over nothing (no dive, or no dive with a SAC) is 0.
Summary Summarize(const Totals& totals, std::size_t diveCount) {
  Summary summary;
  summary.totalDiveTime = static_cast<std::int32_t>(totals.time);
  const auto dives = static_cast<std::int32_t>(diveCount);
  summary.averageDiveTime = dives > 0 ? summary.totalDiveTime / dives : 0;
  summary.averageSac =
      totals.sacDives > 0 ? static_cast<std::int32_t>(totals.sac) / totals.sacDives : 0;
  summary.deepest = totals.deepest;
  return summary;
}

}  // namespace

std::variant<ExportFiles, ImportError> FindExportFiles(const fs::path& mainFile,
                                                       ImportReport& report) {
  using Kind = ImportError::Kind;
  if (!EntryExists(mainFile)) {
    return ImportError{Kind::MainFileNotFound, mainFile, NotFoundReason(mainFile)};
  }

  // Progress counts the main file's bytes; a directory or a dangling link has
  // no size and counts as 0.
  ExportFiles files;
  files.mainFile = mainFile;
  std::error_code ec;
  const auto size = fs::file_size(mainFile, ec);
  files.mainSize = ec ? 0 : static_cast<std::int64_t>(size);
  report.progressStarted(files.mainSize);

  const std::array<Name, 3> names = {CompanionName(mainFile, kDgeSuffix),
                                     CompanionName(mainFile, kNoteSuffix),
                                     CompanionName(mainFile, kProfileSuffix)};
  const auto companions = FindCompanions(mainFile.parent_path(), names);
  for (std::size_t i = 0; i < companions.size(); ++i) {
    if (!companions[i]) {
      const auto companion = mainFile.parent_path() / names[i];
      return ImportError{Kind::CompanionMissing, companion, NotFoundReason(companion)};
    }
  }
  files.notes = *companions[1];
  files.profiles = *companions[2];
  return files;
}

std::variant<Logbook, ImportError> ReadExport(const ExportFiles& files, ImportReport& report) {
  std::vector<NoteLine> notes;
  std::vector<Profile> profiles;
  ReadCompanion(files.notes, Companion::Note, notes, report, ReadNoteFile);
  ReadCompanion(files.profiles, Companion::Profile, profiles, report, ReadProfileFile);

  LineFile main(files.mainFile, LineFile::kChunkSize, LineEnds::AlsoLoneLineFeed);
  if (!main.isOpen()) {
    return ImportError{ImportError::Kind::MainFileUnreadable, files.mainFile, main.reason()};
  }
  report.mainFileOpened();
  Logbook book = LoadDives(main, notes, profiles, report);
  if (main.failed()) {
    return ImportError{ImportError::Kind::MainFileUnreadable, files.mainFile, main.reason()};
  }
  ReportHowRead(main, files.mainFile, report);
  return book;
}

void ReadNoteFile(LineFile& file, std::vector<NoteLine>& notes) {
  std::string_view line;
  while (file.next(line)) ReadNoteLine(line, notes);
}

Logbook LoadDives(LineFile& mainFile, std::vector<NoteLine>& notes, std::vector<Profile>& profiles,
                  ImportReport& report) {
  Logbook book;
  CompanionIndex index(notes, profiles);
  Totals totals;
  std::string_view line;
  // 64 bits: a line of any length moves the progress forwards.
  std::int64_t position = 0;
  while (mainFile.next(line)) {
    Dive& dive = book.dives.emplace_back();
    position += static_cast<std::int64_t>(line.size()) + 2;  // the line and its end
    report.progress(position);
    ParseDiveLine(line, dive, index);
    totals.add(dive);
  }
  index.GiveProfiles(book.dives);
  book.summary = Summarize(totals, book.dives.size());
  SortDives(book.dives, 0, static_cast<std::int32_t>(book.dives.size()) - 1);
  return book;
}

}  // namespace quellmar

#include "import/logbook_import.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "basic/path_text.h"
#include "basic/text.h"
#include "basic/text_file.h"
#include "import/sdm_format.h"
#include "model/feedback.h"
#include "model/sort.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;

void Warn(Session& session, const std::string& text, const std::string& details = {}) {
  session.platform.showMessage(MessageKind::Warning, text, MessageButtons::Ok, details);
}

// "PATH: reason", the details of a warning about a file.
std::string FileDetails(const fs::path& path, const std::string& reason) {
  return TextFromPath(path) + ": " + reason;
}

std::string NotFound(const fs::path& path) {
  return FileDetails(path, std::make_error_code(std::errc::no_such_file_or_directory).message());
}

// A CSV file saved with line feeds alone is read by them, and the history
// says so.
void NoteLineFeeds(Session& session, const fs::path& path) {
  AddHistory(session, TextFromPath(path) + " read with line feeds as line ends.");
}

// Any directory entry counts, whatever it is: a directory or a dangling link
// of that name is found here and fails later, when it is opened.
bool EntryExists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

// The companions of the main file, looked up in the main file's folder. The
// file dialog makes that folder the current directory, where the companions'
// bare names point; the program looks in the folder itself instead and
// leaves the process's current directory alone. Each name is taken as it is
// when such an entry exists; otherwise, as a file system that ignores letter
// case would find it, an entry whose name differs only in ASCII letter case
// stands in, the first of them in byte order of the names.
std::array<std::optional<fs::path>, 3> FindCompanions(const fs::path& folder,
                                                      const std::array<std::string, 3>& names) {
  std::array<std::optional<fs::path>, 3> found;
  bool missing = false;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const auto path = folder / PathFromText(names[i]);
    if (EntryExists(path)) {
      found[i] = path;
    } else {
      missing = true;
    }
  }
  if (!missing) return found;

  std::array<std::string, 3> best;
  std::error_code ec;
  for (auto it = fs::directory_iterator(folder.empty() ? fs::path(".") : folder, ec);
       !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = TextFromPath(it->path().filename());
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

// At least the number of lines in text, for reserving room for them.
std::size_t LineCountHint(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')) + 1;
}

// Steps 7 and 8: a companion read line by line into its list, streamed, as
// the profile file is the largest of the export by far. One that cannot be
// opened or read to its end leaves its list empty, so no note or profile of
// an earlier logbook turns up in this one.
template <typename Record, typename ReadLines>
void ReadCompanion(Session& session, const fs::path& path, std::vector<Record>& list,
                   const char* warning, const char* historyPhrase, ReadLines readLines) {
  list = {};
  const bool lineFeeds = FileEndsLinesWithLineFeeds(path);
  LineFile file(path, LineFile::kChunkSize,
                lineFeeds ? LineEnds::LineFeed : LineEnds::CarriageReturn);
  if (lineFeeds) NoteLineFeeds(session, path);
  readLines(file, list);
  if (!file.isOpen() || file.failed()) {
    list = {};
    Warn(session, warning, FileDetails(path, file.reason()));
    AddHistory(session, session.window.chosenPath + historyPhrase);
  }
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

// Step 10. An average over nothing (no dive, or no dive with a SAC) is 0, so
// the memo shows "Average dive time: 00:00:00" and "SAC: 0L".
void WriteSummary(Session& session, const Totals& totals) {
  Logbook& book = session.logbook;
  const auto timeSum = static_cast<std::int32_t>(totals.time);
  const std::int32_t dives = book.diveCount();
  const std::int32_t averageTime = dives > 0 ? timeSum / dives : 0;
  const std::int32_t averageSac =
      totals.sacDives > 0 ? static_cast<std::int32_t>(totals.sac) / totals.sacDives : 0;

  book.totaldivetime = SecondsToClockText(timeSum);
  book.averdivetime = SecondsToClockText(averageTime);
  book.totalsac = IntText(averageSac);
  book.totalmaxdepth = IntText(totals.deepest);

  WindowModel& window = session.window;
  window.addMemoLine("Total dive time: " + book.totaldivetime);
  window.addMemoLine("Average dive time: " + book.averdivetime);
  window.addMemoLine("SAC: " + book.totalsac + "L");
  window.addMemoLine("Maximal depth: " + book.totalmaxdepth + "m");
}

// Step 12: "12. Dahab; Canyon" per dive, in the sorted order.
void ListDives(Session& session) {
  std::vector<std::string> lines;
  lines.reserve(session.logbook.dives.size());
  for (const Dive& dive : session.logbook.dives) {
    std::string line = IntText(dive.number);
    line.reserve(line.size() + dive.location.size() + dive.site.size() + 4);
    line += ". ";
    line += dive.location;
    line += "; ";
    line += dive.site;
    lines.push_back(std::move(line));
  }
  session.window.setDiveList(std::move(lines));
}

}  // namespace

void ReadNoteFile(LineFile& file, std::vector<NoteLine>& notes) {
  std::string_view line;
  while (file.next(line)) ReadNoteLine(line, notes);
}

bool ImportLogbook(Session& session) {
  Logbook& book = session.logbook;
  WindowModel& window = session.window;
  const std::string path = window.chosenPath;
  const fs::path mainFile = PathFromText(path);

  if (!EntryExists(mainFile)) {
    AddHistory(session, path + " CSV file access error!");
    Warn(session, "File access error", NotFound(mainFile));
    return false;
  }

  // The bar counts the main file's bytes; a directory or a dangling link has
  // no size and counts as 0.
  std::error_code ec;
  const auto size = fs::file_size(mainFile, ec);
  window.setProgressMax(ec ? 0 : static_cast<std::int64_t>(size));
  window.setProgressPosition(0);
  book.progresstotal = 0;

  book.csvBase = CsvBase(TextFromPath(mainFile.filename()));
  const std::array<std::string, 3> names = {book.csvBase + std::string(kDgeSuffix),
                                            book.csvBase + std::string(kNoteSuffix),
                                            book.csvBase + std::string(kProfileSuffix)};
  const auto companions = FindCompanions(mainFile.parent_path(), names);
  for (std::size_t i = 0; i < companions.size(); ++i) {
    if (companions[i]) continue;
    AddHistory(session, path + " Secondary CSV file access error!");
    Warn(session, "Secondary CSV file access error",
         NotFound(mainFile.parent_path() / PathFromText(names[i])));
    return false;
  }

  if (book.loaded) CloseLogbook(session);
  ReadCompanion(session, *companions[1], book.notes, "NOTE File access error",
                " NOTE file access error!", ReadNoteFile);
  ReadCompanion(session, *companions[2], book.profiles, "PROFILE File access error",
                " PROFILE file access error!", ReadProfileFile);

  std::string reason;
  auto text = ReadWholeFile(mainFile, &reason);
  if (!text) {
    Warn(session, "File access error", FileDetails(mainFile, reason));
    book.loaded = false;
    AddHistory(session, path + " CSV file access error!");
    return false;
  }
  window.setFilePanel(path);
  AddHistory(session, path + " CSV file opened.");
  if (EndsLinesWithLineFeeds(*text)) {
    UseLineFeedsAsLineEnds(*text);
    NoteLineFeeds(session, mainFile);
  }
  book.loaded = true;
  LoadDives(session, *text);
  return true;
}

void LoadDives(Session& session, std::string_view mainText) {
  Logbook& book = session.logbook;
  book.dives = {};
  book.dives.reserve(LineCountHint(mainText));
  CompanionIndex index(book.notes, book.profiles);
  Totals totals;
  LineReader reader(mainText);
  std::string_view line;
  while (reader.next(line)) {
    Dive& dive = book.dives.emplace_back();
    // A 64-bit step: a line of any length moves the bar forwards.
    AdvanceProgress(session, static_cast<std::int64_t>(line.size()) + 2);
    ParseDiveLine(line, dive, index);
    totals.add(dive);
  }

  WriteSummary(session, totals);
  SortDives(book.dives, 0, book.diveCount() - 1);
  ListDives(session);
}

void CloseLogbook(Session& session) {
  Logbook& book = session.logbook;
  if (!book.loaded) return;
  book.dives = {};
  book.loaded = false;
  session.window.setFilePanel("No CSV file");
  AddHistory(session, "CSV file Closed");
  session.window.clearMemo();
  session.window.clearDiveList();
}

}  // namespace quellmar

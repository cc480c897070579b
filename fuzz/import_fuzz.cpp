// The import of an export made from one input: the main file, the note file
// and the profile file, separated by NUL bytes, read in memory by the
// import's own readers, without files. The import must give one dive per
// main-file line, sorted and summed, with each dive's profile and note taken
// from its own key; a second import of the same texts gives the same logbook.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "basic/text.h"
#include "basic/text_file.h"
#include "fuzz_support.h"
#include "import/logbook_import.h"
#include "import/sdm_format.h"

namespace {

// The progress the import tells.
struct Progress : quellmar::ImportReport {
  void progress(std::int64_t now) override { position = now; }
  std::int64_t position = 0;
};

struct Imported {
  quellmar::Logbook book;
  std::vector<quellmar::NoteLine> notes;
  std::vector<quellmar::Profile> profiles;  // as read, before the dives took them
  std::int64_t progress = 0;
};

// What the import does once its files are open, on the texts themselves.
Imported ImportTexts(const std::vector<std::string_view>& parts) {
  using quellmar::LineFile;
  constexpr auto kCsv = quellmar::LineEnds::AlsoLoneLineFeed;
  Imported imported;
  LineFile notes(LineFile::InMemory{}, parts[1], kCsv);
  quellmar::ReadNoteFile(notes, imported.notes);
  LineFile profiles(LineFile::InMemory{}, parts[2], kCsv);
  quellmar::ReadProfileFile(profiles, imported.profiles);
  Progress progress;
  LineFile main(LineFile::InMemory{}, parts[0], kCsv);
  auto taken = imported.profiles;
  imported.book = quellmar::LoadDives(main, imported.notes, taken, progress);
  imported.progress = progress.position;
  return imported;
}

// The lines of a CSV file, byte by byte: a line ends at a carriage return,
// with the line feed right after it, or at a line feed alone; Ctrl-Z ends the
// file.
std::vector<std::string_view> Lines(std::string_view text) {
  text = text.substr(0, text.find('\x1a'));
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string ExpectedProfile(const std::vector<quellmar::Profile>& profiles, std::int32_t key) {
  for (const auto& run : profiles) {
    if (run.key == key && run.text.size() >= 2) return run.text;
  }
  return {};
}

void CheckLogbook(const Imported& imported, std::string_view mainFile, std::string_view noteFile) {
  const auto& logbook = imported.book;
  const auto mainLines = Lines(mainFile);
  FUZZ_CHECK(logbook.dives.size() == mainLines.size());
  FUZZ_CHECK(imported.notes.size() == Lines(noteFile).size());

  // The progress counts each line with its line break.
  std::int64_t bytes = 0;
  for (auto line : mainLines) bytes += static_cast<std::int64_t>(line.size()) + 2;
  FUZZ_CHECK(imported.progress == bytes);

  std::int16_t deepest = 0;
  std::int32_t time = 0;
  for (std::size_t i = 0; i < logbook.dives.size(); ++i) {
    const auto& dive = logbook.dives[i];
    if (i > 0) FUZZ_CHECK(logbook.dives[i - 1].number <= dive.number);
    FUZZ_CHECK(dive.profile == ExpectedProfile(imported.profiles, dive.key));
    FUZZ_CHECK(dive.hasProfile() == (dive.profile.size() >= 2));
    FUZZ_CHECK(dive.note.empty() || dive.note.size() >= 2);
    deepest = std::max(deepest, dive.maxDepth);
    time = static_cast<std::int32_t>(static_cast<std::uint32_t>(time) +
                                     static_cast<std::uint32_t>(std::int32_t{dive.diveTime}));
  }
  FUZZ_CHECK(logbook.summary.deepest == deepest);
  FUZZ_CHECK(logbook.summary.totalDiveTime == time);
}

bool SameDives(const quellmar::Logbook& a, const quellmar::Logbook& b) {
  if (a.dives.size() != b.dives.size()) return false;
  for (std::size_t i = 0; i < a.dives.size(); ++i) {
    const auto &x = a.dives[i], &y = b.dives[i];
    if (x.key != y.key || x.number != y.number || x.location != y.location || x.note != y.note ||
        x.profile != y.profile || x.maxDepth != y.maxDepth) {
      return false;
    }
  }
  const auto &s = a.summary, &t = b.summary;
  return s.totalDiveTime == t.totalDiveTime && s.averageDiveTime == t.averageDiveTime &&
         s.averageSac == t.averageSac && s.deepest == t.deepest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = quellmar::fuzz::SplitInput(quellmar::fuzz::AsText(data, size), 3);
  const Imported first = ImportTexts(parts);
  CheckLogbook(first, parts[0], parts[1]);
  // Importing the same export again rebuilds the same logbook.
  FUZZ_CHECK(SameDives(first.book, ImportTexts(parts).book));
  return 0;
}

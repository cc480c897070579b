// The import of an export made from one input: the main file, the note file
// and the profile file, separated by NUL bytes, read in memory by the
// import's own readers, without files. The import must give one dive per
// main-file line, sorted, listed and summed as the memo says, with each dive's
// profile and note taken from its own key; a second import of the same texts
// gives the same logbook.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "basic/text.h"
#include "basic/text_file.h"
#include "commands/session.h"
#include "fuzz_support.h"
#include "import/logbook_import.h"
#include "import/sdm_format.h"

namespace {

using quellmar::fuzz::FuzzPlatform;

// What ImportLogbook does once its files are open, on the texts themselves.
void ImportTexts(quellmar::Session& session, const std::vector<std::string_view>& parts) {
  auto& book = session.logbook;
  book = {};
  quellmar::LineFile notes(quellmar::LineFile::InMemory{}, parts[1]);
  quellmar::ReadNoteFile(notes, book.notes);
  quellmar::LineFile profiles(quellmar::LineFile::InMemory{}, parts[2]);
  quellmar::ReadProfileFile(profiles, book.profiles);
  book.loaded = true;
  session.window.clearMemo();
  session.window.setProgressMax(static_cast<std::int64_t>(parts[0].size()));
  session.window.setProgressPosition(0);
  book.progresstotal = 0;
  quellmar::LoadDives(session, parts[0]);
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  quellmar::LineReader reader(text);
  std::string_view line;
  while (reader.next(line)) lines.push_back(line);
  return lines;
}

std::string ExpectedProfile(const quellmar::Logbook& logbook, std::int32_t key) {
  for (const auto& run : logbook.profiles) {
    if (run.key == key && run.text.size() >= 2) return run.text;
  }
  return {};
}

void CheckLogbook(const quellmar::Session& session, std::string_view mainFile,
                  std::string_view noteFile) {
  const auto& logbook = session.logbook;
  const auto mainLines = Lines(mainFile);
  FUZZ_CHECK(logbook.loaded);
  FUZZ_CHECK(logbook.dives.size() == mainLines.size());
  FUZZ_CHECK(logbook.notes.size() == Lines(noteFile).size());

  // The bar counts each line with its line break.
  std::int64_t bytes = 0;
  for (auto line : mainLines) bytes += static_cast<std::int64_t>(line.size()) + 2;
  FUZZ_CHECK(session.window.progressPosition() == bytes);

  std::int16_t deepest = 0;
  const auto& list = session.window.diveList();
  FUZZ_CHECK(list.size() == logbook.dives.size());
  for (std::size_t i = 0; i < logbook.dives.size(); ++i) {
    const auto& dive = logbook.dives[i];
    if (i > 0) FUZZ_CHECK(logbook.dives[i - 1].number <= dive.number);
    FUZZ_CHECK(list[i] == quellmar::IntText(dive.number) + ". " + dive.location + "; " + dive.site);
    FUZZ_CHECK(dive.profile == ExpectedProfile(logbook, dive.key));
    FUZZ_CHECK(dive.hasProfile() == (dive.profile.size() >= 2));
    FUZZ_CHECK(dive.note.empty() || dive.note.size() >= 2);
    deepest = std::max(deepest, dive.maxDepth);
  }
  FUZZ_CHECK(logbook.totalmaxdepth == quellmar::IntText(deepest));

  const auto& memo = session.window.memo();
  FUZZ_CHECK(memo.size() == 4);
  FUZZ_CHECK(memo[0] == "Total dive time: " + logbook.totaldivetime);
  FUZZ_CHECK(memo[1] == "Average dive time: " + logbook.averdivetime);
  FUZZ_CHECK(memo[3] == "Maximal depth: " + logbook.totalmaxdepth + "m");
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
  return a.totaldivetime == b.totaldivetime && a.averdivetime == b.averdivetime &&
         a.totalsac == b.totalsac && a.totalmaxdepth == b.totalmaxdepth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = quellmar::fuzz::SplitInput(quellmar::fuzz::AsText(data, size), 3);
  FuzzPlatform platform({});
  quellmar::Session session(platform);
  ImportTexts(session, parts);
  FUZZ_CHECK(platform.messages == 0);
  CheckLogbook(session, parts[0], parts[1]);

  // Importing the same export again rebuilds the same logbook.
  const quellmar::Logbook first = session.logbook;
  ImportTexts(session, parts);
  FUZZ_CHECK(SameDives(first, session.logbook));
  return 0;
}

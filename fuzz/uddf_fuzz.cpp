// The UDDF file of an export made from one input: the main file, the note
// file and the profile file, separated by NUL bytes, read in memory by the
// import's own readers, written with each date order. Whatever the export
// holds, the file is well-formed UTF-8 XML (every element closed in order,
// every "&" a reference, no character XML cannot hold), every start a date
// of the calendar, and every dive either written or named as left out.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "basic/byte_sink.h"
#include "basic/text_file.h"
#include "fuzz_support.h"
#include "import/logbook_import.h"
#include "import/sdm_format.h"
#include "uddf_out/uddf_writer.h"

namespace {

class CountedHistory : public quellmar::UddfReport {
 public:
  void historyLine(std::string) override { ++lines; }
  std::size_t lines = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Characters that XML 1.0 holds, as UTF-8 of at most four bytes.
bool WellFormedText(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x20 && byte != '\t' && byte != '\n') return false;
    if (byte == '&') {
      const auto end = text.find(';', i);
      const auto name = text.substr(i + 1, end == text.npos ? 0 : end - i - 1);
      if (name != "amp" && name != "lt" && name != "gt" && name != "#13") return false;
    }
    if (byte < 0x80) continue;
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length - 1;
  }
  return true;
}

// "YYYY-MM-DDThh:mm:00" with a month, day, hour and minute that exist.
bool IsStart(std::string_view start) {
  if (start.size() != 19 || start[4] != '-' || start[7] != '-' || start[10] != 'T' ||
      start[13] != ':' || start[16] != ':' || start.substr(17) != "00")
    return false;
  for (const std::size_t at : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15})
    if (!IsDigit(start[at])) return false;
  const auto number = [&](std::size_t at) { return (start[at] - '0') * 10 + start[at + 1] - '0'; };
  return number(5) >= 1 && number(5) <= 12 && number(8) >= 1 && number(8) <= 31 &&
         number(11) <= 23 && number(14) <= 59;
}

// Walks the document's tags: each element closed in order, text between tags
// well-formed; returns how many <dive> elements it holds.
std::size_t CheckDocument(std::string_view document) {
  FUZZ_CHECK(document.substr(0, 5) == "<?xml");
  std::vector<std::string_view> open;
  std::size_t dives = 0;
  std::size_t at = document.find("?>") + 2;
  while (at < document.size()) {
    const auto tag = document.find('<', at);
    FUZZ_CHECK(WellFormedText(document.substr(at, tag - at)));
    if (tag == document.npos) break;
    const auto end = document.find('>', tag);
    FUZZ_CHECK(end != document.npos);
    const std::string_view inside = document.substr(tag + 1, end - tag - 1);
    FUZZ_CHECK(!inside.empty());
    if (inside.front() == '/') {
      FUZZ_CHECK(!open.empty() && open.back() == inside.substr(1));
      open.pop_back();
    } else if (inside.back() != '/') {
      const auto name = inside.substr(0, inside.find(' '));
      if (name == "dive") ++dives;
      if (name == "datetime") {
        FUZZ_CHECK(IsStart(document.substr(end + 1, document.find('<', end) - end - 1)));
      }
      open.push_back(name);
    }
    at = end + 1;
  }
  FUZZ_CHECK(open.empty());
  return dives;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quellmar;
  const auto parts = fuzz::SplitInput(fuzz::AsText(data, size), 3);
  std::vector<NoteLine> notes;
  std::vector<Profile> profiles;
  LineFile noteFile(LineFile::InMemory{}, parts[1]);
  ReadNoteFile(noteFile, notes);
  LineFile profileFile(LineFile::InMemory{}, parts[2]);
  ReadProfileFile(profileFile, profiles);
  CompanionIndex companions(notes, profiles);
  Logbook logbook;
  LineReader lines(parts[0]);
  for (std::string_view line; lines.next(line);)
    ParseDiveLine(line, logbook.dives.emplace_back(), companions);
  companions.GiveProfiles(logbook.dives);

  for (const auto order : {DateOrder::FromDates, DateOrder::MonthFirst}) {
    StringSink sink;
    CountedHistory history;
    const auto result = WriteUddf(logbook, UddfOptions{order}, sink, history);
    FUZZ_CHECK(CheckDocument(sink.data) == result.divesWritten);
    FUZZ_CHECK(result.divesWritten + result.divesLeftOut == logbook.dives.size());
    FUZZ_CHECK(history.lines ==
               1 + result.divesLeftOut + result.valuesLeftOut + result.profilesSpread);
  }
  return 0;
}

// The template engine on any template: a dive made from a fuzzed main-file
// line, note and profile, a lines template and a note template, the options
// from the first byte. Parts are separated by NUL bytes:
//   flags, dive line, note, profile, lines template, note template
// A line without "@" is copied unchanged; FillTemplate writes each filled
// line with CR LF; a fill for NoDive writes no file; a fill for the dive
// writes only that dive's note page and picture, and ends even when the note
// template asks for its own page.
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "basic/byte_sink.h"
#include "basic/text.h"
#include "basic/text_file.h"
#include "fuzz_support.h"
#include "html_out/logbook_writer.h"
#include "html_out/profile_picture.h"
#include "html_out/template_engine.h"
#include "import/sdm_format.h"

namespace {

using quellmar::NoDive;

// Keeps one input from asking for thousands of pages and pictures.
constexpr std::size_t kMaxLinesTemplate = 1024;
constexpr std::size_t kMaxNoteTemplate = 512;
constexpr std::size_t kMaxProfile = 200;
constexpr std::size_t kMaxTagProduct = 4096;

// The names of the files the fills wrote so far.
std::set<std::string> FilesWritten(const quellmar::FileSet& files) {
  std::set<std::string> names;
  for (const auto& path : files.paths()) names.insert(path.filename().string());
  return names;
}

quellmar::Dive MakeDive(const std::vector<std::string_view>& parts) {
  std::vector<quellmar::NoteLine> notes;
  std::vector<quellmar::Profile> profiles;
  quellmar::CompanionIndex companions(notes, profiles);
  quellmar::Dive dive;
  quellmar::ParseDiveLine(parts[1], dive, companions);
  dive.maxDepth = std::clamp<std::int16_t>(dive.maxDepth, -60, 100);
  dive.note = std::string(parts[2]);
  dive.profile = std::string(parts[3].substr(0, kMaxProfile));
  return dive;
}

// The page tags' values hold no line end, so the lines of a page fill stand
// for the template's lines one by one.
std::vector<std::string> OutputLines(const std::string& filled) {
  std::vector<std::string> lines;
  for (std::size_t p = 0; p < filled.size();) {
    const auto end = filled.find("\r\n", p);
    lines.push_back(filled.substr(p, end - p));
    p = end + 2;
  }
  return lines;
}

void CheckFills(quellmar::FillRun& run, std::string_view text) {
  const quellmar::Template parsed = quellmar::ParseTemplate(text);
  const auto lines = quellmar::SplitLines(text);
  quellmar::StringSink page;
  quellmar::FillTemplate(run, parsed, page, NoDive);
  const auto pageLines = OutputLines(page.data);
  FUZZ_CHECK(pageLines.size() == lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find('@') == std::string::npos) FUZZ_CHECK(pageLines[i] == lines[i]);
  }
  FUZZ_CHECK(FilesWritten(run.files).empty());

  quellmar::StringSink diveLines;
  quellmar::FillTemplate(run, parsed, diveLines, 0);
  const auto n = quellmar::IntText(run.source.logbook.dives[0].number);
  for (const auto& name : FilesWritten(run.files)) {
    FUZZ_CHECK(name == "d" + n + ".html" || name == "d" + n + ".gif");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = quellmar::fuzz::SplitInput(quellmar::fuzz::AsText(data, size), 6);
  const auto linesTemplate = parts[4].substr(0, kMaxLinesTemplate);
  const auto noteTemplate = parts[5].substr(0, kMaxNoteTemplate);
  const auto tags = [](std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '@'));
  };
  if (tags(linesTemplate) * (1 + tags(noteTemplate)) > kMaxTagProduct) return 0;

  const auto program = quellmar::fuzz::ScratchDirectory() / "program";
  std::filesystem::create_directories(program / "Output");

  const std::uint8_t flags = parts[0].empty() ? 0 : static_cast<std::uint8_t>(parts[0][0]);
  quellmar::ExportOptions options;
  options.note = (flags & 1) != 0;
  options.gif = (flags & 2) != 0;
  options.px = std::to_string((flags >> 2) & 3);
  quellmar::Logbook book;
  book.dives.push_back(MakeDive(parts));
  book.summary = {3723, 1861, 42, 17};

  quellmar::ExportReport report;
  quellmar::SystemFileCalls calls;
  {
    // The set's temporaries go with it: nothing is put in place.
    quellmar::FileSet files(program / "Output", calls);
    const quellmar::Template note = quellmar::ParseTemplate(noteTemplate);
    const quellmar::FillSource source(book, options, &note);
    quellmar::FillRun run(source, files, report);
    try {
      CheckFills(run, linesTemplate);
    } catch (const quellmar::ExportError&) {
      // A picture that cannot be made ends the export; that is an outcome, not a fault.
    }
  }
  quellmar::fuzz::EmptyDirectory(program / "Output");
  return 0;
}

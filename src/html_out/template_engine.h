// Filling the user's templates: every "@name@" tag becomes a value of the
// logbook, and a few tags write a dive's note page or profile picture on the
// way. Values are inserted exactly as they are, without any HTML escaping.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "basic/byte_sink.h"
#include "html_out/logbook_facts.h"
#include "model/session.h"

namespace quellmar {

// One export's run of fills: the session it reads and writes, and the note
// pages being written at this moment. A note template may ask for its own
// dive's note page; that page is open already, so it is not reopened (the tag
// still yields its link) and the fill ends. Made by the export, one per run.
class FillRun {
 public:
  explicit FillRun(Session& s) : session(s) {}
  FillRun(const FillRun&) = delete;
  FillRun& operator=(const FillRun&) = delete;

  Session& session;
  // Dive numbers whose picture was left out, in the order met, each once.
  std::vector<std::int32_t> picturesLeftOut;
  // Worked out at the first tag that needs them; the logbook does not change
  // during a run.
  std::optional<LogbookFacts> facts;

 private:
  friend void WriteNotePage(FillRun& run, int dive);
  std::vector<std::int32_t> notePagesOpen_;  // dive numbers, innermost last
};

// The value of one tag for dive index dive (or NoDive). Any note page or
// picture the tag asks for is on disk before the value is returned. A
// picture that the dive's content makes impossible is left out with a
// history line, once per dive, and its tag yields empty text.
std::string TagValue(FillRun& run, std::string_view name, int dive);

// The line with every tag replaced, left to right.
std::string FillLine(FillRun& run, std::string_view line, int dive);

// Fills each of the template's lines and writes it, with CR LF, to out.
void FillTemplate(FillRun& run, const std::vector<std::string>& lines, ByteSink& out, int dive);

// Writes "d" + N + ".html" in the Output directory from the note template.
// Silent when the template cannot be read; throws ExportError when the page
// cannot be made or written.
void WriteNotePage(FillRun& run, int dive);

}  // namespace quellmar

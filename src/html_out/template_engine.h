// Filling the user's templates: every "@name@" tag becomes a value of the
// logbook, and a few tags write a dive's note page or profile picture on the
// way. Text from the export keeps only harmless formatting (html_text.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "basic/byte_sink.h"
#include "basic/file_set.h"
#include "basic/indexed_image.h"
#include "html_out/logbook_facts.h"
#include "model/export_options.h"
#include "model/logbook.h"

namespace quellmar {

// What an export tells as it goes; each call does nothing unless overridden.
class ExportReport {
 public:
  virtual ~ExportReport() = default;
  // The lines template is filled for dives[index], of count dives.
  virtual void diveStarted(int /*index*/, int /*count*/) {}
  // The dive's picture could not be made and is left out, for the reason
  // given; told once per dive.
  virtual void pictureLeftOut(std::int32_t /*number*/, const std::string& /*reason*/) {}
};

// One export's run of fills: what it reads (the logbook, the options, the
// program directory with its templates), where its files go, where it reports,
// and the note pages being written at this moment. A note template may ask
// for its own dive's note page; that page is open already, so it is not
// reopened (the tag still yields its link) and the fill ends. Made by the
// export, one per run.
class FillRun {
 public:
  FillRun(const Logbook& logbook, const ExportOptions& options,
          std::filesystem::path programDirectory, FileSet& files, ExportReport& report);
  FillRun(const FillRun&) = delete;
  FillRun& operator=(const FillRun&) = delete;

  const Logbook& logbook;
  const ExportOptions& options;
  const std::filesystem::path programDirectory;
  FileSet& files;  // the logbook's new files, in the Output folder
  ExportReport& report;
  // Dive numbers whose picture was left out, in the order met, each once.
  std::vector<std::int32_t> picturesLeftOut;
  // The last picture made: the one the clipboard holds after an export.
  std::optional<IndexedImage> lastPicture;
  // Worked out at the first tag that needs them; the logbook does not change
  // during a run.
  std::optional<LogbookFacts> facts;

 private:
  friend void WriteNotePage(FillRun& run, int dive);
  std::vector<std::int32_t> notePagesOpen_;  // dive numbers, innermost last
};

// The value of one tag for dive index dive (or NoDive). Any note page or
// picture the tag asks for is on disk before the value is returned. A
// picture that the dive's content makes impossible is left out, told once
// per dive, and its tag yields empty text.
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

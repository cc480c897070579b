// Filling the user's templates: every "@name@" tag becomes a value of the
// logbook, and a few tags write a dive's note page or profile picture on the
// way. Text from the export keeps only harmless formatting (html_text.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
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

// What every fill of one export reads: the logbook, the options and the
// program directory with its templates. Fills on several threads may share
// it: what it works out on first use it works out once.
class FillSource {
 public:
  FillSource(const Logbook& logbook, const ExportOptions& options,
             std::filesystem::path programDirectory);
  FillSource(const FillSource&) = delete;
  FillSource& operator=(const FillSource&) = delete;

  const Logbook& logbook;
  const ExportOptions& options;
  const std::filesystem::path programDirectory;

  // Worked out at the first tag that needs them; the logbook does not change
  // during an export.
  const LogbookFacts& facts() const;
  // The note template's lines, read at the first note page; none when it
  // cannot be read.
  const std::optional<std::vector<std::string>>& noteTemplate() const;

 private:
  mutable std::once_flag factsMade_;
  mutable std::optional<LogbookFacts> facts_;
  mutable std::once_flag noteRead_;
  mutable std::optional<std::vector<std::string>> noteTemplate_;
};

// A run of fills on one thread: what it reads, where its files go, where it
// reports, and the note pages being written at this moment. A note template
// may ask for its own dive's note page; that page is open already, so it is
// not reopened (the tag still yields its link) and the fill ends.
class FillRun {
 public:
  FillRun(const FillSource& source, FileSet& files, ExportReport& report);
  FillRun(const FillRun&) = delete;
  FillRun& operator=(const FillRun&) = delete;

  const FillSource& source;
  FileSet& files;  // the new files, in the Output folder
  ExportReport& report;
  // Dive numbers whose picture was left out, in the order met, each once.
  std::vector<std::int32_t> picturesLeftOut;
  // The last picture made: the one the clipboard holds after an export.
  std::optional<IndexedImage> lastPicture;

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

// Keeps the dive number among the pictures left out and tells the report,
// the first time for that number.
void LeavePictureOut(FillRun& run, std::int32_t number, const std::string& reason);

// Writes "d" + N + ".html" in the Output directory from the note template.
// Silent when the template could not be read; throws ExportError when the page
// cannot be made or written.
void WriteNotePage(FillRun& run, int dive);

}  // namespace quellmar

// Filling the user's templates: every "@name@" tag becomes a value of the
// logbook, and a few tags write a dive's note page or profile picture on the
// way. A template is read once into parts, each tag with the place where it
// stands in the page (page_place.h), and every value is written for its
// place: text from the export keeps only harmless formatting in element text
// (html_text.h), and is written as plain text anywhere else; the markup the
// engine makes (links, icons) is markup only in element text.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "basic/byte_sink.h"
#include "basic/file_set.h"
#include "basic/indexed_image.h"
#include "html_out/logbook_facts.h"
#include "html_out/page_place.h"
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

// One piece of a template line: its own text, or a tag (by its name as
// written) with the place where its value stands.
struct TemplatePart {
  bool isTag = false;
  std::string text;
  ValuePlace place;
};
using TemplateLine = std::vector<TemplatePart>;

// A template read into parts, line by line as the line rule of text_file.h
// gives them, from where the page stands when it starts.
struct Template {
  std::vector<TemplateLine> lines;
  PageReader end;  // where the page stands after it
};
Template ParseTemplate(std::string_view text, const PageReader& start = {});

// A template filled again and again into one page (the lines template, once
// per dive): each fill starts where the one before left the page. Most
// templates leave it where they found it; the few that do not are read again
// from each new place, until the places repeat.
class RepeatedTemplate {
 public:
  RepeatedTemplate(std::string_view text, const PageReader& start, std::size_t fills);
  const Template& fill(std::size_t index) const;  // the template for the fill of that index
  const PageReader& end() const { return end_; }  // where the page stands after all fills

 private:
  std::vector<Template> readings_;  // from the start, each from where the one before ends
  std::size_t cycleStart_ = 0;      // readings_ from here on repeat
  PageReader end_;
};

// What every fill of one export reads: the logbook, the options and the note
// template (none: no note page is written). Fills on several threads may
// share it: what it works out on first use it works out once.
class FillSource {
 public:
  FillSource(const Logbook& logbook, const ExportOptions& options, const Template* note);
  FillSource(const FillSource&) = delete;
  FillSource& operator=(const FillSource&) = delete;

  const Logbook& logbook;
  const ExportOptions& options;
  const Template* const note;

  // Worked out at the first tag that needs them; the logbook does not change
  // during an export.
  const LogbookFacts& facts() const;

 private:
  mutable std::once_flag factsMade_;
  mutable std::optional<LogbookFacts> facts_;
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

// The value of one tag for dive index dive (or NoDive), as written in
// element text. Any note page or picture the tag asks for is on disk before
// the value is returned. A picture that the dive's content makes impossible
// is left out, told once per dive, and its tag yields empty text.
std::string TagValue(FillRun& run, std::string_view name, int dive);

// The line, read as a template of its own, with every tag replaced, left to
// right.
std::string FillLine(FillRun& run, std::string_view line, int dive);

// Fills each of the template's lines and writes it, with CR LF, to out.
void FillTemplate(FillRun& run, const Template& layout, ByteSink& out, int dive);

// Keeps the dive number among the pictures left out and tells the report,
// the first time for that number.
void LeavePictureOut(FillRun& run, std::int32_t number, const std::string& reason);

// Writes "d" + N + ".html" in the Output directory from the note template.
// Silent without one; throws ExportError when the page
// cannot be made or written.
void WriteNotePage(FillRun& run, int dive);

}  // namespace quellmar

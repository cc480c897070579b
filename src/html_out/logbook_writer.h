// Writing a logbook as HTML pages into the Output folder of the program
// directory, from the four templates in its html folder. The writer asks
// nothing: the commands check the export first, make the Output folder, take
// the answer whether to empty it, and then let it write. It returns what it
// left out, or throws an ExportError naming the file that failed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "basic/byte_sink.h"
#include "basic/indexed_image.h"
#include "html_out/template_engine.h"
#include "model/export_options.h"
#include "model/logbook.h"

namespace quellmar {

// Why an export cannot start; nothing is written then.
enum class ExportRefusal {
  MissingTemplates,  // a template of html/ is not there (or is a folder)
  BadPixelCount,     // pictures on, but no whole number of 1 or more pixels per sample
};
// Throws an ExportError naming a template that is there but cannot be read,
// or is no plain file (a FIFO, a device), with the system's reason.
std::optional<ExportRefusal> CheckHtmlExport(const std::filesystem::path& programDirectory,
                                             const ExportOptions& options);

// Makes the Output folder when it is missing; throws an ExportError for the
// index page when it cannot be made or is no folder (a plain file of that name).
void MakeOutputFolder(const std::filesystem::path& programDirectory);

struct HtmlExportResult {
  // Dives whose picture could not be made and was left out, each once.
  std::vector<std::int32_t> picturesLeftOut;
  // The last picture made, for the clipboard.
  std::optional<IndexedImage> lastPicture;
};

// What an export writes, decided before it starts.
struct HtmlExport {
  const Logbook& logbook;
  const ExportOptions& options;
  std::filesystem::path programDirectory;
  bool clearOutput = false;  // the Output folder's other plain files go
  // The threads that fill the dives' lines and make their pages and
  // pictures; the files and what is told are the same for any number.
  unsigned threads = 1;
};

// Writes the index page, with the dive pages and pictures its tags ask for,
// as a new Output folder beside the earlier one, through calls, and switches
// the two (FolderSwitch): the earlier logbook stays as it was until the new
// one is whole, and is then replaced as a whole. The new folder keeps what
// the earlier one held besides the new logbook; with clearOutput, its plain
// files are deleted after the switch, never before. An Output that is a link
// stays that link. The templates are read first: one that cannot be read
// throws an ExportError before the Output folder is touched. The caller holds
// the lock on
// RealFolder(OutputFolder(programDirectory)).
HtmlExportResult WriteHtmlLogbook(const HtmlExport& request, ExportReport& report,
                                  FileCalls& calls);

}  // namespace quellmar

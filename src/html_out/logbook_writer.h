// Writing the loaded logbook as an HTML logbook in the Output directory beside
// the program, and showing it in the browser.
#pragma once

#include <filesystem>

#include "basic/byte_sink.h"
#include "html_out/template_engine.h"
#include "model/export_result.h"
#include "model/session.h"

namespace quellmar {

// Paths under the program directory.
std::filesystem::path TemplatePath(const Session& session, const char* name);  // html/NAME
std::filesystem::path OutputDirectory(const Session& session);                 // Output

// The whole export, questions and messages included; finished when it
// reached its final question, not when it was refused (a missing template,
// no usable pixel count). An ExportError from a file that cannot be made or
// written ends it at that point and propagates; the caller shows the error.
// Files already in place stay whole, and the index page is put in place last.
ExportResult ExportHtml(Session& session);

// Writes the lines template once per dive into page, moving the progress bar
// and the dive list's selection along.
void WriteDiveLines(FillRun& run, ByteSink& page);

// The full path of Output/logbook.html.
std::filesystem::path AbsolutePage(const Session& session);

// Hands Output/logbook.html to the default browser.
void ViewLogbook(Session& session);

}  // namespace quellmar

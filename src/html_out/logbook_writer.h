// Writing the loaded logbook as an HTML logbook in the Output directory beside
// the program, and showing it in the browser.
#pragma once

#include <filesystem>

#include "basic/byte_sink.h"
#include "html_out/template_engine.h"
#include "model/session.h"

namespace quellmar {

// Paths under the program directory.
std::filesystem::path TemplatePath(const Session& session, const char* name);  // html/NAME
std::filesystem::path OutputDirectory(const Session& session);                 // Output

// The whole export, questions and messages included; true when it reached
// its final question, false when it was refused (a missing template, no
// usable pixel count). An ExportError from a picture or from writing the
// index page ends it at that point and propagates; the caller shows the error.
bool ExportHtml(Session& session);

// Writes the lines template once per dive into page, moving the progress bar
// and the dive list's selection along.
void WriteDiveLines(FillRun& run, ByteSink& page);

// Hands Output/logbook.html to the default browser.
void ViewLogbook(Session& session);

}  // namespace quellmar

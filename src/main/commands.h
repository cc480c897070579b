// The commands of the main window as plain operations on a session, shared by
// the Qt window and the command line converter.
#pragma once

#include <string>

#include "main/session.h"

namespace quellmar {

// Open CSV: asks the platform for a file, then imports it. False when the
// choice was cancelled or the import failed.
bool OpenCsvCommand(Session& session);
void CloseCsvCommand(Session& session);

// HTML export; refused with a warning when no logbook is loaded. False when
// the export was refused or ended by an error before its final question.
bool ExportHtmlCommand(Session& session);
void ViewHtmlCommand(Session& session);

// The error box's text: a full stop is added when the message ends in a
// character after "." in the character table (a letter or a digit).
std::string ErrorBoxText(const std::string& message);

}  // namespace quellmar

// The commands of the main window as plain operations on a session, shared by
// every front-end (the Qt window, the Windows window, the command line).
//
// The front-end contract. A front-end
// - implements Platform (model/platform.h): message boxes, the file choice,
//   opening a document, the clipboard, the program directory;
// - makes one Session over it, and shows the session's WindowModel (memo, dive
//   list, history, file panel, progress, options), following its changes
//   through a WindowListener;
// - turns clicks, keys and arguments into the calls below and into writes of
//   the model's options, and decides nothing else itself: a window runs the
//   calls through a CommandRunner (commands/command_runner.h), which decides
//   when they run, when a close happens and when a change is shown.
#pragma once

#include <string>

#include "model/export_result.h"
#include "model/session.h"

namespace quellmar {

// Open CSV: asks the platform for a file, then imports it. False when the
// choice was cancelled or the import failed.
bool OpenCsvCommand(Session& session);
// Open CSV with the file already named (a command line's FILE), as if chosen
// in the dialog; a relative path is taken from the current directory.
bool OpenCsvPathCommand(Session& session, const std::string& path);
void CloseCsvCommand(Session& session);

// HTML export; refused with a warning when no logbook is loaded or another
// export runs in the same program directory. Not finished when the export
// was refused or ended by an error (shown in the error box, with the file
// and the system's reason as details) before its final question.
ExportResult ExportHtmlCommand(Session& session);
void ViewHtmlCommand(Session& session);

// The full path of the logbook's index page, Output/logbook.html.
std::string LogbookPath(const Session& session);

// The error box's text: a full stop is added when the message ends in a
// character after "." in the character table (a letter or a digit).
std::string ErrorBoxText(const std::string& message);

}  // namespace quellmar

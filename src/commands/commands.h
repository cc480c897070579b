// The commands of the main window as plain operations on a session, shared by
// every front-end (the Qt window, the Windows window, the command line). This
// is the one place that talks to the user: the import and the exports take
// plain inputs and return results; the commands turn them into questions,
// message boxes, history lines, the memo, progress, the clipboard and the
// browser, in the same words and order for every front-end.
//
// The front-end contract. A front-end
// - implements Platform (commands/platform.h): message boxes, the file choice,
//   opening a document, the clipboard, the program directory;
// - makes one Session over it, and shows the session's WindowModel (memo, dive
//   list, history, file panel, progress, options); a window does so through a
//   MainWindowController (window/main_window_controller.h), which runs the
//   calls below, writes the options and tells the window what to draw and when;
// - turns clicks, keys and arguments into the calls below (a window into calls
//   of its controller), and decides nothing else itself.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "commands/session.h"

namespace quellmar {

// What every program does once at its start, before any command: a limit on
// the size of files then makes a write fail with its reason, as a full disk
// does, instead of ending the program.
void PrepareProgram();

// Open CSV: asks the platform for a file, then imports it. False when the
// choice was cancelled or the import failed.
bool OpenCsvCommand(Session& session);
// Open CSV with the file already named (a command line's FILE), as if chosen
// in the dialog; a relative path is taken from the current directory.
bool OpenCsvPathCommand(Session& session, const std::filesystem::path& path);
void CloseCsvCommand(Session& session);

// What an HTML export came to.
struct ExportResult {
  bool finished = false;  // reached its final question
  // Dives whose profile picture (HTML) or whose whole record (UDDF) could not
  // be written and was left out; the history names them.
  std::size_t leftOut = 0;

  explicit operator bool() const { return finished; }
};

// HTML export; refused with a warning when no logbook is loaded, another
// export runs in the same program directory, a template is missing or the
// pixel count cannot be used. Not finished when it was refused or ended by
// an error (shown in the error box, with the file and the system's reason as
// details) before its final question.
ExportResult ExportHtmlCommand(Session& session);
void ViewHtmlCommand(Session& session);

// UDDF export: asks the platform where to save, then writes the whole
// logbook as one UDDF file there, for other dive logbooks to import. The
// same refusal as the HTML export without a logbook; finished when the file
// is in place, leftOut then counting the dives it could not hold.
ExportResult ExportUddfCommand(Session& session);
// The same with the file already named (a command line's --uddf FILE).
ExportResult ExportUddfToCommand(Session& session, const std::filesystem::path& file);

// The full path of the logbook's index page, Output/logbook.html.
std::filesystem::path LogbookPath(const Session& session);

// The error box's text: a full stop is added when the message ends in a
// character after "." in the character table (a letter or a digit).
std::string ErrorBoxText(const std::string& message);

}  // namespace quellmar

#include "commands/commands.h"

#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

#include "basic/os_file.h"
#include "basic/path_text.h"
#include "basic/text.h"
#include "html_out/logbook_writer.h"
#include "html_out/profile_picture.h"
#include "import/logbook_import.h"
#include "model/feedback.h"

namespace quellmar {
namespace {

constexpr const char* kImportOutOfMemory = "Out of memory during the CSV import.";
constexpr const char* kExportOutOfMemory = "Out of memory during the HTML export.";
constexpr const char* kExportRunning =
    "Another HTML export is writing into this program directory. Try again when it has "
    "finished.";

void ReportOutOfMemory(Session& session, const char* text) {
  AddHistory(session, text);
  session.platform.showError(text);
}

// An import that ran out of memory keeps nothing of what it read: the
// logbook is closed, its memory freed.
void DropLogbook(Session& session) {
  Logbook& book = session.logbook;
  book.dives = {};
  book.notes = {};
  book.profiles = {};
  if (book.loaded) {
    book.loaded = false;
    session.window.setFilePanel("No CSV file");
  }
  session.window.clearDiveList();
}

bool ImportOrReport(Session& session) {
  try {
    return ImportLogbook(session);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {  // a file larger than a text can be
  }
  DropLogbook(session);
  ReportOutOfMemory(session, kImportOutOfMemory);
  return false;
}

// The rest of Open CSV once a file is chosen.
bool ImportChosenFile(Session& session, const std::string& chosen) {
  session.window.chosenPath = chosen;
  session.window.clearMemo();
  session.window.addMemoLine("Opened CSV file:");
  session.window.addMemoLine(chosen);
  AddHistory(session, "Logbook Import started.");
  if (!ImportOrReport(session)) return false;
  AddHistory(session, "Logbook Import finished.");
  session.window.setProgressPosition(0);
  session.window.addMemoLine(IntText(session.logbook.diveCount()) + " logged dives.");
  session.platform.showMessage(MessageKind::Information,
                               "CSV file imported.\n\rNext step: HTML Export", MessageButtons::Ok);
  return true;
}

}  // namespace

bool OpenCsvCommand(Session& session) {
  const auto chosen = session.platform.chooseCsvFile();
  return chosen && ImportChosenFile(session, *chosen);
}

bool OpenCsvPathCommand(Session& session, const std::string& path) {
  std::error_code ec;
  const auto absolute = std::filesystem::absolute(PathFromText(path), ec);
  return ImportChosenFile(session, ec ? path : TextFromPath(absolute));
}

void CloseCsvCommand(Session& session) { CloseLogbook(session); }

ExportResult ExportHtmlCommand(Session& session) {
  if (!session.logbook.loaded) {
    session.platform.showMessage(MessageKind::Warning, "Not opened CSV file", MessageButtons::Ok);
    AddHistory(session, session.window.chosenPath + " html conver request without CSV file");
    return {};
  }
  // One export at a time per program directory: a second one, from another
  // window or converter, would interleave its files with this one's. A
  // directory that cannot be locked cannot be written either, and the export
  // reports that itself.
  const auto directory = session.platform.programDirectory();
  const ExclusiveLock lock(directory);
  if (lock.state() == ExclusiveLock::State::Busy) {
    AddHistory(session, kExportRunning);
    session.platform.showMessage(MessageKind::Warning, kExportRunning, MessageButtons::Ok,
                                 TextFromPath(directory));
    return {};
  }
  try {
    return ExportHtml(session);
  } catch (const ExportError& error) {
    session.platform.showError(ErrorBoxText(error.what()), error.details());
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory(session, kExportOutOfMemory);
  }
  return {};
}

void ViewHtmlCommand(Session& session) { ViewLogbook(session); }

std::string LogbookPath(const Session& session) { return TextFromPath(AbsolutePage(session)); }

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

}  // namespace quellmar

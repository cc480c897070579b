#include "commands/commands.h"

#include <filesystem>
#include <system_error>

#include "basic/path_text.h"
#include "basic/text.h"
#include "html_out/logbook_writer.h"
#include "html_out/profile_picture.h"
#include "import/logbook_import.h"
#include "model/feedback.h"

namespace quellmar {
namespace {

// The rest of Open CSV once a file is chosen.
bool ImportChosenFile(Session& session, const std::string& chosen) {
  session.window.chosenPath = chosen;
  session.window.clearMemo();
  session.window.addMemoLine("Opened CSV file:");
  session.window.addMemoLine(chosen);
  AddHistory(session, "Logbook Import started.");
  if (!ImportLogbook(session)) return false;
  AddHistory(session, "Logbook Import finished.");
  session.window.setProgressPosition(0);
  session.window.addMemoLine(IntText(session.logbook.divecount()) + " logged dives.");
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

bool ExportHtmlCommand(Session& session) {
  if (!session.logbook.csvopen) {
    session.platform.showMessage(MessageKind::Warning, "Not opened CSV file", MessageButtons::Ok);
    AddHistory(session, session.window.chosenPath + " html conver request without CSV file");
    return false;
  }
  try {
    return ExportHtml(session);
  } catch (const ExportError& error) {
    session.platform.showError(ErrorBoxText(error.what()));
    return false;
  } catch (const std::bad_alloc&) {
    session.platform.showError(ErrorBoxText("Failed to allocate memory for GIF DIB"));
    return false;
  }
}

void ViewHtmlCommand(Session& session) { ViewLogbook(session); }

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

}  // namespace quellmar

#include "commands/commands.h"

#include <new>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <variant>

#include "basic/display_text.h"
#include "basic/file_set.h"
#include "basic/os_file.h"
#include "basic/path_text.h"
#include "basic/text.h"
#include "html_out/logbook_paths.h"
#include "html_out/logbook_writer.h"
#include "html_out/output_file.h"
#include "import/logbook_import.h"
#include "uddf_out/uddf_writer.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNoLogbook = "No CSV file";
constexpr const char* kImportOutOfMemory = "Out of memory during the CSV import.";
constexpr const char* kExportOutOfMemory = "Out of memory during the HTML export.";
constexpr const char* kExportRunning =
    "Another HTML export is writing into this Output folder. Try again when it has finished.";
constexpr const char* kCannotLock = "The Output folder cannot be locked for the HTML export.";
constexpr const char* kMissingTemplates = "HTML sources open error. File(s) not found.";
constexpr const char* kBadPixels = "Pixel / profile entry must be a whole number of 1 or more.";
constexpr const char* kUddfWithoutLogbook = " UDDF export request without CSV file";

void Warn(Session& session, const std::string& text, const std::string& details = {}) {
  session.platform.showMessage(MessageKind::Warning, text, MessageButtons::Ok, details);
}

// "PATH: reason", the details of a message about a file.
std::string FileDetails(const fs::path& path, const std::string& reason) {
  return DisplayPath(path) + ": " + reason;
}

void ReportOutOfMemory(Session& session, const char* text) {
  session.window.addHistory(text);
  session.platform.showError(text);
}

// The chosen main file as the history's lines name it.
std::string ChosenText(const Session& session) { return DisplayPath(session.window.chosenPath); }

// Empties a loaded logbook; does nothing when none is loaded.
void CloseLogbook(Session& session) {
  if (!session.logbook) return;
  session.logbook.reset();
  session.window.setFilePanel(kNoLogbook);
  session.window.addHistory("CSV file Closed");
  session.window.clearMemo();
  session.window.clearDiveList();
}

// What the import tells, as the window shows it.
class ImportConversation : public ImportReport {
 public:
  explicit ImportConversation(Session& session) : session_(session) {}

  void progressStarted(std::int64_t size) override {
    session_.window.setProgressMax(size);
    session_.window.setProgressPosition(0);
  }
  void progress(std::int64_t position) override { session_.window.setProgressPosition(position); }
  void companionUnreadable(Companion which, const fs::path& file,
                           const std::string& reason) override {
    const bool notes = which == Companion::Note;
    Warn(session_, notes ? "NOTE File access error" : "PROFILE File access error",
         FileDetails(file, reason));
    session_.window.addHistory(ChosenText(session_) + (notes ? " NOTE file access error!"
                                                             : " PROFILE file access error!"));
  }
  void mainFileOpened() override {
    opened_ = true;
    session_.window.setFilePanel(ChosenText(session_));
    session_.window.addHistory(ChosenText(session_) + " CSV file opened.");
  }
  void readWithLineFeeds(const fs::path& file) override {
    session_.window.addHistory(DisplayPath(file) + " read with line feeds as line ends.");
  }
  void endedAtCtrlZ(const fs::path& file, std::uint64_t line, std::uint64_t bytesLeft) override {
    session_.window.addHistory(DisplayPath(file) + " read up to a Ctrl-Z byte in line " +
                               std::to_string(line) + "; the " + std::to_string(bytesLeft) +
                               (bytesLeft == 1 ? " byte after it was" : " bytes after it were") +
                               " left unread.");
  }

  // The import stopped: a missing file is told before its warning, a file
  // that cannot be read after it.
  void failed(const ImportError& error) {
    const std::string details = FileDetails(error.file, error.reason);
    switch (error.kind) {
      case ImportError::Kind::MainFileNotFound:
        session_.window.addHistory(ChosenText(session_) + " CSV file access error!");
        Warn(session_, "File access error", details);
        break;
      case ImportError::Kind::CompanionMissing:
        session_.window.addHistory(ChosenText(session_) + " Secondary CSV file access error!");
        Warn(session_, "Secondary CSV file access error", details);
        break;
      case ImportError::Kind::MainFileUnreadable:
        if (opened_) session_.window.setFilePanel(kNoLogbook);  // it failed while read
        Warn(session_, "File access error", details);
        session_.window.addHistory(ChosenText(session_) + " CSV file access error!");
        break;
    }
  }

  // Memory ran out: nothing of what was read is kept.
  void droppedForMemory() {
    if (opened_) session_.window.setFilePanel(kNoLogbook);
    session_.window.clearDiveList();
    ReportOutOfMemory(session_, kImportOutOfMemory);
  }

 private:
  Session& session_;
  bool opened_ = false;
};

// "12. Dahab; Canyon", made in one piece: a field may be as long as the file.
std::string DiveListLine(const Dive& dive) {
  const std::string number = IntText(dive.number);
  std::string line;
  line.reserve(number.size() + 4 + Utf8Length(dive.location) + Utf8Length(dive.site));
  line += number;
  line += ". ";
  AppendUtf8FromWindows1252(line, dive.location);
  line += "; ";
  AppendUtf8FromWindows1252(line, dive.site);
  return line;
}

// The summary's four memo lines, then the dives, "12. Dahab; Canyon" each, in
// the logbook's order.
void ShowLogbook(Session& session, const Logbook& book) {
  WindowModel& window = session.window;
  const Summary& summary = book.summary;
  window.addMemoLine("Total dive time: " + SecondsToClockText(summary.totalDiveTime));
  window.addMemoLine("Average dive time: " + SecondsToClockText(summary.averageDiveTime));
  window.addMemoLine("SAC: " + IntText(summary.averageSac) + "L");
  window.addMemoLine("Maximal depth: " + IntText(summary.deepest) + "m");
  std::vector<std::string> lines;
  lines.reserve(book.dives.size());
  for (const Dive& dive : book.dives) lines.push_back(DiveListLine(dive));
  window.setDiveList(std::move(lines));
}

// Finds and reads the export; the loaded logbook is closed once its
// replacement's files are all found. False when the import stopped.
bool Import(Session& session) {
  ImportConversation conversation(session);
  const auto found = FindExportFiles(session.window.chosenPath, conversation);
  if (const auto* error = std::get_if<ImportError>(&found)) {
    conversation.failed(*error);
    return false;
  }
  CloseLogbook(session);
  try {
    auto read = ReadExport(std::get<ExportFiles>(found), conversation);
    if (const auto* error = std::get_if<ImportError>(&read)) {
      conversation.failed(*error);
      return false;
    }
    session.logbook = std::move(std::get<Logbook>(read));
    ShowLogbook(session, *session.logbook);
    return true;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {  // a file larger than a text can be
  }
  session.logbook.reset();
  conversation.droppedForMemory();
  return false;
}

// Where the file dialog opens: the first time in the sample's folder, which a
// new user looks for; then where the last file was chosen.
fs::path CsvDialogFolder(const Session& session) {
  if (!session.window.chosenPath.empty()) return session.window.chosenPath.parent_path();
  const auto examples = session.platform.programDirectory() / "examples";
  std::error_code ec;
  return fs::is_directory(examples, ec) ? examples : fs::current_path(ec);
}

// The rest of Open CSV once a file is chosen.
bool ImportChosenFile(Session& session, const fs::path& chosen) {
  WindowModel& window = session.window;
  window.chosenPath = chosen;
  window.clearMemo();
  window.addMemoLine("Opened CSV file:");
  window.addMemoLine(DisplayPath(chosen));
  window.addHistory("Logbook Import started.");
  if (!Import(session)) return false;
  window.addHistory("Logbook Import finished.");
  window.setProgressPosition(0);
  window.addMemoLine(IntText(static_cast<std::int32_t>(session.logbook->dives.size())) +
                     " logged dives.");
  session.platform.showMessage(MessageKind::Information,
                               "CSV file imported.\n\rNext step: HTML Export", MessageButtons::Ok);
  return true;
}

// What the export tells, as the window shows it: the dive being written is
// selected in the list and moves the progress bar.
class ExportConversation : public ExportReport {
 public:
  explicit ExportConversation(Session& session) : session_(session) {}
  void diveStarted(int index, int count) override {
    session_.window.setProgressMax(count);
    session_.window.setProgressPosition(index);
    session_.window.selectDive(index);
  }
  void pictureLeftOut(std::int32_t number, const std::string& reason) override {
    session_.window.addHistory("Dive " + IntText(number) + ": " + reason +
                               "; the picture is left out.");
  }

 private:
  Session& session_;
};

// One history line for each number that several dives have: the pages are
// named by the number, so those dives share one page (and picture), which
// shows only one of them. The dives are sorted by number.
void TellSharedNumbers(Session& session, const Logbook& book) {
  const auto& dives = book.dives;
  for (std::size_t first = 0, end = 0; first < dives.size(); first = end) {
    const std::int32_t number = dives[first].number;
    while (end < dives.size() && dives[end].number == number) ++end;
    if (end - first < 2) continue;
    session.window.addHistory("Dive " + IntText(number) + ": " + std::to_string(end - first) +
                              " dives have this number and share its page " +
                              DivePageName(number).string() + ".");
  }
}

std::string PicturesLeftOutText(std::size_t count) {
  return "HTML write finished, but " + std::to_string(count) +
         (count == 1 ? " dive's profile picture" : " dives' profile pictures") +
         " could not be made and " + (count == 1 ? "was" : "were") +
         " left out. The history names them.";
}

// The export once it may start: refused for a missing template or a pixel
// count without pictures; else the Output folder made, the clearing asked,
// the logbook written, and the final question.
ExportResult ExportHtml(Session& session, const fs::path& directory) {
  session.window.addHistory("HTML write started.");
  const ExportOptions& options = session.window.options;
  if (const auto refusal = CheckHtmlExport(directory, options)) {
    const char* text = *refusal == ExportRefusal::MissingTemplates ? kMissingTemplates : kBadPixels;
    session.window.addHistory(text);
    Warn(session, text);
    return {};
  }
  MakeOutputFolder(directory);
  // One export at a time into an Output folder, whichever program directory
  // it is reached from (a link, a shared folder): another one would mix its
  // files with this one's.
  const auto output = OutputFolder(directory);
  SystemFileCalls calls;
  const ExclusiveLock lock(calls, RealFolder(output));
  if (lock.state() != ExclusiveLock::State::Held) {
    const bool busy = lock.state() == ExclusiveLock::State::Busy;
    const char* text = busy ? kExportRunning : kCannotLock;
    session.window.addHistory(text);
    Warn(session, text, busy ? DisplayPath(output) : FileDetails(output, lock.reason()));
    return {};
  }
  const bool clear = session.platform.showMessage(MessageKind::Confirm,
                                                  "Would You like clear the OUTPUT directory ?",
                                                  MessageButtons::YesNo) == MessageAnswer::Yes;
  ExportConversation conversation(session);
  const HtmlExportResult written = WriteHtmlLogbook(
      {*session.logbook, options, directory, clear, session.exportThreads}, conversation, calls);
  // The clipboard ends up holding the last picture, as if each had passed through it.
  if (written.lastPicture && !session.platform.copyToClipboard(*written.lastPicture)) {
    throw ExportError("Cannot open clipboard");
  }

  session.window.setProgressPosition(0);
  TellSharedNumbers(session, *session.logbook);
  session.window.addHistory("HTML write finished.");
  const std::size_t leftOut = written.picturesLeftOut.size();
  if (leftOut > 0) Warn(session, PicturesLeftOutText(leftOut));
  if (session.platform.showMessage(
          MessageKind::Information, "HTML write finished.\n\rMay I show You the logbook.html ?",
          MessageButtons::OkCancel, DisplayPath(LogbookPath(session))) == MessageAnswer::Ok) {
    ViewHtmlCommand(session);
  }
  return {true, leftOut};
}

// What the UDDF export tells: each line is the history's.
class UddfConversation : public UddfReport {
 public:
  explicit UddfConversation(Session& session) : session_(session) {}
  void historyLine(std::string line) override { session_.window.addHistory(std::move(line)); }

 private:
  Session& session_;
};

std::string DivesLeftOutText(std::size_t count) {
  return "UDDF write finished, but " + std::to_string(count) +
         (count == 1 ? " dive was" : " dives were") +
         " left out: UDDF has no dive without a date that can be read. The history names them.";
}

ExportResult ExportUddfTo(Session& session, const fs::path& chosen) {
  std::error_code ec;
  const fs::path file = fs::absolute(chosen, ec);
  session.window.addHistory("UDDF write started.");
  // One file, written beside its name and put in place whole, as the logbook's are.
  SystemFileCalls calls;
  FileSet set(file.parent_path(), calls);
  FileSink sink(set, file.filename());
  RequireCreated(sink);
  UddfConversation conversation(session);
  const UddfResult written =
      WriteUddf(*session.logbook, {session.window.dateOrder}, sink, conversation);
  Finish(sink);
  if (!set.commit(file.filename())) ThrowFileError(set.failure());

  session.window.addHistory("UDDF write finished: " + std::to_string(written.divesWritten) +
                            (written.divesWritten == 1 ? " dive." : " dives."));
  if (written.divesLeftOut > 0) Warn(session, DivesLeftOutText(written.divesLeftOut));
  session.platform.showMessage(MessageKind::Information, "UDDF write finished.", MessageButtons::Ok,
                               DisplayPath(file));
  return {true, written.divesLeftOut};
}

// The refusal without a logbook, the same for both exports.
bool RefusedWithoutLogbook(Session& session, const char* request) {
  if (session.logbook) return false;
  Warn(session, "Not opened CSV file");
  session.window.addHistory(ChosenText(session) + request);
  return true;
}

// Runs an export; an error that ends it is shown in the error box.
template <typename Export>
ExportResult Reporting(Session& session, Export run) {
  try {
    return run();
  } catch (const ExportError& error) {
    session.platform.showError(ErrorBoxText(error.what()), error.details());
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory(session, kExportOutOfMemory);
  }
  return {};
}

}  // namespace

void PrepareProgram() { ReportFileSizeLimitAsWriteError(); }

bool OpenCsvCommand(Session& session) {
  const auto chosen = session.platform.chooseCsvFile(CsvDialogFolder(session));
  return chosen && ImportChosenFile(session, *chosen);
}

bool OpenCsvPathCommand(Session& session, const fs::path& path) {
  std::error_code ec;
  const auto absolute = fs::absolute(path, ec);
  return ImportChosenFile(session, ec ? path : absolute);
}

void CloseCsvCommand(Session& session) { CloseLogbook(session); }

ExportResult ExportHtmlCommand(Session& session) {
  if (RefusedWithoutLogbook(session, " html conver request without CSV file")) return {};
  return Reporting(session,
                   [&] { return ExportHtml(session, session.platform.programDirectory()); });
}

ExportResult ExportUddfCommand(Session& session) {
  if (RefusedWithoutLogbook(session, kUddfWithoutLogbook)) return {};
  fs::path suggested = session.window.chosenPath;
  suggested.replace_extension(".uddf");
  const auto chosen = session.platform.chooseUddfFile(suggested);
  if (!chosen) return {};
  return Reporting(session, [&] { return ExportUddfTo(session, *chosen); });
}

ExportResult ExportUddfToCommand(Session& session, const fs::path& file) {
  if (RefusedWithoutLogbook(session, kUddfWithoutLogbook)) return {};
  return Reporting(session, [&] { return ExportUddfTo(session, file); });
}

void ViewHtmlCommand(Session& session) {
  const auto page = LogbookPath(session);
  std::string reason;
  if (!session.platform.openDocument(page, reason)) {
    session.platform.showError("The document cannot be opened.", FileDetails(page, reason));
  }
}

fs::path LogbookPath(const Session& session) {
  return IndexPagePath(session.platform.programDirectory());
}

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

}  // namespace quellmar

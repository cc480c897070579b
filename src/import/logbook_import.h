// Loading an SDM export into a logbook: the main file the user chose and the
// three companions beside it. The import decides nothing about the window:
// it tells what happens through an ImportReport and returns the logbook or
// what stopped it; the commands turn both into history lines, the memo and
// message boxes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "basic/text_file.h"
#include "import/sdm_format.h"
#include "model/logbook.h"

namespace quellmar {

enum class Companion { Note, Profile };

// What an import tells as it goes; each call does nothing unless overridden.
class ImportReport {
 public:
  virtual ~ImportReport() = default;
  // Progress counts the main file's bytes: it starts at 0 of the file's size,
  // then each line read moves it on by its length and its line end.
  virtual void progressStarted(std::int64_t /*size*/) {}
  virtual void progress(std::int64_t /*position*/) {}
  // A note or profile file exists but cannot be read; the import goes on
  // without it, so no dive gets a note or profile from it.
  virtual void companionUnreadable(Companion, const std::filesystem::path& /*file*/,
                                   const std::string& /*reason*/) {}
  // The main file is open; its dives are read next.
  virtual void mainFileOpened() {}
  // A CSV file held line feeds without a carriage return before them, which
  // end lines too; told once per file, after it is read.
  virtual void readWithLineFeeds(const std::filesystem::path& /*file*/) {}
  // A Ctrl-Z byte ended a CSV file before its last byte: the line it stands
  // on, from 1, and the bytes after it, which were not read.
  virtual void endedAtCtrlZ(const std::filesystem::path& /*file*/, std::uint64_t /*line*/,
                            std::uint64_t /*bytesLeft*/) {}
};

// What stopped an import, with the file and the system's reason.
struct ImportError {
  enum class Kind {
    MainFileNotFound,    // no directory entry of its name, or it cannot be looked up
    CompanionMissing,    // one of the three companions is not there or cannot be looked up
    MainFileUnreadable,  // the main file cannot be opened or read
  };
  Kind kind;
  std::filesystem::path file;
  std::string reason;
};

// The files of one export, found.
struct ExportFiles {
  std::filesystem::path mainFile;
  std::filesystem::path notes;
  std::filesystem::path profiles;
  std::int64_t mainSize = 0;  // 0 for what has no size (a directory)
};

// Finds the main file and its three companions, named by the main file's
// name without its last four characters and "$DGE.CSV", "$NOT.CSV",
// "$PRO.CSV", in its folder: the exact name, else the first entry in byte
// order that differs from it only in ASCII letter case. Once the main file
// is found, progress starts at 0 of its size.
std::variant<ExportFiles, ImportError> FindExportFiles(const std::filesystem::path& mainFile,
                                                       ImportReport& report);

// Reads a found export: the note file, the profile file, then one dive per
// line of the main file, each with its note and profile. The dives come
// sorted by number, with the logbook's summary.
std::variant<Logbook, ImportError> ReadExport(const ExportFiles& files, ImportReport& report);

// The parts of ReadExport after the files are opened, for a reader that holds
// the export in memory (the fuzz target). The main file is read line by line,
// never whole.
void ReadNoteFile(LineFile& file, std::vector<NoteLine>& notes);
Logbook LoadDives(LineFile& mainFile, std::vector<NoteLine>& notes, std::vector<Profile>& profiles,
                  ImportReport& report);

}  // namespace quellmar

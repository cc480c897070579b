// Where the program keeps its templates (html/), icons (pict/), the sample
// export (examples/) and the written logbook (Output/). One rule for every
// front-end on every system:
// 1. a folder the user names (--base) is used as it is;
// 2. else the executable's folder, when it holds html/ and can be written:
//    a portable copy, or a build folder;
// 3. else the user's own folder (the local application data folder, as a rule
//    %LOCALAPPDATA%\Quellmar, on Windows,
//    $XDG_DATA_HOME/quellmar, by default ~/.local/share/quellmar, elsewhere),
//    made on first use and filled (html/, pict/, examples/) from the
//    installed data folder <executable's folder>/../share/quellmar, or from a
//    read-only portable copy itself, never overwriting a file that is already
//    there, so edited templates survive every start and upgrade.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quellmar {

struct ProgramDirectory {
  enum class Kind { Given, Portable, PerUser };

  std::filesystem::path path;
  Kind kind = Kind::Portable;
  std::filesystem::path installedData;  // fills a per-user folder
  std::string problem;                  // why the folder is not usable; empty when it is
};

// The per-user folder the system names, or nothing when it names none (no
// local application data folder on Windows; neither XDG_DATA_HOME nor HOME
// elsewhere).
std::optional<std::filesystem::path> PerUserFolder();

// Applies the rule without making or filling anything.
ProgramDirectory LocateProgramDirectory(const std::optional<std::filesystem::path>& given,
                                        const std::filesystem::path& executableDir,
                                        const std::optional<std::filesystem::path>& perUser);

// Makes a per-user folder and fills it with what it lacks; the problem, with
// the path and the system's reason, or an empty text when all went well.
std::string PrepareProgramDirectory(const ProgramDirectory& directory);

// What a front-end calls at start: located with the environment's per-user
// folder, then prepared, any problem in .problem.
ProgramDirectory FindProgramDirectory(const std::optional<std::filesystem::path>& given,
                                      const std::filesystem::path& executableDir);

// The folder and how it was chosen, for --help and the window's status bar.
std::string ProgramDirectoryText(const ProgramDirectory& directory);

}  // namespace quellmar

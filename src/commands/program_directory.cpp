#include "commands/program_directory.h"

#include <cstdlib>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
// shlobj.h needs windows.h first.
#include <shlobj.h>
#endif

#include "basic/file_set.h"
#include "basic/os_file.h"
#include "basic/path_text.h"
#include "html_out/logbook_paths.h"

namespace quellmar {
namespace fs = std::filesystem;
namespace {

#ifdef _WIN32
constexpr const char* kNoPerUserFolder = "Windows names no local application data folder";
#else
constexpr const char* kNoPerUserFolder = "neither XDG_DATA_HOME nor HOME is set";
#endif

// Written by making and removing a folder: the one test that tells the truth
// on every system, for access rights, read-only mounts and running as root.
bool CanWrite(const fs::path& dir) {
  std::random_device random;
  const auto probe = dir / (".quellmar-probe-" + std::to_string(random()));
  std::error_code ec;
  if (!fs::create_directory(probe, ec)) return false;
  fs::remove(probe, ec);
  return true;
}

std::string Problem(const std::string& what, const fs::path& path, const std::error_code& ec) {
  return what + " " + DisplayPath(path) + ": " + ec.message();
}

// Copies every file of the folder from that to lacks. Whatever already stands
// at a name (a file, a folder, a link) is the user's and is left alone.
std::string FillFolder(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::create_directory(to, ec);
  if (ec) return Problem("Cannot create the folder", to, ec);
  fs::recursive_directory_iterator it(from, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const auto target = to / it->path().lexically_relative(from);
    std::error_code entry;
    if (it->is_directory(entry)) {
      fs::create_directory(target, entry);
      if (entry) return Problem("Cannot create the folder", target, entry);
      continue;
    }
    if (!it->is_regular_file(entry)) continue;
    if (fs::symlink_status(target, entry).type() != fs::file_type::not_found) continue;
    fs::copy_file(it->path(), target, entry);
    if (entry) return Problem("Cannot copy " + DisplayPath(it->path()) + " to", target, entry);
  }
  if (ec) return Problem("Cannot read the folder", from, ec);
  return {};
}

// The templates, the icons and the sample; nothing else of the data folder,
// which may be a read-only portable copy with the programs in it.
std::string Fill(const fs::path& from, const fs::path& to) {
  for (const char* folder : {"html", "pict", "examples"}) {
    std::error_code ec;
    if (!fs::is_directory(from / folder, ec)) continue;
    auto problem = FillFolder(from / folder, to / folder);
    if (!problem.empty()) return problem;
  }
  return {};
}

}  // namespace

std::optional<fs::path> PerUserFolder() {
#ifdef _WIN32
  wchar_t* local = nullptr;
  std::optional<fs::path> folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local)))
    folder = fs::path(local) / L"Quellmar";
  CoTaskMemFree(local);
  return folder;
#else
  // A relative XDG_DATA_HOME is to be ignored, as the base directory rules say.
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && PathFromText(data).is_absolute()) return PathFromText(data) / "quellmar";
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return std::nullopt;
  return PathFromText(home) / ".local" / "share" / "quellmar";
#endif
}

ProgramDirectory LocateProgramDirectory(const std::optional<fs::path>& given,
                                        const fs::path& executableDir,
                                        const std::optional<fs::path>& perUser) {
  ProgramDirectory directory;
  if (given) {
    directory.path = *given;
    directory.kind = ProgramDirectory::Kind::Given;
    return directory;
  }
  directory.path = executableDir;
  std::error_code ec;
  const bool portable = fs::is_directory(executableDir / "html", ec);
  if (portable && CanWrite(executableDir)) return directory;
  // A portable copy that cannot be written fills the per-user folder itself.
  directory.installedData =
      portable ? executableDir : (executableDir / ".." / "share" / "quellmar").lexically_normal();
  if (!perUser) {
    directory.problem = "No folder for the templates and the logbook: the program folder " +
                        DisplayPath(executableDir) + " has no html/ or cannot be written, and " +
                        kNoPerUserFolder;
    return directory;
  }
  directory.path = *perUser;
  directory.kind = ProgramDirectory::Kind::PerUser;
  return directory;
}

std::string PrepareProgramDirectory(const ProgramDirectory& directory) {
  if (directory.kind != ProgramDirectory::Kind::PerUser) return {};
  std::error_code ec;
  fs::create_directories(directory.path, ec);
  if (ec) return Problem("Cannot create the program folder", directory.path, ec);
  if (fs::is_directory(directory.installedData, ec))
    return Fill(directory.installedData, directory.path);
  // Without installed data a folder that has its templates still works.
  if (fs::is_directory(directory.path / "html", ec)) return {};
  return "No templates in " + DisplayPath(directory.path) + ", and no installed data folder " +
         DisplayPath(directory.installedData) + " to copy them from";
}

ProgramDirectory FindProgramDirectory(const std::optional<fs::path>& given,
                                      const fs::path& executableDir) {
  auto directory = LocateProgramDirectory(given, executableDir, PerUserFolder());
  if (directory.problem.empty()) directory.problem = PrepareProgramDirectory(directory);
  // Before anything else: an Output switch cut off by a crash is finished.
  SystemFileCalls calls;
  if (directory.problem.empty()) CompleteFolderSwitch(OutputFolder(directory.path), calls);
  return directory;
}

std::string ProgramDirectoryText(const ProgramDirectory& directory) {
  std::string text = DisplayPath(directory.path);
  switch (directory.kind) {
    case ProgramDirectory::Kind::Given:
      return text + " (given by --base)";
    case ProgramDirectory::Kind::Portable:
      return text + " (the program's own folder)";
    case ProgramDirectory::Kind::PerUser:
      return text + " (per-user folder, filled from " + DisplayPath(directory.installedData) + ")";
  }
  return text;
}

}  // namespace quellmar

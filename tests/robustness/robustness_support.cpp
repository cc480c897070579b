#include "robustness/robustness_support.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>

#include "commands/commands.h"

namespace quellmar::testing {

namespace fs = std::filesystem;

namespace {

std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted.push_back('"');
  quoted.append(text);
  quoted.push_back('"');
  return quoted;
}

}  // namespace

std::string DiveLine(int key, int number, int maxDepth, std::string_view location,
                     std::string_view site) {
  std::vector<std::string> columns(45);
  columns[0] = std::to_string(key);
  columns[1] = std::to_string(number);
  columns[2] = "\"14.07.2002\"";
  columns[3] = "\"09:05\"";
  columns[6] = "2700";
  columns[8] = std::to_string(maxDepth);
  columns[18] = Quoted(location);
  columns[19] = Quoted(site);
  columns[34] = "16";
  columns[42] = "21";
  std::string line;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) line += ",";
    line += columns[i];
  }
  return line;
}

std::string ProfileLines(int key, const std::vector<std::string>& samples) {
  std::string lines;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    lines += std::to_string(key) + "," + std::to_string(i) + "," + samples[i] + "\r\n";
  }
  return lines;
}

ProgramFixture::ProgramFixture() : platform(programDir()), session(platform) {
  fs::create_directories(programDir() / "html");
  fs::create_directories(exportDir());
}

void ProgramFixture::writeTemplates(std::string_view head, std::string_view lines,
                                    std::string_view foot, std::string_view note) {
  dir_.write("program/html/head.html", head);
  dir_.write("program/html/lines.html", lines);
  dir_.write("program/html/foot.html", foot);
  dir_.write("program/html/note.html", note);
}

void ProgramFixture::writeExport(std::string_view main, std::string_view notes,
                                 std::string_view profiles) {
  dir_.write("export/log.csv", main);
  dir_.write("export/log$DGE.CSV", "");
  dir_.write("export/log$NOT.CSV", notes);
  dir_.write("export/log$PRO.CSV", profiles);
}

bool ProgramFixture::open() {
  platform.nextChoice = mainFile().string();
  return OpenCsvCommand(session);
}

bool ProgramFixture::exportHtml(MessageAnswer clearOutput, MessageAnswer viewPage) {
  platform.answers = {clearOutput, viewPage};
  return static_cast<bool>(ExportHtmlCommand(session));
}

TreeSnapshot Snapshot(const fs::path& root) {
  TreeSnapshot snapshot;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    const auto relative = it->path().lexically_relative(root).generic_string();
    const auto status = it->symlink_status();
    if (fs::is_symlink(status)) {
      snapshot[relative] = "link:" + fs::read_symlink(it->path()).string();
    } else if (fs::is_directory(status)) {
      snapshot[relative] = "dir";
    } else if (fs::is_fifo(status)) {
      snapshot[relative] = "fifo";  // opening it would wait for a writer
    } else {
      snapshot[relative] = "file:" + ReadFile(it->path());
    }
  }
  return snapshot;
}

TreeSnapshot Without(TreeSnapshot snapshot, const std::string& folder) {
  std::erase_if(snapshot, [&](const auto& entry) {
    return entry.first == folder || entry.first.starts_with(folder + "/");
  });
  return snapshot;
}

namespace {

bool WriteAll(int fd, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const auto n = ::write(fd, bytes, size);
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, void* data, std::size_t size) {
  char* bytes = static_cast<char*>(data);
  while (size > 0) {
    const auto n = ::read(fd, bytes, size);
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

ChildResult RunInChild(const std::function<std::vector<std::string>()>& work) {
  int channel[2];
  if (::pipe(channel) != 0) throw std::runtime_error("pipe failed");
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    ::close(channel[0]);
    int code = 0;
    try {
      for (const auto& text : work()) {
        const std::uint64_t size = text.size();
        if (!WriteAll(channel[1], &size, sizeof size) ||
            !WriteAll(channel[1], text.data(), text.size())) {
          code = 3;
          break;
        }
      }
    } catch (...) {
      code = 4;  // an exception that nothing caught
    }
    ::close(channel[1]);
    ::_exit(code);
  }
  ::close(channel[1]);
  ChildResult result;
  std::uint64_t size = 0;
  while (ReadAll(channel[0], &size, sizeof size)) {
    std::string text(size, '\0');
    if (!ReadAll(channel[0], text.data(), text.size())) break;
    result.texts.push_back(std::move(text));
  }
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  result.exitedNormally = WIFEXITED(status);
  result.exitCode = result.exitedNormally ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return result;
}

void OpenToOthers(const fs::path& root) {
  const auto open = fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                    fs::perms::others_exec;
  fs::permissions(root, open, fs::perm_options::add);
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_symlink()) fs::permissions(entry.path(), open, fs::perm_options::add);
  }
}

bool BecomeNobody() {
  const passwd* nobody = ::getpwnam("nobody");
  if (nobody == nullptr) return false;
  return ::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 &&
         ::setuid(nobody->pw_uid) == 0 && ::geteuid() != 0;
}

std::vector<std::string> HistoryFrom(const Session& session, std::size_t first) {
  const auto& history = session.window.history();
  if (first >= history.size()) return {};
  return {history.begin() + static_cast<std::ptrdiff_t>(first), history.end()};
}

std::vector<std::string> ShownTexts(const TestPlatform& platform) {
  std::vector<std::string> texts;
  for (const auto& message : platform.messages) texts.push_back(message.text);
  texts.insert(texts.end(), platform.errors.begin(), platform.errors.end());
  texts.insert(texts.end(), platform.errorDetails.begin(), platform.errorDetails.end());
  return texts;
}

}  // namespace quellmar::testing

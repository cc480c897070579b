#include <fcntl.h>
#include <signal.h>
#include <spawn.h>

#include <cstring>

#include "desktop.h"

extern char** environ;

namespace quellmar::convert {

// A terminal shows the bytes in its own encoding; nothing to set.
void PrepareConsole() {}

// xdg-open is started and left to run. Children are reaped by the system
// (SIGCHLD ignored here), while xdg-open itself starts with the default
// handling, since the scripts behind it wait for their own children.
bool OpenWithDesktop(const std::filesystem::path& document, std::string& reason) {
  signal(SIGCHLD, SIG_IGN);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGCHLD);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  // The browser's chatter stays out of the converter's own output.
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);

  std::string program = "xdg-open";
  std::string argument = document.native();
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t child;
  const int failed = posix_spawnp(&child, "xdg-open", &files, &attributes, argv, environ);

  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) reason = std::string("xdg-open: ") + std::strerror(failed);
  return failed == 0;
}

}  // namespace quellmar::convert

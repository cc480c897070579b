// POSIX side of os_file.h.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "basic/os_file.h"

namespace quellmar {
namespace {

std::string Reason(int error) { return std::strerror(error); }

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

void CloseQuietly(std::intptr_t handle) {
  if (handle >= 0) ::close(Fd(handle));
}

// ".NAME.PID-N.tmp": hidden, so that emptying the Output directory and a
// listing pass over it, and unique within the process.
std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  // Taken once; a forked child keeps its parent's number, and O_EXCL with the
  // retry below keeps the names of the two apart.
  static const std::string pid = std::to_string(::getpid());
  std::string name = ".";
  name += path.filename().string();
  name += '.';
  name += pid;
  name += '-';
  name += std::to_string(counter++);
  name += ".tmp";
  return path.parent_path() / name;
}

}  // namespace

InputFile::InputFile(const std::filesystem::path& path) {
  // Opened without blocking: opening a FIFO would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    reason_ = Reason(errno);
    return;
  }
  handle_ = fd;
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    reason_ = Reason(errno);
  } else if (S_ISDIR(info.st_mode)) {
    reason_ = Reason(EISDIR);
  } else if (!S_ISREG(info.st_mode)) {
    reason_ = "Not a regular file";
  } else {
    // O_NONBLOCK has no effect on a regular file: it stays set.
    size_ = static_cast<std::uint64_t>(info.st_size);
    open_ = true;
  }
}

InputFile::~InputFile() { CloseQuietly(handle_); }

std::ptrdiff_t InputFile::read(char* buffer, std::size_t count) {
  if (!open_) return -1;
  for (;;) {
    const ssize_t got = ::read(Fd(handle_), buffer, count);
    if (got >= 0) return got;
    if (errno == EINTR) continue;
    reason_ = Reason(errno);
    return -1;
  }
}

ReplacingFile::ReplacingFile(std::filesystem::path path) : path_(std::move(path)) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ = TemporaryBeside(path_);
    const int fd =
        ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      handle_ = fd;
      open_ = true;
      return;
    }
    if (errno != EEXIST) break;
  }
  reason_ = Reason(errno);
  failedToCreate_ = true;
}

ReplacingFile::~ReplacingFile() {
  if (open_) discard();
}

void ReplacingFile::discard() {
  CloseQuietly(handle_);
  handle_ = -1;
  ::unlink(temporary_.c_str());
  open_ = false;
}

bool ReplacingFile::write(const char* bytes, std::size_t count) {
  if (!open_) return false;
  while (count > 0) {
    const ssize_t put = ::write(Fd(handle_), bytes, count);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      reason_ = Reason(put < 0 ? errno : ENOSPC);
      discard();
      return false;
    }
    bytes += put;
    count -= static_cast<std::size_t>(put);
  }
  return true;
}

bool ReplacingFile::commit() {
  if (!open_) return false;
  const int closed = ::close(Fd(handle_));
  handle_ = -1;
  if (closed != 0) {
    reason_ = Reason(errno);
    discard();
    return false;
  }
  if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
    reason_ = Reason(errno);
    failedToCreate_ = true;
    discard();
    return false;
  }
  open_ = false;
  return true;
}

ExclusiveLock::ExclusiveLock(const std::filesystem::path& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    reason_ = Reason(errno);
    return;
  }
  handle_ = fd;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::Held;
  } else if (errno == EWOULDBLOCK) {
    state_ = State::Busy;
  } else {
    reason_ = Reason(errno);
  }
}

ExclusiveLock::~ExclusiveLock() { CloseQuietly(handle_); }

}  // namespace quellmar

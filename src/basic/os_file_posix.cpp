// POSIX side of os_file.h.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A folder's descriptor for syncing it, closed when done.
class OpenFolder {
 public:
  explicit OpenFolder(const std::filesystem::path& folder)
      : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
  ~OpenFolder() { CloseQuietly(fd_); }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

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

FileCalls::Handle SystemFileCalls::create(const std::filesystem::path& temporary,
                                          const std::filesystem::path& final, std::string& reason) {
  struct stat replaced {};
  const bool exists = ::lstat(final.c_str(), &replaced) == 0;
  if (exists && S_ISDIR(replaced.st_mode)) {
    reason = Reason(EISDIR);
    return kNoFile;
  }
  const int fd =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    reason = Reason(errno);
    return kNoFile;
  }
  // A file replaced keeps who may read it: a private logbook stays private.
  if (exists && S_ISREG(replaced.st_mode)) ::fchmod(fd, replaced.st_mode & 07777);
  return fd;
}

bool SystemFileCalls::write(Handle file, const char* bytes, std::size_t count,
                            std::string& reason) {
  while (count > 0) {
    const ssize_t put = ::write(Fd(file), bytes, count);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      reason = Reason(put < 0 ? errno : ENOSPC);
      return false;
    }
    bytes += put;
    count -= static_cast<std::size_t>(put);
  }
  return true;
}

bool SystemFileCalls::close(Handle file, std::string& reason) {
  if (::close(Fd(file)) == 0) return true;
  reason = Reason(errno);
  return false;
}

bool SystemFileCalls::syncData(const std::filesystem::path& folder,
                               const std::vector<std::filesystem::path>& files,
                               std::string& reason) {
#ifdef __linux__
  // One call for all the files, as cheap as the sync of one file when the
  // file system is otherwise quiet.
  const OpenFolder open(folder);
  if (open.fd() >= 0 && ::syncfs(open.fd()) == 0) return true;
#else
  static_cast<void>(folder);
#endif
  for (const auto& file : files) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
      reason = Reason(errno);
      CloseQuietly(fd);
      return false;
    }
    ::close(fd);
  }
  return true;
}

bool SystemFileCalls::rename(const std::filesystem::path& from, const std::filesystem::path& to,
                             std::string& reason) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  reason = Reason(errno);
  return false;
}

bool SystemFileCalls::syncFolder(const std::filesystem::path& folder, std::string& reason) {
  const OpenFolder open(folder);
  if (open.fd() < 0) {
    reason = Reason(errno);
    return false;
  }
  // Some file systems cannot sync a folder (EINVAL); their entries are safe
  // by other means, or not at all, and nothing more can be done here.
  if (::fsync(open.fd()) == 0 || errno == EINVAL) return true;
  reason = Reason(errno);
  return false;
}

bool SystemFileCalls::remove(const std::filesystem::path& path) {
  return ::unlink(path.c_str()) == 0;
}

void ReportFileSizeLimitAsWriteError() { ::signal(SIGXFSZ, SIG_IGN); }

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

// POSIX side of os_file.h.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "basic/os_file.h"
#include "basic/path_text.h"

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

// Copies the file from to the new file to, with its permission bits, durable:
// for a file system without hard links.
bool CopyFile(const std::filesystem::path& from, const std::filesystem::path& to, mode_t mode,
              std::string& reason) {
  const int in = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (in < 0) {
    reason = Reason(errno);
    return false;
  }
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  bool copied = out >= 0 && ::fchmod(out, mode) == 0;
  char buffer[65536];
  for (ssize_t got = 0; copied && (got = ::read(in, buffer, sizeof buffer)) != 0;) {
    if (got < 0 && errno == EINTR) continue;
    std::string ignored;
    copied =
        got > 0 && SystemFileCalls().write(out, buffer, static_cast<std::size_t>(got), ignored);
  }
  copied = copied && ::fsync(out) == 0;
  if (!copied) reason = Reason(errno);
  CloseQuietly(in);
  CloseQuietly(out);
  return copied;
}

bool CarryEntry(const std::filesystem::path& from, const std::filesystem::path& to,
                std::string& reason);

// A folder of its own with the same entries, synced once they are in it.
bool CarryFolder(const std::filesystem::path& from, const std::filesystem::path& to, mode_t mode,
                 std::string& reason) {
  if (::mkdir(to.c_str(), 0700) != 0) {
    reason = Reason(errno);
    return false;
  }
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(from, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (!CarryEntry(it->path(), to / it->path().filename(), reason)) return false;
  }
  if (ec) {
    reason = ec.message();
    return false;
  }
  const OpenFolder made(to);
  if (made.fd() < 0 || ::fchmod(made.fd(), mode) != 0 ||
      (::fsync(made.fd()) != 0 && errno != EINVAL)) {
    reason = Reason(errno);
    return false;
  }
  return true;
}

bool CarryEntry(const std::filesystem::path& from, const std::filesystem::path& to,
                std::string& reason) {
  struct stat info {};
  if (::lstat(from.c_str(), &info) != 0) {
    reason = Reason(errno);
    return false;
  }
  const mode_t mode = info.st_mode & 07777;
  bool carried = false;
  if (S_ISDIR(info.st_mode)) return CarryFolder(from, to, mode, reason);
  if (S_ISREG(info.st_mode)) {
    carried = ::link(from.c_str(), to.c_str()) == 0;
    if (!carried && (errno == EPERM || errno == EMLINK || errno == EOPNOTSUPP || errno == EXDEV)) {
      return CopyFile(from, to, mode, reason);
    }
  } else if (S_ISLNK(info.st_mode)) {
    std::error_code ec;
    const auto target = std::filesystem::read_symlink(from, ec);
    if (ec) {
      reason = ec.message();
      return false;
    }
    carried = ::symlink(target.c_str(), to.c_str()) == 0;
  } else {
    carried = ::mknod(to.c_str(), info.st_mode, info.st_rdev) == 0;
  }
  if (!carried) reason = Reason(errno);
  return carried;
}

// Removes the files below folder, leaving the folders. Where the file system
// frees a file's blocks with a discard (ext4 mounted with discard), each
// removal waits for the disk: a logbook's thousands are removed on many
// threads at once, as the disk takes the discards side by side.
void RemoveFilesBelow(const std::filesystem::path& folder) {
#ifndef __EMSCRIPTEN__
  constexpr std::size_t kFilesPerThread = 256;
  constexpr std::size_t kMostThreads = 16;
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::error_code unread;
    if (it->symlink_status(unread).type() != std::filesystem::file_type::directory) {
      files.push_back(it->path());
    }
  }
  const auto threads = std::min(kMostThreads, files.size() / kFilesPerThread);
  if (threads < 2) return;  // remove_all takes them as fast
  std::atomic<std::size_t> next{0};
  const auto removeSome = [&files, &next] {
    for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < files.size();) {
      ::unlink(files[i].c_str());
    }
  };
  std::vector<std::thread> removers;
  try {
    for (std::size_t t = 1; t < threads; ++t) removers.emplace_back(removeSome);
  } catch (const std::system_error&) {
    // Fewer threads, then: those there take the rest.
  }
  removeSome();
  for (auto& remover : removers) remover.join();
#else
  static_cast<void>(folder);  // one thread
#endif
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

bool SystemFileCalls::makeFolder(const std::filesystem::path& folder,
                                 const std::filesystem::path& like, std::string& reason) {
  struct stat info {};
  if (::stat(like.c_str(), &info) != 0 || ::mkdir(folder.c_str(), 0700) != 0 ||
      ::chmod(folder.c_str(), info.st_mode & 07777) != 0) {
    reason = Reason(errno);
    return false;
  }
  return true;
}

bool SystemFileCalls::carry(const std::filesystem::path& from, const std::filesystem::path& to,
                            std::string& reason) {
  return CarryEntry(from, to, reason);
}

bool SystemFileCalls::keep(const std::filesystem::path& from, const std::filesystem::path& to,
                           std::string_view bytes) {
  // Looked at before it is opened: opening a device may do something.
  struct stat info {};
  if (::lstat(from.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  const int fd = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  bool same = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
              static_cast<std::uintmax_t>(info.st_size) == bytes.size();
  char buffer[65536];
  for (std::size_t at = 0; same && at < bytes.size();) {
    const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, bytes.size() - at));
    if (got < 0 && errno == EINTR) continue;
    same = got > 0 && bytes.substr(at, static_cast<std::size_t>(got)) ==
                          std::string_view(buffer, static_cast<std::size_t>(got));
    at += got > 0 ? static_cast<std::size_t>(got) : 0;
  }
  ::close(fd);
  return same && ::link(from.c_str(), to.c_str()) == 0;
}

FileCalls::Exchange SystemFileCalls::exchange(const std::filesystem::path& first,
                                              const std::filesystem::path& second,
                                              std::string& reason) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
  if (::renameat2(AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), RENAME_EXCHANGE) == 0) {
    return Exchange::Done;
  }
  // A file system (or an old kernel) that cannot exchange says so at once.
  if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) return Exchange::Unsupported;
  reason = Reason(errno);
  return Exchange::Failed;
#else
  static_cast<void>(first);
  static_cast<void>(second);
  static_cast<void>(reason);
  return Exchange::Unsupported;
#endif
}

bool SystemFileCalls::removeTree(const std::filesystem::path& folder) {
  RemoveFilesBelow(folder);
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return !ec;
}

FileCalls::Handle SystemFileCalls::lock(const std::filesystem::path& folder, LockState& state,
                                        std::string& reason) {
  state = LockState::Unavailable;
  // A missing folder is locked too: a switch cut off may have left none.
  if (const OpenFolder open(folder); open.fd() < 0 && errno != ENOENT) {
    reason = Reason(errno);
    return kNoFile;
  }
  const auto path = LockFilePath(folder);
  // The holder removes the file before it lets go: a lock won on a file
  // no longer there is tried again on the new one.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      reason = DisplayPath(path) + ": " + Reason(errno);
      return kNoFile;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) {
        state = LockState::Busy;
      } else {
        reason = Reason(errno);
      }
      ::close(fd);
      return kNoFile;
    }
    struct stat locked {
    }, named{};
    if (::fstat(fd, &locked) == 0 && ::lstat(path.c_str(), &named) == 0 &&
        locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
      state = LockState::Held;
      return fd;
    }
    ::close(fd);
  }
  reason = DisplayPath(path) + ": " + Reason(EAGAIN);
  return kNoFile;
}

void SystemFileCalls::unlock(const std::filesystem::path& folder, Handle lock) {
  ::unlink(LockFilePath(folder).c_str());
  CloseQuietly(lock);
}

void ReportFileSizeLimitAsWriteError() { ::signal(SIGXFSZ, SIG_IGN); }

}  // namespace quellmar

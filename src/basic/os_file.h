// The operating system's file calls that the program's safety rests on, in one
// small module with one implementation per system: reading only regular
// files, the calls that write files beside their final names and put them in
// place (file_set.h uses them), the calls that build a folder beside another
// and switch the two (folder_switch.h), and an exclusive lock between
// programs. Every failure keeps
// the system's own reason ("Permission denied", "Is a directory") for the
// user to see.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quellmar {

// A file opened for reading, and only when it is a regular file: a directory,
// a FIFO or a device is refused at once, before anything is read from it.
class InputFile {
 public:
  InputFile() = default;  // no file: not open, nothing to read
  explicit InputFile(const std::filesystem::path& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool isOpen() const { return open_; }
  // The size at opening, for reserving room only.
  std::uint64_t size() const { return size_; }
  // Up to count bytes; 0 at the end of the file, -1 on an error.
  std::ptrdiff_t read(char* buffer, std::size_t count);
  // Why the file did not open or a read failed, in the system's words.
  const std::string& reason() const { return reason_; }

 private:
  std::intptr_t handle_ = -1;
  bool open_ = false;
  std::uint64_t size_ = 0;
  std::string reason_;
};

// The calls on the file system that writing a set of files makes, behind
// one seam, so that a test can record them and cut them off at any point, as
// a crash or a power loss would. SystemFileCalls makes them for real.
class FileCalls {
 public:
  using Handle = std::intptr_t;
  static constexpr Handle kNoFile = -1;

  virtual ~FileCalls() = default;
  // Creates temporary, exclusively: never over an existing entry, never
  // through a link. It is to replace final, which must be replaceable (not a
  // folder; on Windows not read-only and not held open by another program);
  // a regular file there passes its permission bits on. kNoFile on failure.
  virtual Handle create(const std::filesystem::path& temporary, const std::filesystem::path& final,
                        std::string& reason) = 0;
  // All the bytes or false.
  virtual bool write(Handle file, const char* bytes, std::size_t count, std::string& reason) = 0;
  // Closes the file; on Windows its data reaches the disk first.
  virtual bool close(Handle file, std::string& reason) = 0;
  // Makes the data of the closed files in folder durable: one sync of the
  // file system where the system has it, else file by file.
  virtual bool syncData(const std::filesystem::path& folder,
                        const std::vector<std::filesystem::path>& files, std::string& reason) = 0;
  // Puts from in the place of to, replacing what is there.
  virtual bool rename(const std::filesystem::path& from, const std::filesystem::path& to,
                      std::string& reason) = 0;
  // Makes the folder's entries (the renames) durable.
  virtual bool syncFolder(const std::filesystem::path& folder, std::string& reason) = 0;
  virtual bool remove(const std::filesystem::path& path) = 0;

  // Makes folder, empty, with the permission bits of like.
  virtual bool makeFolder(const std::filesystem::path& folder, const std::filesystem::path& like,
                          std::string& reason) = 0;
  // Gives to, a new name on the same file system, what from is: a file the
  // same file (a hard link, or a copy where the file system has none), a link
  // the same link, a folder a folder of its own with all of this below it,
  // durable; to's own entry is made durable by syncing its folder.
  virtual bool carry(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::string& reason) = 0;
  // Gives to, a new name on the same file system, the file from when it is a
  // plain file of one name that holds exactly bytes. False, with nothing
  // made, when it is not, or where a second name cannot be given (no hard
  // links there, a file of another owner, on Windows a read-only file).
  virtual bool keep(const std::filesystem::path& from, const std::filesystem::path& to,
                    std::string_view bytes) = 0;
  // Swaps the entries of two names in one folder at once, whatever happens.
  enum class Exchange { Done, Unsupported, Failed };
  virtual Exchange exchange(const std::filesystem::path& first, const std::filesystem::path& second,
                            std::string& reason) = 0;
  // Removes a folder and everything below it; links are removed, never followed.
  virtual bool removeTree(const std::filesystem::path& folder) = 0;

  // An exclusive lock, between programs, on writing into folder: a hidden
  // lock file beside it, in its parent, so that the lock holds while the
  // folder's name is switched to another folder. The folder itself must open.
  enum class LockState { Held, Busy, Unavailable };
  virtual Handle lock(const std::filesystem::path& folder, LockState& state,
                      std::string& reason) = 0;
  // Releases the lock and removes its file.
  virtual void unlock(const std::filesystem::path& folder, Handle lock) = 0;
};

class SystemFileCalls final : public FileCalls {
 public:
  Handle create(const std::filesystem::path& temporary, const std::filesystem::path& final,
                std::string& reason) override;
  bool write(Handle file, const char* bytes, std::size_t count, std::string& reason) override;
  bool close(Handle file, std::string& reason) override;
  bool syncData(const std::filesystem::path& folder,
                const std::vector<std::filesystem::path>& files, std::string& reason) override;
  bool rename(const std::filesystem::path& from, const std::filesystem::path& to,
              std::string& reason) override;
  bool syncFolder(const std::filesystem::path& folder, std::string& reason) override;
  bool remove(const std::filesystem::path& path) override;
  bool makeFolder(const std::filesystem::path& folder, const std::filesystem::path& like,
                  std::string& reason) override;
  bool carry(const std::filesystem::path& from, const std::filesystem::path& to,
             std::string& reason) override;
  bool keep(const std::filesystem::path& from, const std::filesystem::path& to,
            std::string_view bytes) override;
  Exchange exchange(const std::filesystem::path& first, const std::filesystem::path& second,
                    std::string& reason) override;
  bool removeTree(const std::filesystem::path& folder) override;
  Handle lock(const std::filesystem::path& folder, LockState& state, std::string& reason) override;
  void unlock(const std::filesystem::path& folder, Handle lock) override;
};

// The hidden lock file beside folder that FileCalls::lock takes.
inline std::filesystem::path LockFilePath(const std::filesystem::path& folder) {
  std::filesystem::path name = ".";
  name += folder.filename();
  name += ".quellmar-lock";
  return folder.parent_path() / name;
}

// A file size limit (RLIMIT_FSIZE) makes a write fail with its reason instead
// of ending the process by a signal. Called once at start by each program.
void ReportFileSizeLimitAsWriteError();

// The lock of FileCalls::lock, held while the object lives.
class ExclusiveLock {
 public:
  using State = FileCalls::LockState;

  ExclusiveLock(FileCalls& calls, const std::filesystem::path& folder)
      : calls_(calls), folder_(folder), handle_(calls.lock(folder, state_, reason_)) {}
  ~ExclusiveLock() {
    if (handle_ != FileCalls::kNoFile) calls_.unlock(folder_, handle_);
  }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

  // Busy: another holder has it. Unavailable: the folder or the lock file
  // cannot be opened or locked at all (a missing folder, one that cannot be
  // read, a parent that cannot be written).
  State state() const { return state_; }
  const std::string& reason() const { return reason_; }

 private:
  FileCalls& calls_;
  std::filesystem::path folder_;
  State state_ = State::Unavailable;
  std::string reason_;
  FileCalls::Handle handle_;  // after the two it fills
};

}  // namespace quellmar

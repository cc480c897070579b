// The operating system's file calls that the program's safety rests on, in one
// small module with one implementation per system: reading only regular
// files, writing every output file beside its final name and putting it in
// place whole, and an exclusive lock between programs. Every failure keeps
// the system's own reason ("Permission denied", "Is a directory") for the
// user to see.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

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

// A new file that replaces path when committed. The bytes go to a temporary
// file created exclusively in path's folder, never through a link or into an
// existing file; commit() closes it and renames it over path, so a link or a
// FIFO at path is replaced and never written through, and whatever was at
// path stays whole until the new file is complete. Left uncommitted, the
// temporary file is removed.
class ReplacingFile {
 public:
  explicit ReplacingFile(std::filesystem::path path);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool isOpen() const { return open_; }
  // All the bytes or an error; false once anything failed.
  bool write(const char* bytes, std::size_t count);
  // Closes and renames; false when a write, the close or the rename failed.
  bool commit();
  // Whether the failure was in making the file (the temporary or the rename)
  // rather than in writing its bytes.
  bool failedToCreate() const { return failedToCreate_; }
  const std::string& reason() const { return reason_; }

 private:
  void discard();

  std::filesystem::path path_;
  std::filesystem::path temporary_;
  std::intptr_t handle_ = -1;
  bool open_ = false;
  bool failedToCreate_ = false;
  std::string reason_;
};

// An exclusive lock on a directory, held while the object lives, that other
// programs taking the same lock see. On POSIX systems an advisory lock on the
// directory itself, so that nothing is written for it; on Windows a hidden
// lock file in it, opened without sharing and deleted when closed.
class ExclusiveLock {
 public:
  enum class State { Held, Busy, Unavailable };

  explicit ExclusiveLock(const std::filesystem::path& directory);
  ~ExclusiveLock();
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

  // Busy: another holder has it. Unavailable: the directory cannot be
  // opened or locked at all (a missing one, or on Windows one that cannot be
  // written).
  State state() const { return state_; }
  const std::string& reason() const { return reason_; }

 private:
  std::intptr_t handle_ = -1;
  State state_ = State::Unavailable;
  std::string reason_;
};

}  // namespace quellmar

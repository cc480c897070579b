// Windows side of os_file.h, with the wide-character calls on the paths that
// path_text.h makes.
#include <windows.h>

#include <atomic>
#include <string>

#include "basic/os_file.h"

namespace quellmar {
namespace {

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t Stored(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }
const std::intptr_t kNoHandle = Stored(INVALID_HANDLE_VALUE);

// The system's text for an error code, in the 8-bit code page of the
// program's texts, without the line break that ends it.
std::string Reason(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = length > 0 ? std::string(text, length) : "Error " + std::to_string(error);
  if (text != nullptr) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == ' ' || reason.back() == '.')) {
    reason.pop_back();
  }
  return reason;
}

void CloseQuietly(std::intptr_t handle) {
  if (handle != kNoHandle) CloseHandle(Handle(handle));
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  std::wstring name = L".";
  name += path.filename().wstring();
  name += L'.';
  name += std::to_wstring(GetCurrentProcessId());
  name += L'-';
  name += std::to_wstring(counter++);
  name += L".tmp";
  return path.parent_path() / name;
}

}  // namespace

InputFile::InputFile(const std::filesystem::path& path) : handle_(kNoHandle) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason_ = Reason(GetLastError());
    return;
  }
  handle_ = Stored(file);
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK) {
    reason_ = "Not a regular file";
  } else if (!GetFileSizeEx(file, &size)) {
    reason_ = Reason(GetLastError());
  } else {
    size_ = static_cast<std::uint64_t>(size.QuadPart);
    open_ = true;
  }
}

InputFile::~InputFile() { CloseQuietly(handle_); }

std::ptrdiff_t InputFile::read(char* buffer, std::size_t count) {
  if (!open_) return -1;
  const DWORD chunk = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
  DWORD got = 0;
  if (!ReadFile(Handle(handle_), buffer, chunk, &got, nullptr)) {
    reason_ = Reason(GetLastError());
    return -1;
  }
  return static_cast<std::ptrdiff_t>(got);
}

ReplacingFile::ReplacingFile(std::filesystem::path path)
    : path_(std::move(path)), handle_(kNoHandle) {
  DWORD error = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt) {
    temporary_ = TemporaryBeside(path_);
    // CREATE_NEW fails on any existing entry, a link included.
    const HANDLE file = CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      handle_ = Stored(file);
      open_ = true;
      return;
    }
    error = GetLastError();
  }
  reason_ = Reason(error);
  failedToCreate_ = true;
}

ReplacingFile::~ReplacingFile() {
  if (open_) discard();
}

void ReplacingFile::discard() {
  CloseQuietly(handle_);
  handle_ = kNoHandle;
  DeleteFileW(temporary_.c_str());
  open_ = false;
}

bool ReplacingFile::write(const char* bytes, std::size_t count) {
  if (!open_) return false;
  while (count > 0) {
    const DWORD chunk = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
    DWORD put = 0;
    if (!WriteFile(Handle(handle_), bytes, chunk, &put, nullptr) || put == 0) {
      reason_ =
          Reason(put == 0 && GetLastError() == ERROR_SUCCESS ? ERROR_DISK_FULL : GetLastError());
      discard();
      return false;
    }
    bytes += put;
    count -= put;
  }
  return true;
}

bool ReplacingFile::commit() {
  if (!open_) return false;
  const BOOL closed = CloseHandle(Handle(handle_));
  handle_ = kNoHandle;
  if (!closed) {
    reason_ = Reason(GetLastError());
    discard();
    return false;
  }
  // A read-only file is never replaced. Windows refuses that itself; wine
  // does not, so it is checked here as well.
  const DWORD attributes = GetFileAttributesW(path_.c_str());
  const bool readOnly =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly || !MoveFileExW(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    reason_ = Reason(readOnly ? ERROR_ACCESS_DENIED : GetLastError());
    failedToCreate_ = true;
    discard();
    return false;
  }
  open_ = false;
  return true;
}

ExclusiveLock::ExclusiveLock(const std::filesystem::path& directory) : handle_(kNoHandle) {
  // No sharing: while this handle is open, every other open of the file
  // fails; the file goes when the handle is closed, also by a crash.
  const auto path = directory / L".quellmar.lock";
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    handle_ = Stored(file);
    state_ = State::Held;
    return;
  }
  const DWORD error = GetLastError();
  // A lock file being deleted by its last holder refuses access for a moment.
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
      (error == ERROR_ACCESS_DENIED &&
       GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)) {
    state_ = State::Busy;
  } else {
    reason_ = Reason(error);
  }
}

ExclusiveLock::~ExclusiveLock() { CloseQuietly(handle_); }

}  // namespace quellmar

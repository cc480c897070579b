// Windows side of os_file.h, with the wide-character calls on the paths that
// path_text.h makes.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <system_error>

#include "basic/os_file.h"
#include "basic/path_text.h"

namespace quellmar {
namespace {

HANDLE Windows(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t Stored(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }
const std::intptr_t kNoHandle = Stored(INVALID_HANDLE_VALUE);

// The system's text for an error code, as UTF-8 like every text the program
// shows, without the line break that ends it. The system's words for a file
// that another program holds ("Sharing violation") do not say who holds it.
std::string Reason(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason = length > 0 ? DisplayPath(std::filesystem::path(std::wstring(text, length)))
                                  : "Error " + std::to_string(error);
  if (text != nullptr) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == ' ' || reason.back() == '.')) {
    reason.pop_back();
  }
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
      error == ERROR_USER_MAPPED_FILE)
    reason += " (another program has the file open)";
  return reason;
}

void CloseQuietly(std::intptr_t handle) {
  if (handle != kNoHandle) CloseHandle(Windows(handle));
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
  if (!ReadFile(Windows(handle_), buffer, chunk, &got, nullptr)) {
    reason_ = Reason(GetLastError());
    return -1;
  }
  return static_cast<std::ptrdiff_t>(got);
}

FileCalls::Handle SystemFileCalls::create(const std::filesystem::path& temporary,
                                          const std::filesystem::path& final, std::string& reason) {
  // What would stop the rename at the end stops the file now, before any
  // file of its set is put in place: a folder in the way, a read-only file
  // (Windows refuses to replace one; wine does not, so it is checked here),
  // a file another program holds open without sharing it.
  const DWORD attributes = GetFileAttributesW(final.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      reason = Reason(ERROR_ACCESS_DENIED);
      return kNoFile;
    }
    const HANDLE probe =
        CreateFileW(final.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
      reason = Reason(GetLastError());
      return kNoFile;
    }
    CloseHandle(probe);
  }
  // CREATE_NEW fails on any existing entry, a link included.
  const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason = Reason(GetLastError());
    return kNoFile;
  }
  return Stored(file);
}

bool SystemFileCalls::write(Handle file, const char* bytes, std::size_t count,
                            std::string& reason) {
  while (count > 0) {
    const DWORD chunk = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
    DWORD put = 0;
    if (!WriteFile(Windows(file), bytes, chunk, &put, nullptr) || put == 0) {
      reason =
          Reason(put == 0 && GetLastError() == ERROR_SUCCESS ? ERROR_DISK_FULL : GetLastError());
      return false;
    }
    bytes += put;
    count -= put;
  }
  return true;
}

// Windows syncs one file at a time: each file's data reaches the disk here.
bool SystemFileCalls::close(Handle file, std::string& reason) {
  const bool flushed = FlushFileBuffers(Windows(file)) != 0;
  const DWORD error = GetLastError();
  const bool closed = CloseHandle(Windows(file)) != 0;
  if (flushed && closed) return true;
  reason = Reason(flushed ? GetLastError() : error);
  return false;
}

bool SystemFileCalls::syncData(const std::filesystem::path&,
                               const std::vector<std::filesystem::path>&, std::string&) {
  return true;
}

bool SystemFileCalls::rename(const std::filesystem::path& from, const std::filesystem::path& to,
                             std::string& reason) {
  // A folder moves only to a free name: replacing is for files alone.
  const DWORD attributes = GetFileAttributesW(from.c_str());
  const bool folder =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const DWORD flags =
      folder ? MOVEFILE_WRITE_THROUGH : MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  if (MoveFileExW(from.c_str(), to.c_str(), flags)) return true;
  reason = Reason(GetLastError());
  return false;
}

// A rename with MOVEFILE_WRITE_THROUGH is on the disk when it returns.
bool SystemFileCalls::syncFolder(const std::filesystem::path&, std::string&) { return true; }

bool SystemFileCalls::remove(const std::filesystem::path& path) {
  return DeleteFileW(path.c_str()) != 0;
}

bool SystemFileCalls::makeFolder(const std::filesystem::path& folder,
                                 const std::filesystem::path& like, std::string& reason) {
  if (!CreateDirectoryW(folder.c_str(), nullptr)) {
    reason = Reason(GetLastError());
    return false;
  }
  // A read-only Output folder stays one.
  const DWORD attributes = GetFileAttributesW(like.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_READONLY);
  }
  return true;
}

bool SystemFileCalls::carry(const std::filesystem::path& from, const std::filesystem::path& to,
                            std::string& reason) {
  const DWORD attributes = GetFileAttributesW(from.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    reason = Reason(GetLastError());
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    // A copy where the file system has no hard links (FAT), on the disk
    // when it returns.
    if (CreateHardLinkW(to.c_str(), from.c_str(), nullptr) ||
        CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, nullptr,
                    COPY_FILE_FAIL_IF_EXISTS | COPY_FILE_NO_BUFFERING)) {
      return true;
    }
    reason = Reason(GetLastError());
    return false;
  }
  if (!CreateDirectoryW(to.c_str(), nullptr)) {
    reason = Reason(GetLastError());
    return false;
  }
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(from, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (!carry(it->path(), to / it->path().filename(), reason)) return false;
  }
  if (ec) reason = ec.message();
  SetFileAttributesW(to.c_str(), attributes);
  return !ec;
}

bool SystemFileCalls::keep(const std::filesystem::path& from, const std::filesystem::path& to,
                           std::string_view bytes) {
  const HANDLE file = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  // A read-only file is one an export may not replace: it is not kept either.
  bool same =
      GetFileInformationByHandle(file, &info) != 0 && info.nNumberOfLinks == 1 &&
      (info.dwFileAttributes &
       (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
      ((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow) == bytes.size();
  char buffer[65536];
  for (std::size_t at = 0; same && at < bytes.size();) {
    DWORD got = 0;
    const auto wanted = static_cast<DWORD>(std::min(sizeof buffer, bytes.size() - at));
    same = ReadFile(file, buffer, wanted, &got, nullptr) != 0 && got > 0 &&
           bytes.substr(at, got) == std::string_view(buffer, got);
    at += got;
  }
  CloseHandle(file);
  return same && CreateHardLinkW(to.c_str(), from.c_str(), nullptr) != 0;
}

// Windows cannot swap two names at once: the switch keeps a journal instead.
FileCalls::Exchange SystemFileCalls::exchange(const std::filesystem::path&,
                                              const std::filesystem::path&, std::string&) {
  return Exchange::Unsupported;
}

bool SystemFileCalls::removeTree(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return !ec;
}

FileCalls::Handle SystemFileCalls::lock(const std::filesystem::path& folder, LockState& state,
                                        std::string& reason) {
  state = LockState::Unavailable;
  // A missing folder is locked too: a switch cut off may have left none.
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  const DWORD missing = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
  if ((missing != ERROR_SUCCESS && missing != ERROR_FILE_NOT_FOUND) ||
      (missing == ERROR_SUCCESS && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)) {
    reason = Reason(missing != ERROR_SUCCESS ? missing : ERROR_DIRECTORY);
    return kNoFile;
  }
  // No sharing: while this handle is open, every other open of the file
  // fails; the file goes when the handle is closed, also by a crash.
  const auto path = LockFilePath(folder);
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    state = LockState::Held;
    return Stored(file);
  }
  const DWORD error = GetLastError();
  // A lock file being deleted by its last holder refuses access for a moment.
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
      (error == ERROR_ACCESS_DENIED &&
       GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)) {
    state = LockState::Busy;
  } else {
    reason = DisplayPath(path) + ": " + Reason(error);
  }
  return kNoFile;
}

// The file goes with the handle (FILE_FLAG_DELETE_ON_CLOSE).
void SystemFileCalls::unlock(const std::filesystem::path&, Handle lock) { CloseQuietly(lock); }

void ReportFileSizeLimitAsWriteError() {}

}  // namespace quellmar

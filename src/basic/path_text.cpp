#include "basic/path_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include "basic/display_text.h"

namespace quellmar {

#ifdef _WIN32

// On Windows a name is UTF-16 and the texts are in the ANSI code page: the
// two are converted through the wide API, as the system itself does for its
// 8-bit ("A") calls. std::filesystem would take the bytes as UTF-8 instead.
std::filesystem::path PathFromText(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring wide(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return std::filesystem::path(std::move(wide));
}

// A character the code page lacks becomes "?", which no file name holds,
// rather than a look-alike ("l" for "ł") that could name another file.
std::string TextFromPath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  constexpr DWORD kExact = WC_NO_BEST_FIT_CHARS;
  std::string text(
      WideCharToMultiByte(CP_ACP, kExact, wide.data(), size, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_ACP, kExact, wide.data(), size, text.data(), static_cast<int>(text.size()),
                      nullptr, nullptr);
  return text;
}

std::string DisplayPath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  std::string text(WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr),
                   '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), static_cast<int>(text.size()),
                      nullptr, nullptr);
  return text;
}

std::filesystem::path PathFromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return std::filesystem::path(std::move(wide));
}

#else

// On POSIX systems a name is a string of bytes, taken as it is both ways.
std::filesystem::path PathFromText(std::string_view text) {
  return std::filesystem::path(std::string(text));
}

std::string TextFromPath(const std::filesystem::path& path) { return path.string(); }

std::string DisplayPath(const std::filesystem::path& path) { return DisplayUtf8(path.native()); }

std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::string(text));
}

#endif

}  // namespace quellmar

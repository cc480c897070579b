#include "basic/executable.h"

#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quellmar {
namespace {

std::filesystem::path RunningExecutable() {
#ifdef _WIN32
  // The buffer grows until the whole name fits (long paths exceed MAX_PATH).
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name);
    }
    name.resize(name.size() * 2);
  }
#else
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : self;
#endif
}

}  // namespace

std::filesystem::path ExecutableFolder(const char* argv0) {
  const auto self = RunningExecutable();
  if (!self.empty()) return self.parent_path();
  std::error_code ec;
  return std::filesystem::absolute(std::filesystem::path(argv0 ? argv0 : ""), ec).parent_path();
}

}  // namespace quellmar

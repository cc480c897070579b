#include "basic/executable.h"

#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>
#endif

#include "basic/path_text.h"

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

std::vector<std::string> CommandLineArguments([[maybe_unused]] int argc,
                                              [[maybe_unused]] char** argv) {
#ifdef _WIN32
  int count = 0;
  wchar_t** given = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 0; given != nullptr && i < count; ++i)
    args.push_back(DisplayPath(std::filesystem::path(given[i])));
  LocalFree(given);
  return args;
#else
  return std::vector<std::string>(argv, argv + argc);
#endif
}

}  // namespace quellmar

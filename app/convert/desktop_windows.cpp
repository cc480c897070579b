#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <string>
#include <system_error>

#include "basic/path_text.h"
#include "desktop.h"

namespace quellmar::convert {

std::filesystem::path ExecutableDirectory(const char* argv0) {
  // The buffer grows until the whole name fits (long paths exceed MAX_PATH).
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) break;
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);
  }
  std::error_code ec;
  return std::filesystem::absolute(PathFromText(argv0), ec).parent_path();
}

void PrepareConsole() { SetConsoleOutputCP(GetACP()); }

// The shell opens the file with its default application and returns at once.
void OpenWithDesktop(const std::string& target) {
  ShellExecuteW(nullptr, L"open", PathFromText(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace quellmar::convert

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "desktop.h"

namespace quellmar::convert {

void PrepareConsole() { SetConsoleOutputCP(GetACP()); }

// The shell opens the file with its default application and returns at once.
bool OpenWithDesktop(const std::filesystem::path& document, std::string& reason) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;  // the shell's sign of success
  reason = "the shell refused it (error " + std::to_string(result) + ")";
  return false;
}

}  // namespace quellmar::convert

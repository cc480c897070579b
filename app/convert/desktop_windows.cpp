#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "desktop.h"

namespace quellmar::convert {

void PrepareConsole() { SetConsoleOutputCP(GetACP()); }

// The shell opens the file with its default application and returns at once.
void OpenWithDesktop(const std::filesystem::path& document) {
  ShellExecuteW(nullptr, L"open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace quellmar::convert

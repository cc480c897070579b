#include "basic/hidden_file.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include "basic/path_text.h"

namespace quellmar {

bool IsHiddenFile(const std::filesystem::path& path) {
  if (TextFromPath(path.filename()).starts_with(".")) return true;
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
#else
  return false;
#endif
}

}  // namespace quellmar

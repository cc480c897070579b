#include "basic/path_text.h"

namespace quellmar {

// On POSIX systems a name is a string of bytes, taken as it is both ways.
std::filesystem::path PathFromText(std::string_view text) {
  return std::filesystem::path(std::string(text));
}

std::string TextFromPath(const std::filesystem::path& path) { return path.string(); }

}  // namespace quellmar

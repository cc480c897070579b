// Where the program's 8-bit texts meet the file system's names. The export's
// file names, the chosen path and every message that shows a path hold the
// bytes of the system's 8-bit code page; the operating system wants its own
// form of a name. Every path built from a text, and every text made from a
// path, goes through these two.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quellmar {

std::filesystem::path PathFromText(std::string_view text);
std::string TextFromPath(const std::filesystem::path& path);

}  // namespace quellmar

// Where texts meet the file system's names. Paths stay the system's own
// (wide on Windows) from end to end; a name built from the export's 8-bit
// text (a dive's page, "d12.html") goes through PathFromText, and a path
// shown to a person through DisplayPath.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quellmar {

// A name from 8-bit text in the system's code page (ANSI on Windows, the
// bytes as they are elsewhere), and back; a character the code page lacks
// becomes "?".
std::filesystem::path PathFromText(std::string_view text);
std::string TextFromPath(const std::filesystem::path& path);

// The path as UTF-8 for a person to read: exact on Windows; elsewhere the
// name's bytes when they are UTF-8, else read as windows-1252.
std::string DisplayPath(const std::filesystem::path& path);

// A path typed or given as UTF-8 (a window's text, a test's name).
std::filesystem::path PathFromUtf8(std::string_view text);

}  // namespace quellmar

// Where the HTML logbook's files are, one rule for every part of the
// program: the templates in the program directory's html/ folder, the
// logbook in its Output/ folder, the index page logbook.html, and a page
// "d" + dive number + ".html" and a picture "d" + dive number + ".gif" per dive.
#pragma once

#include <cstdint>
#include <filesystem>

namespace quellmar {

std::filesystem::path TemplatePath(const std::filesystem::path& programDirectory, const char* name);
std::filesystem::path OutputFolder(const std::filesystem::path& programDirectory);
// Output/logbook.html, made absolute for a browser or a message.
std::filesystem::path IndexPagePath(const std::filesystem::path& programDirectory);
// The names of the files in the Output folder.
inline constexpr char kIndexPageName[] = "logbook.html";
std::filesystem::path DivePageName(std::int32_t number);
std::filesystem::path PictureName(std::int32_t number);

}  // namespace quellmar

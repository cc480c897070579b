#include "html_out/logbook_paths.h"

#include <string>
#include <system_error>

#include "basic/text.h"

namespace quellmar {
namespace {

// "d" + the dive number + the extension: d7.gif, d-3.html.
std::filesystem::path DiveFile(const std::filesystem::path& folder, std::int32_t number,
                               const char* extension) {
  std::string name = "d";  // built by appending: GCC 12 warns falsely on "d" + text
  name += IntText(number);
  name += extension;
  return folder / name;
}

}  // namespace

std::filesystem::path TemplatePath(const std::filesystem::path& programDirectory,
                                   const char* name) {
  return programDirectory / "html" / name;
}

std::filesystem::path OutputFolder(const std::filesystem::path& programDirectory) {
  return programDirectory / "Output";
}

std::filesystem::path IndexPagePath(const std::filesystem::path& programDirectory) {
  const auto page = OutputFolder(programDirectory) / "logbook.html";
  std::error_code ec;
  const auto absolute = std::filesystem::absolute(page, ec);
  return ec ? page : absolute;
}

std::filesystem::path DivePagePath(const std::filesystem::path& outputFolder, std::int32_t number) {
  return DiveFile(outputFolder, number, ".html");
}

std::filesystem::path PicturePath(const std::filesystem::path& outputFolder, std::int32_t number) {
  return DiveFile(outputFolder, number, ".gif");
}

}  // namespace quellmar

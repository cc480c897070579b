#include "html_out/logbook_paths.h"

#include <string>
#include <system_error>

#include "basic/text.h"

namespace quellmar {
namespace {

// "d" + the dive number + the extension: d7.gif, d-3.html.
std::filesystem::path DiveFile(std::int32_t number, const char* extension) {
  std::string name = "d";  // built by appending: GCC 12 warns falsely on "d" + text
  name += IntText(number);
  name += extension;
  return name;
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
  const auto page = OutputFolder(programDirectory) / kIndexPageName;
  std::error_code ec;
  const auto absolute = std::filesystem::absolute(page, ec);
  return ec ? page : absolute;
}

std::filesystem::path DivePageName(std::int32_t number) { return DiveFile(number, ".html"); }

std::filesystem::path PictureName(std::int32_t number) { return DiveFile(number, ".gif"); }

}  // namespace quellmar

// Reading the program's text files (the export's CSV files and the templates)
// by one line rule: a line ends at a carriage return, and a line feed right
// after it belongs to that line end; a line feed anywhere else is an ordinary
// character; a Ctrl-Z byte ends the file; a last line without a line end is
// still a line, and a final line end adds no empty line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellmar {

// The whole file as bytes, or nothing when it cannot be opened or read (a
// directory of that name cannot be opened either).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Walks the lines of a text held in memory; the views point into it.
class LineReader {
 public:
  explicit LineReader(std::string_view text);
  bool next(std::string_view& line);  // false when no line is left

 private:
  std::string_view rest_;
  bool done_ = false;
};

// All lines of a text, copied.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace quellmar

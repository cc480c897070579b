#include "basic/text_file.h"

#include <cstring>
#include <fstream>

namespace quellmar {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  // Read straight into the text, in one piece when the size is known; a file
  // that shrinks or grows meanwhile is read to its end all the same.
  const auto size = std::filesystem::file_size(path, ec);
  std::string bytes(ec ? 0 : static_cast<std::size_t>(size), '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  if (file) {
    char buffer[1 << 16];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
      bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
    }
  }
  if (file.bad()) return std::nullopt;
  return bytes;
}

LineReader::LineReader(std::string_view text) {
  const auto ctrlZ = text.find('\x1a');
  rest_ = ctrlZ == std::string_view::npos ? text : text.substr(0, ctrlZ);
  done_ = rest_.empty();
}

bool LineReader::next(std::string_view& line) {
  if (done_) return false;
  const void* cr = std::memchr(rest_.data(), '\r', rest_.size());
  if (cr == nullptr) {
    line = rest_;
    done_ = true;
    return true;
  }
  const auto end = static_cast<std::size_t>(static_cast<const char*>(cr) - rest_.data());
  line = rest_.substr(0, end);
  std::size_t skip = end + 1;
  if (skip < rest_.size() && rest_[skip] == '\n') ++skip;
  rest_.remove_prefix(skip);
  done_ = rest_.empty();
  return true;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  LineReader reader(text);
  std::string_view line;
  while (reader.next(line)) lines.emplace_back(line);
  return lines;
}

}  // namespace quellmar

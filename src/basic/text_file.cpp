#include "basic/text_file.h"

#include <cstring>
#include <fstream>
#include <utility>

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

LineFile::LineFile(const std::filesystem::path& path, std::size_t chunkSize)
    : buffer_(std::make_unique_for_overwrite<char[]>(chunkSize)), capacity_(chunkSize) {
  std::error_code ec;
  if (!std::filesystem::is_directory(path, ec)) file_.open(path, std::ios::binary);
  ended_ = !file_.is_open();
}

// Keeps the bytes not yet handed out at the front of the buffer, doubles the
// buffer when they fill it, and reads on behind them up to the first Ctrl-Z.
bool LineFile::fill() {
  if (failed_) return false;
  const std::size_t kept = end_ - begin_;
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, kept);
    begin_ = 0;
    end_ = kept;
  }
  if (end_ == capacity_) {
    auto larger = std::make_unique_for_overwrite<char[]>(capacity_ * 2);
    std::memcpy(larger.get(), buffer_.get(), end_);
    buffer_ = std::move(larger);
    capacity_ *= 2;
  }
  char* space = buffer_.get() + end_;
  file_.read(space, static_cast<std::streamsize>(capacity_ - end_));
  if (file_.bad()) {
    failed_ = true;
    ended_ = true;
    return false;
  }
  const auto got = static_cast<std::size_t>(file_.gcount());
  // A short read is the end of the file.
  if (end_ + got < capacity_) ended_ = true;
  if (const void* ctrlZ = std::memchr(space, '\x1a', got)) {
    end_ += static_cast<std::size_t>(static_cast<const char*>(ctrlZ) - space);
    ended_ = true;
  } else {
    end_ += got;
  }
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

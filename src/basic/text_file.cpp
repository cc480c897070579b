#include "basic/text_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace quellmar {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* reason) {
  InputFile file(path);
  // Read straight into the text, in one piece when the size is known; a file
  // that shrinks or grows meanwhile is read to its end all the same.
  std::string bytes(file.isOpen() ? static_cast<std::size_t>(file.size()) : 0, '\0');
  std::size_t filled = 0;
  for (std::ptrdiff_t got = 0; file.isOpen(); filled += static_cast<std::size_t>(got)) {
    if (filled == bytes.size()) bytes.resize(bytes.size() + (std::size_t{1} << 16));
    got = file.read(bytes.data() + filled, bytes.size() - filled);
    if (got <= 0) {
      if (got == 0) {
        bytes.resize(filled);
        return bytes;
      }
      break;
    }
  }
  if (reason != nullptr) *reason = file.reason();
  return std::nullopt;
}

bool EndsLinesWithLineFeeds(std::string_view text) {
  text = text.substr(0, text.find('\x1a'));
  return text.find('\r') == std::string_view::npos && text.find('\n') != std::string_view::npos;
}

bool FileEndsLinesWithLineFeeds(const std::filesystem::path& path) {
  InputFile file(path);
  if (!file.isOpen()) return false;
  bool lineFeed = false;
  char buffer[1 << 16];
  for (;;) {
    const auto got = file.read(buffer, sizeof buffer);
    if (got <= 0) return got == 0 && lineFeed;
    const std::string_view chunk(buffer, static_cast<std::size_t>(got));
    const auto ctrlZ = chunk.find('\x1a');
    const auto part = chunk.substr(0, ctrlZ);
    if (part.find('\r') != std::string_view::npos) return false;
    lineFeed = lineFeed || part.find('\n') != std::string_view::npos;
    if (ctrlZ != std::string_view::npos) return lineFeed;
  }
}

void UseLineFeedsAsLineEnds(std::string& text) {
  std::replace(text.begin(), text.end(), '\n', '\r');
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

LineFile::LineFile(const std::filesystem::path& path, std::size_t chunkSize, LineEnds ends)
    : file_(path),
      ends_(ends),
      buffer_(std::make_unique_for_overwrite<char[]>(chunkSize)),
      capacity_(chunkSize) {
  ended_ = !file_.isOpen();
}

LineFile::LineFile(InMemory, std::string_view text)
    : ends_(LineEnds::CarriageReturn),
      buffer_(std::make_unique_for_overwrite<char[]>(text.size() + 1)),
      capacity_(text.size() + 1),
      ended_(true),
      inMemory_(true) {
  const auto ctrlZ = std::min(text.find('\x1a'), text.size());
  if (ctrlZ > 0) std::memcpy(buffer_.get(), text.data(), ctrlZ);  // an empty view may hold no data
  end_ = ctrlZ;
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
  // Reads until the buffer is full, so that a short read is the end.
  std::size_t got = 0;
  while (end_ + got < capacity_) {
    const std::ptrdiff_t read = file_.read(space + got, capacity_ - end_ - got);
    if (read < 0) {
      failed_ = true;
      ended_ = true;
      return false;
    }
    if (read == 0) break;
    got += static_cast<std::size_t>(read);
  }
  // A file without carriage returns: its line feeds become the line ends.
  if (ends_ == LineEnds::LineFeed) std::replace(space, space + got, '\n', '\r');
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

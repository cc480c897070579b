// Reading the program's text files (the export's CSV files and the templates)
// by one line rule: a line ends at a carriage return, and a line feed right
// after it belongs to that line end; a line feed anywhere else is an ordinary
// character; a Ctrl-Z byte ends the file; a last line without a line end is
// still a line, and a final line end adds no empty line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "basic/os_file.h"

namespace quellmar {

// The whole file as bytes, or nothing when it is not a regular file (a
// directory, a FIFO, a device) or cannot be read; then reason, when given,
// gets the system's reason.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path,
                                         std::string* reason = nullptr);

// Walks the lines of a text held in memory; the views point into it.
class LineReader {
 public:
  explicit LineReader(std::string_view text);
  bool next(std::string_view& line);  // false when no line is left

 private:
  std::string_view rest_;
  bool done_ = false;
};

// CSV files saved by another program may end their lines with line feeds
// alone, or mix them with carriage returns: for them a line feed that does
// not follow a carriage return ends a line too. Templates keep the rule above.
enum class LineEnds { CarriageReturn, AlsoLoneLineFeed };

// Walks the lines of a file without holding it whole: the file is read in
// chunks into one buffer, and a line that runs over the end of a chunk is
// carried into the next, so memory stays at a chunk or the longest line. Each
// view is valid until the next call.
class LineFile {
 public:
  static constexpr std::size_t kChunkSize = std::size_t{1} << 20;

  // Opens the file; as ReadWholeFile, only a regular file opens.
  explicit LineFile(const std::filesystem::path& path, std::size_t chunkSize = kChunkSize,
                    LineEnds ends = LineEnds::CarriageReturn);
  // Walks a text held in memory as if it were a file's bytes (for the fuzz
  // targets, which run without files).
  struct InMemory {};
  LineFile(InMemory, std::string_view text, LineEnds ends = LineEnds::CarriageReturn);

  bool isOpen() const { return file_.isOpen() || inMemory_; }
  // Why the file did not open or could not be read on.
  const std::string& reason() const { return file_.reason(); }
  // False when no line is left or the file could not be read on.
  bool next(std::string_view& line);
  // Whether reading stopped at an error rather than at the end or a Ctrl-Z.
  bool failed() const { return failed_; }
  // Whether a lone line feed ended a line so far (LineEnds::AlsoLoneLineFeed).
  bool metLoneLineFeed() const { return metLoneLineFeed_; }
  // The bytes after the Ctrl-Z that ended the file, left unread; 0 when none
  // ended it or it was the last byte.
  std::uint64_t bytesAfterCtrlZ() const { return bytesAfterCtrlZ_; }
  // Whether the last line handed out ran to the end of the bytes without a
  // line end.
  bool lastLineUnended() const { return lastLineUnended_; }

  // The bytes read and not yet handed out (none past a Ctrl-Z), for a reader
  // that cuts the lines it can by the same rule itself and leaves the rest to
  // next(): a lone line feed that ends a line stands there as a carriage
  // return. skip(n) passes over the first n of them, which must end right
  // after a line end: a carriage return that is not the last of the bytes,
  // and its line feed if one follows.
  std::string_view buffered() const {
    return std::string_view(buffer_.get() + begin_, end_ - begin_);
  }
  void skip(std::size_t n) { begin_ += n; }

 private:
  bool fill();
  std::size_t grownCapacity() const;
  void endLinesAtLoneLineFeeds(char* bytes, std::size_t count);

  InputFile file_;
  LineEnds ends_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_;
  std::size_t begin_ = 0;   // the first byte not yet handed out
  std::size_t end_ = 0;     // the end of the bytes read
  std::uint64_t read_ = 0;  // bytes read from the file so far
  bool ended_ = false;      // nothing more comes from the file
  bool failed_ = false;
  bool inMemory_ = false;
  bool afterCarriageReturn_ = false;  // the last byte read was one, as read
  bool metLoneLineFeed_ = false;
  bool lastLineUnended_ = false;
  std::uint64_t bytesAfterCtrlZ_ = 0;
};

// Inline: the import calls it once per profile sample.
inline bool LineFile::next(std::string_view& line) {
  for (;;) {
    const char* data = buffer_.get();
    const auto* cr = static_cast<const char*>(std::memchr(data + begin_, '\r', end_ - begin_));
    if (cr != nullptr) {
      const auto at = static_cast<std::size_t>(cr - data);
      // A carriage return that ends the bytes read waits for the next byte,
      // which may be its line feed.
      if (at + 1 < end_ || ended_) {
        line = std::string_view(data + begin_, at - begin_);
        begin_ = at + 1;
        if (begin_ < end_ && data[begin_] == '\n') ++begin_;
        return true;
      }
    } else if (ended_) {
      if (begin_ == end_) return false;
      line = std::string_view(data + begin_, end_ - begin_);
      begin_ = end_;
      lastLineUnended_ = true;
      return true;
    }
    if (!fill()) return false;
  }
}

// The number, from 1, of the line on which the Ctrl-Z that ended a file
// stands, found by reading the file again up to it by the same rule: only a
// file cut short asks for it, so reading pays nothing for counting lines.
std::uint64_t CtrlZLine(const std::filesystem::path& path, LineEnds ends);

// All lines of a text, copied.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace quellmar

#include "basic/text_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "basic/uninitialised_array.h"

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
    : file_(path), ends_(ends), buffer_(UninitialisedArray<char>(chunkSize)), capacity_(chunkSize) {
  ended_ = !file_.isOpen();
}

LineFile::LineFile(InMemory, std::string_view text, LineEnds ends)
    : ends_(ends),
      buffer_(UninitialisedArray<char>(text.size() + 1)),
      capacity_(text.size() + 1),
      ended_(true),
      inMemory_(true) {
  const auto ctrlZ = text.find('\x1a');
  const auto kept = std::min(ctrlZ, text.size());
  if (kept > 0) std::memcpy(buffer_.get(), text.data(), kept);  // an empty view may hold no data
  end_ = kept;
  if (ctrlZ != std::string_view::npos) bytesAfterCtrlZ_ = text.size() - ctrlZ - 1;
  if (ends_ == LineEnds::AlsoLoneLineFeed) endLinesAtLoneLineFeeds(buffer_.get(), end_);
}

// Twice the room, but no more than the rest of the file needs when its size
// is known: a line as long as the file takes the file's size once, not up to
// twice over. One byte more than the rest, so that the read that fills it
// is short and tells the end.
std::size_t LineFile::grownCapacity() const {
  const std::size_t doubled = capacity_ * 2;
  const std::uint64_t size = file_.size();
  if (read_ >= size) return doubled;  // the file grew: no telling how far
  const std::uint64_t needed = (end_ - begin_) + (size - read_) + 1;
  return needed > capacity_ && needed < doubled ? static_cast<std::size_t>(needed) : doubled;
}

// Keeps the bytes not yet handed out at the front of the buffer, grows the
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
    const std::size_t capacity = grownCapacity();
    auto larger = UninitialisedArray<char>(capacity);
    std::memcpy(larger.get(), buffer_.get(), end_);
    buffer_ = std::move(larger);
    capacity_ = capacity;
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
  read_ += got;
  // A short read is the end of the file.
  if (end_ + got < capacity_) ended_ = true;
  if (const void* ctrlZ = std::memchr(space, '\x1a', got)) {
    const std::uint64_t after =
        read_ - got + static_cast<std::uint64_t>(static_cast<const char*>(ctrlZ) - space) + 1;
    // The size at opening: a file that grew meanwhile is not read on to tell.
    bytesAfterCtrlZ_ = std::max(file_.size(), read_) - after;
    got = static_cast<std::size_t>(static_cast<const char*>(ctrlZ) - space);
    ended_ = true;
  }
  if (ends_ == LineEnds::AlsoLoneLineFeed) endLinesAtLoneLineFeeds(space, got);
  end_ += got;
  return true;
}

namespace {

// The first line feed of [p, end) that does not follow a carriage return, or
// end; afterCarriageReturn tells what the byte before p was.
char* FindLoneLineFeed(char* p, char* const end, bool afterCarriageReturn) {
  if (p == end) return end;
  if (*p == '\n' && !afterCarriageReturn) return p;
  ++p;  // from here on the byte before is in the range
#if defined(__SSE2__)
  // 16 bytes at a time: the export's own files hold no lone line feed, and
  // this look for one costs a small part of reading them.
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i carriageReturn = _mm_set1_epi8('\r');
  const auto lone = [&](const char* at) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at - 1));
    return _mm_andnot_si128(_mm_cmpeq_epi8(before, carriageReturn), _mm_cmpeq_epi8(here, lineFeed));
  };
  // 64 bytes a step while none is found, then 16 to tell where.
  for (; end - p >= 64; p += 64) {
    const __m128i any =
        _mm_or_si128(_mm_or_si128(lone(p), lone(p + 16)), _mm_or_si128(lone(p + 32), lone(p + 48)));
    if (_mm_movemask_epi8(any) != 0) break;
  }
  for (; end - p >= 16; p += 16) {
    const int found = _mm_movemask_epi8(lone(p));
    if (found != 0) return p + std::countr_zero(static_cast<unsigned>(found));
  }
#endif
  for (; p < end; ++p) {
    if (*p == '\n' && p[-1] != '\r') return p;
  }
  return end;
}

}  // namespace

// Each lone line feed becomes a carriage return, which the line rule ends a
// line at; whether a line feed is lone is told by the bytes as read, not as
// changed.
void LineFile::endLinesAtLoneLineFeeds(char* bytes, std::size_t count) {
  char* const end = bytes + count;
  const char* changed = nullptr;  // the last line feed made a carriage return
  char* lineFeed = FindLoneLineFeed(bytes, end, afterCarriageReturn_);
  while (lineFeed != end) {
    *lineFeed = '\r';
    changed = lineFeed;
    metLoneLineFeed_ = true;
    auto* next = static_cast<char*>(std::memchr(lineFeed + 1, '\n', end - (lineFeed + 1)));
    if (next == nullptr) break;
    const bool afterCarriageReturn = next[-1] == '\r' && next - 1 != changed;
    lineFeed = afterCarriageReturn ? FindLoneLineFeed(next + 1, end, false) : next;
  }
  if (count > 0) afterCarriageReturn_ = end[-1] == '\r' && end - 1 != changed;
}

std::uint64_t CtrlZLine(const std::filesystem::path& path, LineEnds ends) {
  LineFile file(path, LineFile::kChunkSize, ends);
  std::uint64_t lines = 0;
  for (std::string_view line; file.next(line);) ++lines;
  // A Ctrl-Z right after a line end starts a line of its own.
  return file.lastLineUnended() ? lines : lines + 1;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  LineReader reader(text);
  std::string_view line;
  while (reader.next(line)) lines.emplace_back(line);
  return lines;
}

}  // namespace quellmar

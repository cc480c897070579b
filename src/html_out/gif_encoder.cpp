#include "html_out/gif_encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "basic/uninitialised_array.h"

namespace quellmar {
namespace {

constexpr std::uint32_t kClearCode = 256;
constexpr std::uint32_t kEndCode = 257;
constexpr std::uint32_t kFirstFreeCode = 258;
// When the next free code would be this one, the table starts anew instead.
constexpr std::uint32_t kTableLimit = 4095;
constexpr int kFirstWidth = 9;
constexpr int kLastWidth = 12;
// Codes per table row; a pure run of one colour is at most this long.
constexpr std::size_t kCodes = 4096;

// Packs codes from the least significant bit up, 64 bits at a time, and hands
// them to the sink as sub-blocks of 255 bytes.
class CodeWriter {
 public:
  explicit CodeWriter(ByteSink& out) : out_(out) {}

  void put(std::uint32_t code, int width) {
    bits_ |= std::uint64_t{code} << count_;
    count_ += width;
    if (count_ >= 64) {
      store(bits_);
      count_ -= 64;
      // The bits of code that did not fit; the shift is at least 1.
      bits_ = std::uint64_t{code} >> (width - count_);
    }
  }

  // Writes the last bits, the last sub-block and the block terminator.
  void finish() {
    const int bytes = (count_ + 7) / 8;
    if (used_ + 8 > raw_.size()) drain(false);
    for (int i = 0; i < bytes; ++i) raw_[used_++] = static_cast<std::uint8_t>(bits_ >> (8 * i));
    drain(true);
    out_.write(std::string_view("\0", 1));
  }

 private:
  static constexpr std::size_t kBlock = 255;
  static constexpr std::size_t kBlocksPerWrite = 64;

  void store(std::uint64_t word) {
    if (used_ + 8 > raw_.size()) drain(false);
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(raw_.data() + used_, &word, 8);
    } else {
      for (int i = 0; i < 8; ++i) raw_[used_ + i] = static_cast<std::uint8_t>(word >> (8 * i));
    }
    used_ += 8;
  }

  // Writes the full sub-blocks gathered so far (and with all, the short last
  // one too); what is left moves to the front.
  void drain(bool all) {
    framed_.clear();
    std::size_t start = 0;
    while (used_ - start >= kBlock || (all && used_ > start)) {
      const std::size_t size = std::min(kBlock, used_ - start);
      framed_.push_back(static_cast<char>(size));
      framed_.append(reinterpret_cast<const char*>(raw_.data() + start), size);
      start += size;
    }
    if (!framed_.empty()) out_.write(framed_);
    std::memmove(raw_.data(), raw_.data() + start, used_ - start);
    used_ -= start;
  }

  ByteSink& out_;
  std::uint64_t bits_ = 0;
  int count_ = 0;  // bits waiting in bits_, always below 64
  std::array<std::uint8_t, kBlock * kBlocksPerWrite + 8> raw_{};
  std::size_t used_ = 0;
  std::string framed_;
};

// The end of the run of colour c that starts at p.
const std::uint8_t* RunEnd(const std::uint8_t* p, const std::uint8_t* end, std::uint8_t c) {
  const std::uint64_t pattern = 0x0101010101010101ULL * c;
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    const std::uint64_t differ = word ^ pattern;
    if (differ != 0) {
      if constexpr (std::endian::native == std::endian::little) {
        return p + std::countr_zero(differ) / 8;
      } else {
        return p + std::countl_zero(differ) / 8;
      }
    }
    p += 8;
  }
  while (p < end && *p == c) ++p;
  return p;
}

// GIF's variant of LZW over one picture's indices.
//
// The string table is split in two. A pure run (one colour repeated) is found
// by its colour and length, so a run of pixels costs one scan and one code per
// table entry it passes, not a lookup per pixel. Every other string is found
// in a dense table indexed by (prefix code, rank of the next colour among the
// colours the picture uses): a picture of a few colours keeps that table small
// and in cache. The two never hold the same string: a pure run extended by its
// own colour is always looked up as a run.
class LzwEncoder {
 public:
  LzwEncoder(const std::vector<std::uint8_t>& pixels, CodeWriter& out)
      : pixels_(pixels), out_(out) {
    rankColours();
    // Rows of pairs_ are cleared as their codes come into use, so only the
    // part of the tables a picture reaches is ever touched.
    pairs_ = UninitialisedArray<std::uint16_t>(kCodes * colours_.size());
    runs_ = UninitialisedArray<std::uint16_t>(kCodes * colours_.size());
    clearTable();
  }

  void encode() {
    out_.put(kClearCode, width_);
    const std::uint8_t* p = pixels_.data();
    const std::uint8_t* const end = p + pixels_.size();
    if (p == end) {
      out_.put(kEndCode, width_);
      return;
    }
    // The string matched so far is code; when runLength is not 0 it is that
    // many pixels of colour rank runRank.
    std::uint32_t code = *p;
    std::uint32_t runRank = rank_[*p];
    std::uint64_t runLength = 1;
    ++p;
    while (p < end) {
      const std::uint8_t c = *p;
      const std::uint32_t r = rank_[c];
      if (runLength != 0 && r == runRank) {
        const std::uint8_t* runEnd = RunEnd(p, end, c);
        runLength += static_cast<std::uint64_t>(runEnd - p);
        p = runEnd;
        code = matchRun(r, runLength);
        continue;
      }
      const std::size_t slot = code * colours_.size() + r;
      if (pairs_[slot] != 0) {
        code = pairs_[slot];
        runLength = 0;
      } else {
        if (emit(code)) pairs_[slot] = newCode();
        code = c;
        runLength = 1;
        runRank = r;
      }
      ++p;
    }
    out_.put(code, width_);
    widen();
    out_.put(kEndCode, width_);
  }

 private:
  void rankColours() {
    std::array<bool, 256> seen{};
    const std::uint8_t* p = pixels_.data();
    const std::uint8_t* const end = p + pixels_.size();
    while (p < end) {
      seen[*p] = true;
      p = RunEnd(p, end, *p);
    }
    for (int c = 0; c < 256; ++c) {
      if (!seen[c]) continue;
      rank_[c] = static_cast<std::uint8_t>(colours_.size());
      colours_.push_back(static_cast<std::uint16_t>(c));
    }
  }

  // Codes the leading part of a run of length pixels of colour rank r and
  // returns the code of the run's rest, which stays the string being matched;
  // length becomes the rest's length.
  std::uint32_t matchRun(std::uint32_t r, std::uint64_t& length) {
    std::uint16_t* codes = &runs_[r * kCodes];
    // A run of one pixel is the colour's own code, not kept in runs_.
    const auto code = [&](std::uint64_t n) { return n == 1 ? colours_[r] : codes[n]; };
    while (length > runLongest_[r]) {
      const std::uint32_t longest = runLongest_[r];
      if (emit(code(longest))) {
        codes[longest + 1] = newCode();
        runLongest_[r] = static_cast<std::uint16_t>(longest + 1);
      }
      length -= longest;
    }
    return code(length);
  }

  // Writes a string's code. True when the table takes a new entry (the code
  // next_); false when it was full and has started anew instead.
  bool emit(std::uint32_t code) {
    out_.put(code, width_);
    widen();
    if (next_ < kTableLimit) return true;
    out_.put(kClearCode, width_);
    clearTable();
    return false;
  }

  // The decoder reads the next code one bit wider once the table it builds
  // one step behind ours could need it.
  void widen() {
    if (next_ >= (1U << width_) && width_ < kLastWidth) ++width_;
  }

  // The next free code, with no string in the table that extends it yet.
  std::uint16_t newCode() {
    std::fill_n(&pairs_[next_ * colours_.size()], colours_.size(), std::uint16_t{0});
    return static_cast<std::uint16_t>(next_++);
  }

  void clearTable() {
    for (const auto c : colours_)
      std::fill_n(&pairs_[c * colours_.size()], colours_.size(), std::uint16_t{0});
    runLongest_.assign(colours_.size(), 1);
    next_ = kFirstFreeCode;
    width_ = kFirstWidth;
  }

  const std::vector<std::uint8_t>& pixels_;
  CodeWriter& out_;
  std::array<std::uint8_t, 256> rank_{};
  std::vector<std::uint16_t> colours_;      // by rank
  std::unique_ptr<std::uint16_t[]> pairs_;  // [prefix code][rank]: code, 0 if none
  std::unique_ptr<std::uint16_t[]> runs_;   // [rank][length]: code of the run, from length 2
  std::vector<std::uint16_t> runLongest_;   // [rank]: longest run in the table
  std::uint32_t next_ = kFirstFreeCode;
  int width_ = kFirstWidth;
};

void PutWord(std::string& bytes, int value) {
  bytes.push_back(static_cast<char>(value & 0xFF));
  bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
}

std::string Header(const IndexedImage& picture) {
  std::string bytes = "GIF87a";
  PutWord(bytes, picture.width);
  PutWord(bytes, picture.height);
  bytes += '\x77';  // no global table; colour resolution and size fields 7
  bytes += '\0';    // background index
  bytes += '\0';    // pixel aspect
  bytes += '\x2C';  // image separator
  PutWord(bytes, 0);
  PutWord(bytes, 0);
  PutWord(bytes, picture.width);
  PutWord(bytes, picture.height);
  bytes += '\x87';  // local table of 256 entries, not interlaced, not sorted
  constexpr std::size_t kTable = 256 * 3;
  const std::size_t given = std::min(kTable, picture.palette.size());
  bytes.append(reinterpret_cast<const char*>(picture.palette.data()), given);
  bytes.append(kTable - given, '\0');
  bytes += '\x08';  // LZW minimum code size
  return bytes;
}

}  // namespace

bool WriteGif(const IndexedImage& picture, ByteSink& out) {
  if (picture.width < 0 || picture.width > kGifMaxSide || picture.height < 0 ||
      picture.height > kGifMaxSide) {
    throw std::invalid_argument("GIF picture side outside 0..65535");
  }
  if (picture.pixels.size() !=
      static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
    throw std::invalid_argument("GIF picture pixel count is not width * height");
  }
  out.write(Header(picture));
  CodeWriter codes(out);
  LzwEncoder(picture.pixels, codes).encode();
  codes.finish();
  out.write(std::string_view("\x3B", 1));
  return out.good();
}

}  // namespace quellmar

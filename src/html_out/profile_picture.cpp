#include "html_out/profile_picture.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <vector>

#include "basic/byte_sink.h"
#include "basic/fields.h"
#include "basic/path_text.h"
#include "basic/text.h"
#include "html_out/gif_encoder.h"
#include "html_out/logbook_paths.h"

namespace quellmar {
namespace {

constexpr std::uint8_t kNavy = CubeIndex(0, 0, 128);
constexpr std::uint8_t kBlack = CubeIndex(0, 0, 0);
constexpr std::uint8_t kWater = CubeIndex(0x11, 0x42, 0xB2);
constexpr std::uint8_t kWaterLine = CubeIndex(0x72, 0x9B, 0xFA);
constexpr std::uint8_t kWhite = CubeIndex(255, 255, 255);
static_assert(kNavy == 2 && kBlack == 0 && kWater == 9 && kWaterLine == 94 && kWhite == 215);

// The water texture repeats every 30 rows; its last row is the light line.
constexpr int kTextureRows = 30;
constexpr int kRowsPerMetre = 3;

const char* const kNoMemory = "Failed to allocate memory for GIF DIB";

constexpr std::array<std::uint8_t, 256 * 3> kCubeTable = [] {
  std::array<std::uint8_t, 256 * 3> table{};
  for (int entry = 0; entry < 216; ++entry) {
    table[3 * entry] = static_cast<std::uint8_t>(51 * (entry / 36));
    table[3 * entry + 1] = static_cast<std::uint8_t>(51 * (entry / 6 % 6));
    table[3 * entry + 2] = static_cast<std::uint8_t>(51 * (entry % 6));
  }
  return table;
}();

std::vector<std::uint8_t> CubePalette() { return {kCubeTable.begin(), kCubeTable.end()}; }

bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Reads the field at p in whole numbers when it is written the way the
// export writes a depth: an optional "-", 1 to 7 digits, optionally "." and
// at most 6 more, then "," or the end. For numbers this short that gives
// exactly what NextRoundedField gives: the hundredths it takes from the
// 64-bit float are the two digits after the point. Returns the position after
// the field's comma (or end), or nullptr for any other field.
const char* ReadPlainSample(const char* p, const char* end, std::int32_t& sample) {
  const bool negative = *p == '-';
  const char* q = p + (negative ? 1 : 0);
  const char* const whole = q;
  const char* const wholeEnd = std::min(end, whole + 8);
  std::uint32_t value = 0;
  for (; q < wholeEnd && IsDigit(*q); ++q) {
    value = value * 10 + static_cast<std::uint32_t>(*q - '0');
  }
  const auto wholeDigits = q - whole;
  std::ptrdiff_t fractionDigits = 0;
  std::uint32_t hundredths = 0;
  if (q < end && *q == '.') {
    const char* const fraction = ++q;
    const char* const fractionEnd = std::min(end, fraction + 7);
    while (q < fractionEnd && IsDigit(*q)) ++q;
    fractionDigits = q - fraction;
    if (fractionDigits >= 1) hundredths = 10 * static_cast<std::uint32_t>(fraction[0] - '0');
    if (fractionDigits >= 2) hundredths += static_cast<std::uint32_t>(fraction[1] - '0');
  }
  if (wholeDigits < 1 || wholeDigits > 7 || fractionDigits > 6 || (q != end && *q != ',')) {
    return nullptr;
  }
  // Negative depths are cut toward zero, as NextRoundedField does.
  const auto whole32 = static_cast<std::int32_t>(value);
  sample = negative ? -whole32 : whole32 + (hundredths > 49 ? 1 : 0);
  return q == end ? end : q + 1;
}

// The usual depth fields ("7", "12", "0.0", "12.5", "12.75") in one short
// pass: 1 or 2 digits, optionally "." and at most 2 more, then "," or the
// end; the same result as ReadPlainSample, which takes every other field.
const char* ReadShortSample(const char* p, const char* end, std::int32_t& sample) {
  const char* q = p;
  std::uint32_t value = static_cast<unsigned char>(*q++ - '0');
  if (value > 9) return nullptr;
  if (q < end && IsDigit(*q)) value = value * 10 + static_cast<std::uint32_t>(*q++ - '0');
  std::uint32_t hundredths = 0;
  if (q < end && *q == '.') {
    ++q;
    if (q < end && IsDigit(*q)) {
      hundredths = 10 * static_cast<std::uint32_t>(*q++ - '0');
      if (q < end && IsDigit(*q)) hundredths += static_cast<std::uint32_t>(*q++ - '0');
    }
  }
  if (q == end) {
    sample = static_cast<std::int32_t>(value + (hundredths > 49 ? 1 : 0));
    return end;
  }
  if (*q != ',') return nullptr;
  sample = static_cast<std::int32_t>(value + (hundredths > 49 ? 1 : 0));
  return q + 1;
}

// What one picture is drawn from: the samples in whole metres, the depth D at
// the picture's bottom and the picture's size.
struct Plan {
  std::span<const std::int32_t> samples;
  std::int64_t depth = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
};

Plan MakePlan(std::span<const std::int32_t> samples, std::int16_t maxDepth,
              std::int32_t pixelsPerSample) {
  Plan plan;
  plan.samples = samples;
  // The next multiple of ten strictly above the maximum depth, at least 40.
  plan.depth = maxDepth < 40 ? 40 : (maxDepth / 10 + 1) * 10;
  plan.height = kRowsPerMetre * plan.depth;
  plan.width = static_cast<std::int64_t>(plan.samples.size()) * std::max(pixelsPerSample, 0);
  if (plan.width == 0) plan.height = 0;
  return plan;
}

bool FitsGif(const Plan& plan) { return plan.width <= kGifMaxSide && plan.height <= kGifMaxSide; }

std::string TooLargeText(const Plan& plan) {
  return "a profile picture of " + std::to_string(plan.width) + " x " +
         std::to_string(plan.height) + " pixels is larger than a GIF file can hold";
}

// Whole-number arithmetic, exact, so every platform draws the same pixels.
std::int64_t FloorQuotient(std::int64_t num, std::int64_t den) {
  const std::int64_t q = num / den;
  return q * den > num ? q - 1 : q;
}

// floor + rest / den (0 <= rest < den) rounded to the nearest whole number,
// a half to the even one.
std::int64_t Rounded(std::int64_t floor, std::int64_t rest, std::int64_t den) {
  return 2 * rest > den || (2 * rest == den && (floor & 1) != 0) ? floor + 1 : floor;
}

// num / den rounded, a half to the even neighbour; den > 0.
std::int64_t RoundedQuotient(std::int64_t num, std::int64_t den) {
  const std::int64_t q = FloorQuotient(num, den);
  return Rounded(q, num - q * den, den);
}

// round(k num / den) for k = 0, 1, 2 ..., one step at a time with a single
// division in all; den > 0.
class RoundedSteps {
 public:
  RoundedSteps(std::int64_t num, std::int64_t den)
      : den_(den), step_(FloorQuotient(num, den)), stepRest_(num - step_ * den) {}
  std::int64_t value() const { return Rounded(floor_, rest_, den_); }
  void next() {
    floor_ += step_;
    rest_ += stepRest_;
    if (rest_ >= den_) {
      rest_ -= den_;
      ++floor_;
    }
  }

 private:
  std::int64_t den_;
  std::int64_t step_;
  std::int64_t stepRest_;
  std::int64_t floor_ = 0;
  std::int64_t rest_ = 0;
};

// Calls whiten(column, top) for each column that shows white, from the left,
// with the first row of its white area. Sample i lies at x(i) = 1 + round(i
// (W - 2) / (n - 1)), y(i) = B - round((D - d(i)) (H - 2) / D) with B = H - 1.
// The segment from sample i - 1 to i whitens the columns x(i - 1) to x(i) - 1
// from its top edge down to row B - 1: the right and bottom edges of a filled
// polygon are left out. The top edge of a slanted segment at column c is the
// line's y there, rounded like the positions: y(i - 1) + round((y(i) - y(i -
// 1)) (c - x(i - 1)) / (x(i) - x(i - 1))). Only the picture clips the area, so
// a negative depth whitens the top rows and a column whose edge lies below
// B - 1 gets no white. (The columns always lie in the picture: 1 <= x(i) <=
// W - 1, each column at most once.)
template <typename Whiten>
void ForEachWhiteTop(const Plan& plan, Whiten whiten) {
  const std::int64_t width = plan.width;
  const std::int64_t height = plan.height;
  const std::int64_t depth = plan.depth;
  const auto n = static_cast<std::int64_t>(plan.samples.size());
  if (n < 2) return;
  const std::int64_t bottom = height - 1;

  // The rows of the depths 0 to D, where nearly every sample lies.
  std::vector<std::int32_t> depthRows(static_cast<std::size_t>(depth) + 1);
  RoundedSteps above(height - 2, depth);
  for (std::int64_t k = 0; k <= depth; ++k, above.next()) {
    depthRows[static_cast<std::size_t>(depth - k)] =
        static_cast<std::int32_t>(bottom - above.value());
  }
  const auto y = [&](std::int64_t d) -> std::int64_t {
    if (d >= 0 && d <= depth) return depthRows[static_cast<std::size_t>(d)];
    return bottom - RoundedQuotient((depth - d) * (height - 2), depth);
  };
  const auto whitenFrom = [&](std::int64_t column, std::int64_t top) {
    if (top <= bottom - 1) {
      whiten(static_cast<std::int32_t>(column),
             static_cast<std::int32_t>(std::max<std::int64_t>(top, 0)));
    }
  };

  RoundedSteps x(width - 2, n - 1);
  std::int64_t x0 = 1 + x.value();
  std::int64_t y0 = y(plan.samples[0]);
  for (std::size_t i = 1; i < plan.samples.size(); ++i) {
    x.next();
    const std::int64_t x1 = 1 + x.value();
    const std::int64_t y1 = y(plan.samples[i]);
    if (x1 > x0) whitenFrom(x0, y0);
    if (x1 - x0 > 1) {
      RoundedSteps edge(y1 - y0, x1 - x0);
      for (std::int64_t c = x0 + 1; c < x1; ++c) {
        edge.next();
        whitenFrom(c, y0 + edge.value());
      }
    }
    x0 = x1;
    y0 = y1;
  }
}

// The white that begins in each row, as lists of runs of neighbouring
// columns: a flat stretch of the profile is one run, whitened in one go, and
// the lists are built in one pass over the columns with no sorting.
class WhiteStarts {
 public:
  explicit WhiteStarts(const Plan& plan)
      : links_(new std::int32_t[static_cast<std::size_t>(plan.height + 3 * plan.width)]),
        first_(links_.get()),
        runStart_(first_ + plan.height),
        runEnd_(runStart_ + plan.width),
        runNext_(runEnd_ + plan.width) {
    std::fill(first_, first_ + plan.height, -1);
    std::int32_t runs = 0;
    std::int32_t row = -1;
    std::int32_t start = 0;
    std::int32_t end = 0;
    const auto close = [&] {
      if (row < 0) return;
      runStart_[runs] = start;
      runEnd_[runs] = end;
      runNext_[runs] = first_[row];
      first_[row] = runs++;
    };
    ForEachWhiteTop(plan, [&](std::int32_t column, std::int32_t top) {
      if (top == row && column == end) {
        ++end;
        return;
      }
      close();
      row = top;
      start = column;
      end = column + 1;
    });
    close();
  }

  bool none(int y) const { return first_[y] < 0; }

  // Calls paint(start, end) for each run of columns whose white begins at row y.
  template <typename Paint>
  void forEach(int y, Paint paint) const {
    for (auto run = first_[y]; run >= 0; run = runNext_[run]) paint(runStart_[run], runEnd_[run]);
  }

 private:
  std::unique_ptr<std::int32_t[]> links_;  // all the arrays below, never zero-filled
  std::int32_t* first_;                    // per row: its first run, or -1
  std::int32_t* runStart_;
  std::int32_t* runEnd_;
  std::int32_t* runNext_;  // per run: the next run of its row, or -1
};

// Row y of the picture without the white area: the navy background and ring,
// the black frame through columns 1 and W - 1 and rows 1 and H - 1, and the
// water texture in columns 1 to W - 2 and rows 2 to H - 3 (over the frame's
// left column). Row H - 2 keeps the navy between the frame's columns.
void DrawBackgroundRow(std::uint8_t* row, int y, int width, int height) {
  std::memset(row, kNavy, static_cast<std::size_t>(width));
  if (y == 0) return;
  if (y == 1 || y == height - 1) {
    std::fill(row + 1, row + width, kBlack);
  } else if (width > 1) {
    row[1] = kBlack;
  }
  row[width - 1] = kBlack;
  if (y >= 2 && y <= height - 3 && width >= 3) {
    const bool line = (y - 2) % kTextureRows == kTextureRows - 1;
    std::memset(row + 1, line ? kWaterLine : kWater, static_cast<std::size_t>(width - 2));
  }
}

// Whitens row where from is white (written as a select so that it runs on
// whole vectors).
void CopyWhite(const std::uint8_t* from, std::uint8_t* row, std::size_t width) {
  for (std::size_t c = 0; c < width; ++c) row[c] = from[c] == kWhite ? kWhite : row[c];
}

// The picture's pixels, appended row by row into reserved room: nothing is
// filled twice.
class PixelWriter {
 public:
  PixelWriter(std::vector<std::uint8_t>& pixels, std::size_t width, std::size_t rows)
      : pixels_(pixels), width_(width) {
    pixels_.reserve(width * rows);
  }
  // Appends count copies of the row.
  void put(const std::uint8_t* row, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) pixels_.insert(pixels_.end(), row, row + width_);
  }

 private:
  std::vector<std::uint8_t>& pixels_;
  std::size_t width_;
};

// The whole picture, row by row from the top. A column's white runs from its
// top down to row H - 2, so the white of a row holds all the white of the row
// above: a water row and a water line row are kept, whitened where runs
// begin, and copied out; the rows between are copies of them.
IndexedImage Draw(const Plan& plan) {
  const int width = static_cast<int>(plan.width);
  const int height = static_cast<int>(plan.height);
  const auto w = static_cast<std::size_t>(width);
  IndexedImage picture{width, height, {}, CubePalette()};
  const WhiteStarts starts(plan);

  // The water row, the water line row and a row for the others.
  std::unique_ptr<std::uint8_t[]> rows(new std::uint8_t[3 * w]);
  std::uint8_t* const water = rows.get();
  std::uint8_t* const line = water + w;
  std::uint8_t* const other = line + w;
  DrawBackgroundRow(water, 2, width, height);
  DrawBackgroundRow(line, 2 + kTextureRows - 1, width, height);
  const auto whiten = [&](std::int32_t start, std::int32_t end) {
    const auto count = static_cast<std::size_t>(end - start);
    std::memset(water + start, kWhite, count);
    std::memset(line + start, kWhite, count);
  };
  PixelWriter out(picture.pixels, w, static_cast<std::size_t>(height));

  // Rows 0 and 1: the ring and the frame, with the white beginning there.
  DrawBackgroundRow(other, 0, width, height);
  starts.forEach(0, [&](std::int32_t start, std::int32_t end) {
    std::memset(other + start, kWhite, static_cast<std::size_t>(end - start));
    whiten(start, end);
  });
  out.put(other, 1);
  DrawBackgroundRow(other, 1, width, height);
  CopyWhite(water, other, w);
  starts.forEach(1, [&](std::int32_t start, std::int32_t end) {
    std::memset(other + start, kWhite, static_cast<std::size_t>(end - start));
    whiten(start, end);
  });
  out.put(other, 1);

  // Rows 2 to H - 3: water with a line row every 30 rows.
  for (int y = 2; y <= height - 3;) {
    starts.forEach(y, whiten);
    const int phase = (y - 2) % kTextureRows;
    const bool isLine = phase == kTextureRows - 1;
    const int limit = isLine ? y + 1 : std::min(y + kTextureRows - 1 - phase, height - 2);
    int next = y + 1;
    while (next < limit && starts.none(next)) ++next;
    out.put(isLine ? line : water, static_cast<std::size_t>(next - y));
    y = next;
  }

  // Row H - 2: navy inside the frame, under all the white; then the frame.
  starts.forEach(height - 2, whiten);
  DrawBackgroundRow(other, height - 2, width, height);
  CopyWhite(water, other, w);
  out.put(other, 1);
  DrawBackgroundRow(other, height - 1, width, height);
  out.put(other, 1);
  return picture;
}

IndexedImage DrawOrThrow(const Plan& plan) {
  try {
    return Draw(plan);
  } catch (const std::bad_alloc&) {
    throw ExportError(kNoMemory);
  }
}

// The picture as a GIF file of the set; a picture that could not be written
// whole leaves nothing behind.
void WriteGifFile(const IndexedImage& picture, FileSet& files, const std::filesystem::path& name) {
  FileSink sink(files, name);
  RequireCreated(sink);
  WriteGif(picture, sink);
  Finish(sink);
}

}  // namespace

std::vector<std::int32_t> ProfileSamples(std::string_view profile) {
  const char* p = profile.data();
  const char* const end = p + profile.size();
  std::vector<std::int32_t> samples;
  samples.reserve(profile.size() / 2 + 1);
  // A last field of one character is not read: "12,5" is the one sample 12.
  while (end - p >= 2) {
    std::int32_t sample;
    if (const char* next = ReadShortSample(p, end, sample)) {
      p = next;
    } else if (const char* next = ReadPlainSample(p, end, sample)) {
      p = next;
    } else {
      std::string_view rest(p, static_cast<std::size_t>(end - p));
      sample = NextRoundedField(rest);
      p = end - rest.size();
    }
    samples.push_back(sample);
  }
  return samples;
}

std::int32_t PixelsPerSample(std::string_view pxText) {
  std::size_t p = 0;
  while (p < pxText.size() && pxText[p] == ' ') ++p;
  bool negative = false;
  if (p < pxText.size() && (pxText[p] == '+' || pxText[p] == '-')) {
    negative = pxText[p] == '-';
    ++p;
  }
  // A long digit string saturates at the 32-bit range instead of wrapping.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t value = 0;
  for (; p < pxText.size() && pxText[p] >= '0' && pxText[p] <= '9'; ++p) {
    value = std::min(value * 10 + (pxText[p] - '0'), kLimit);
  }
  if (negative) return static_cast<std::int32_t>(-value);
  return static_cast<std::int32_t>(std::min(value, kLimit - 1));
}

IndexedImage DrawProfile(std::span<const std::int32_t> samples, std::int16_t maxDepth,
                         std::int32_t pixelsPerSample) {
  const Plan plan = MakePlan(samples, maxDepth, pixelsPerSample);
  if (plan.width == 0) return IndexedImage{0, 0, {}, CubePalette()};
  if (!FitsGif(plan)) throw ExportError(TooLargeText(plan));
  return DrawOrThrow(plan);
}

IndexedImage RenderProfile(std::string_view profile, std::int16_t maxDepth,
                           std::int32_t pixelsPerSample) {
  return DrawProfile(ProfileSamples(profile), maxDepth, pixelsPerSample);
}

IndexedImage MakeProfilePicture(const Dive& dive, std::int32_t pixelsPerSample, FileSet& files) {
  const std::vector<std::int32_t> samples = ProfileSamples(dive.profile);
  const Plan plan = MakePlan(samples, dive.maxDepth, pixelsPerSample);
  // A pixel count of 0 or less (or a profile without a sample) leaves no
  // picture to make: nothing is drawn or written, and a file of an earlier
  // export stays as it was. The export refuses such a count before it writes
  // anything, so this only guards other callers.
  if (plan.width == 0) return {};
  // A GIF file cannot hold a side above 65535 pixels. Such a picture (say
  // 100,000 samples at 1000 pixels each) is refused before anything is
  // allocated, rather than written as a corrupt file; one that memory cannot
  // hold is refused too. Either is this dive's alone: the export goes on.
  if (!FitsGif(plan)) throw PictureNotMade(TooLargeText(plan));
  IndexedImage picture;
  try {
    picture = Draw(plan);
  } catch (const std::bad_alloc&) {
    throw PictureNotMade(kNoMemory);
  }
  WriteGifFile(picture, files, PictureName(dive.number));
  return picture;
}

}  // namespace quellmar

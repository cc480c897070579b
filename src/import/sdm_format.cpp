#include "import/sdm_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <optional>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "basic/decimal.h"
#include "basic/fields.h"
#include "basic/rtf_text.h"

namespace quellmar {
namespace {

// Texts shorter than this are passed over as notes and profiles.
constexpr std::size_t kMinText = 2;
// The export cuts a long note into lines of this many characters.
constexpr std::size_t kNotePiece = 254;

std::int16_t Low16(std::int32_t value) { return static_cast<std::int16_t>(value); }

std::int16_t NextInt16(std::string_view& line) { return Low16(NextIntField(line)); }
std::int16_t NextRounded16(std::string_view& line) { return Low16(NextRoundedField(line)); }

// A number column into both of its fields: the exact value, taken before the
// field routine cuts the column, and the whole number the templates show. A
// quoted field reads as no number, as the field routines read it as 0.
void NextNumber(std::string_view& line, std::optional<Decimal>& exact, std::int16_t& whole,
                std::int16_t (*read)(std::string_view&) = NextInt16) {
  exact = Decimal::Parse(line.substr(0, line.find(',')));
  whole = read(line);
}

void NextText(std::string_view& line, std::string& field, std::size_t keep = std::string::npos) {
  field.assign(NextTextView(line).substr(0, keep));
}

// Pairs of spaces become breaks, from the left; an odd space stays, so three
// spaces give a break and a space. A pair at the very start is replaced like
// any other. Nothing else changes, so a rewritten text holds no pair and a
// second rewrite leaves it as it is.
void ReplaceSpacePairs(std::string& text) {
  auto pair = text.find("  ");
  if (pair == std::string::npos) return;
  std::string out;
  out.reserve(text.size() + text.size() / 2 * (kBreakText.size() - 2));
  std::size_t from = 0;
  while (pair != std::string::npos) {
    out.append(text, from, pair - from);
    out.append(kBreakText);
    from = pair + 2;
    pair = text.find("  ", from);
  }
  out.append(text, from);
  text = std::move(out);
}

// The text of a note stored as RTF, ready for HTML: it is no markup, so
// "&", "<" and ">" are written as references, and each line end becomes a
// break. Blanks and line ends alone, or a single character, make no note.
std::string NoteFromRtfText(std::string_view text) {
  if (text.size() < kMinText || text.find_first_not_of(" \t\n") == std::string_view::npos) {
    return {};
  }
  std::string note;
  note.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        note += "&amp;";
        break;
      case '<':
        note += "&lt;";
        break;
      case '>':
        note += "&gt;";
        break;
      case '\n':
        note += kBreakText;
        break;
      default:
        note += c;
    }
  }
  return note;
}

// The profile file has a line per sample, most of them a short key, a
// sample number and a depth: their fields are cut by a plain forward scan
// here, without a call per field. A quoted field, or a key that is not plain
// digits, goes to the field routines, so every line reads as they read it.
inline std::string_view CutBareField(std::string_view& line) {
  std::size_t end = 0;
  while (end < line.size() && line[end] != ',') ++end;
  const std::string_view field = line.substr(0, end);
  line.remove_prefix(end < line.size() ? end + 1 : end);
  return field;
}

std::string_view NextProfileText(std::string_view& line) {
  if (!line.empty() && line.front() == '"') return NextTextView(line);
  return CutBareField(line);
}

std::int32_t NextProfileKey(std::string_view& line) {
  std::string_view field = CutBareField(line);
  constexpr std::size_t kSafeDigits = 9;  // no overflow of 32 bits
  if (field.empty() || field.size() > kSafeDigits) return NextIntField(field);
  std::int32_t key = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') return NextIntField(field);
    key = key * 10 + (c - '0');
  }
  return key;
}

// A new run gets room for as many samples as the run before it, as a dive's
// samples usually number about the same as the last dive's; a run that took
// far less than its room gives the rest back first.
void StartProfileRun(std::vector<Profile>& profiles, std::int32_t key, std::string_view depth) {
  std::size_t room = depth.size();
  if (!profiles.empty()) {
    std::string& last = profiles.back().text;
    if (last.capacity() > 2 * last.size() + 64) last.shrink_to_fit();
    room = std::max(room, last.size());
  }
  std::string& text = profiles.emplace_back(Profile{key, {}}).text;
  text.reserve(room);
  text = depth;
}

}  // namespace

void ReadNoteLine(std::string_view line, std::vector<NoteLine>& notes) {
  NoteLine& note = notes.emplace_back();
  note.key = NextIntField(line);
  note.text = NextTextField(line);
}

void ReadProfileLine(std::string_view line, std::vector<Profile>& profiles) {
  const std::int32_t key = NextProfileKey(line);
  NextProfileText(line);  // the sample number
  const std::string_view depth = NextProfileText(line);
  // The lists are emptied before the file is read, so the last element, when
  // there is one, belongs to the line before.
  if (!profiles.empty() && profiles.back().key == key) {
    std::string& text = profiles.back().text;
    text += ',';
    text += depth;
  } else {
    StartProfileRun(profiles, key, depth);
  }
}

namespace {

// The profile lines of a file with their last plain key, which lets lines of
// the same key be joined without reading the key again.
class ProfileReader {
 public:
  explicit ProfileReader(std::vector<Profile>& profiles) : profiles_(profiles) {}

  // Any line, as ReadProfileLine reads it; a key of plain digits that cannot
  // overflow is kept for the lines after it.
  void add(std::string_view line) {
    ReadProfileLine(line, profiles_);
    keySize_ = 0;
    std::size_t digits = 0;
    while (digits < line.size() && digits < key_.size() - 1 && line[digits] >= '0' &&
           line[digits] <= '9') {
      ++digits;
    }
    if (digits == 0 || digits == line.size() || line[digits] != ',') return;
    std::memcpy(key_.data(), line.data(), digits + 1);
    keySize_ = digits + 1;
  }

  // Joins the common lines at the front of bytes (see ReadProfileFile) to the
  // last run; returns the number of bytes they take, line ends included. It
  // stops before any other line, and before a line whose end or the byte
  // after that end is not among the bytes yet.
  std::size_t joinCommonLines(std::string_view bytes) {
    if (keySize_ == 0) return 0;
    const char* const start = bytes.data();
    const char* const end = start + bytes.size();
    std::string& text = profiles_.back().text;
    std::size_t line = 0;
    for (;;) {
#if defined(__SSE2__)
      line = joinInWindows(bytes, line, text);
#endif
      // A line the windows leave: one near the end of the bytes, a long one
      // or one that is not common.
      const char* const p = start + line;
      if (static_cast<std::size_t>(end - p) <= keySize_ || !SameKey(p)) return line;
      CommonLine cut;
      if (!CutCommonLine(p, end, cut)) return line;
      text.append(cut.comma, static_cast<std::size_t>(cut.depthEnd - cut.comma));
      line = static_cast<std::size_t>(cut.next - start);
    }
  }

 private:
  bool SameKey(const char* p) const {
    for (std::size_t k = 0; k < keySize_; ++k) {
      if (p[k] != key_[k]) return false;
    }
    return true;
  }

  // A common line after its key: the comma before the depth, the depth's
  // end and the next line's start.
  struct CommonLine {
    const char* comma;
    const char* depthEnd;
    const char* next;
  };

  // Cuts the line at line, whose key matched, if it is common and its end and
  // the byte after that end lie before end.
  bool CutCommonLine(const char* line, const char* end, CommonLine& cut) const {
    const char* p = line + keySize_;
    if (*p == '"') return false;
    while (p < end && *p != ',' && *p != '\r') ++p;
    if (p == end || *p == '\r') return false;  // no depth field, or not read yet
    cut.comma = p++;
    if (p < end && *p == '"') return false;
    while (p < end && *p != ',' && *p != '\r') ++p;
    cut.depthEnd = p;
    while (p < end && *p != '\r') ++p;  // the fields after the depth
    if (end - p < 2) return false;      // the line end, or the byte after it, not read yet
    cut.next = p + (p[1] == '\n' ? 2 : 1);
    return true;
  }

#if defined(__SSE2__)
  // Bit i tells whether bytes[i] is a comma or a carriage return (stops), and
  // a carriage return (ends), for 64 bytes.
  static void Mark(const char* bytes, std::uint64_t& stops, std::uint64_t& ends,
                   std::uint64_t& quotes) {
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i quote = _mm_set1_epi8('"');
    std::uint64_t s = 0;
    std::uint64_t r = 0;
    std::uint64_t q = 0;
    for (int k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * k));
      const __m128i isCr = _mm_cmpeq_epi8(v, cr);
      const __m128i isStop = _mm_or_si128(_mm_cmpeq_epi8(v, comma), isCr);
      s |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(isStop))} << (16 * k);
      r |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(isCr))} << (16 * k);
      q |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, quote)))}
           << (16 * k);
    }
    stops = s;
    ends = r;
    quotes = q;
  }
  static constexpr unsigned kNone = 128;

  // The first marked position at or after pos (below 128) of the marks low
  // (positions 0 to 63) and high (64 to 127), or kNone.
  static unsigned NextMark(std::uint64_t low, std::uint64_t high, unsigned pos) {
    if (pos < 64) {
      low &= ~std::uint64_t{0} << pos;
      if (low != 0) return static_cast<unsigned>(std::countr_zero(low));
      return high != 0 ? 64 + static_cast<unsigned>(std::countr_zero(high)) : kNone;
    }
    high &= ~std::uint64_t{0} << (pos - 64);
    return high != 0 ? 64 + static_cast<unsigned>(std::countr_zero(high)) : kNone;
  }

  static bool IsMarked(std::uint64_t low, std::uint64_t high, unsigned pos) {
    return ((pos < 64 ? low >> pos : high >> (pos - 64)) & 1u) != 0;
  }

  // Joins the common lines from line on while each lies in a window of 128
  // bytes whose commas and carriage returns were found 16 at a time before
  // its lines are cut, so that a line's fields and end take a few bit
  // operations instead of a scan that waits for the line before. Returns
  // where it stopped, at a line it could not cut so.
  std::size_t joinInWindows(std::string_view bytes, std::size_t line, std::string& text) const {
    const char* const start = bytes.data();
    const std::size_t size = bytes.size();
    if (size - line < 192) return line;
    // The depths are copied 16 bytes at a time into the text's spare room,
    // and the text is cut back to what they fill on the way out.
    struct Filled {
      std::string& text;
      std::size_t size;
      ~Filled() { text.resize(size); }
    } filled{text, text.size()};
    text.resize(text.capacity());
    std::size_t base = line;
    std::uint64_t stops0, ends0, quotes0, stops1, ends1, quotes1;
    Mark(start + base, stops0, ends0, quotes0);
    Mark(start + base + 64, stops1, ends1, quotes1);
    for (;;) {
      // The window covers base to base + 128, all of it among the bytes.
      while (line - base >= 64) {
        if (size - base < 192) return line;
        base += 64;
        stops0 = stops1;
        ends0 = ends1;
        quotes0 = quotes1;
        Mark(start + base + 64, stops1, ends1, quotes1);
      }
      if (!SameKey(start + line)) return line;
      const auto at = static_cast<unsigned>(line - base);
      const unsigned sampleEnd = NextMark(stops0, stops1, at + static_cast<unsigned>(keySize_));
      if (sampleEnd >= kNone - 1 || IsMarked(ends0, ends1, sampleEnd)) return line;
      const unsigned depthEnd = NextMark(stops0, stops1, sampleEnd + 1);
      if (depthEnd == kNone) return line;
      const unsigned lineEnd = NextMark(ends0, ends1, depthEnd);
      if (lineEnd == kNone || base + lineEnd + 1 >= size) return line;
      // A quote anywhere in the line sends it the slow way, which reads
      // quoted fields as the field routines do.
      if (NextMark(quotes0, quotes1, at) < lineEnd) return line;
      const char* const depth = start + base + sampleEnd;  // from the comma before it
      const std::size_t length = depthEnd - sampleEnd;
      if (length <= 16 && filled.size + 16 <= text.size() && base + sampleEnd + 16 <= size) {
        std::memcpy(text.data() + filled.size, depth, 16);
      } else {
        text.resize(filled.size);
        text.append(depth, length);
        text.resize(text.capacity());
      }
      filled.size += length;
      line = base + lineEnd + (start[base + lineEnd + 1] == '\n' ? 2 : 1);
    }
  }
#endif

  std::vector<Profile>& profiles_;
  std::array<char, 10> key_{};  // the last plain key's digits and the comma after them
  std::size_t keySize_ = 0;     // 0 while no plain key is known
};

}  // namespace

void ReadProfileFile(LineFile& file, std::vector<Profile>& profiles) {
  ProfileReader reader(profiles);
  std::string_view line;
  for (;;) {
    file.skip(reader.joinCommonLines(file.buffered()));
    if (!file.next(line)) return;
    reader.add(line);
  }
}

// Twice as many slots as entries, at least, keep the probes short.
KeyIndex::KeyIndex(std::size_t entries) {
  std::size_t size = 16;
  while (size < 2 * entries) size *= 2;
  slots_.resize(size);
  mask_ = size - 1;
}

void KeyIndex::addFirst(std::int32_t key, std::size_t position) {
  for (std::size_t i = home(key);; i = (i + 1) & mask_) {
    Slot& slot = slots_[i];
    if (!slot.used) {
      slot.used = true;
      slot.key = key;
      slot.position = position;
      return;
    }
    if (slot.key == key) return;
  }
}

KeyIndex::Slot* KeyIndex::find(std::int32_t key) {
  for (std::size_t i = home(key);; i = (i + 1) & mask_) {
    Slot& slot = slots_[i];
    if (!slot.used) return nullptr;
    if (slot.key == key) return &slot;
  }
}

CompanionIndex::CompanionIndex(std::vector<NoteLine>& notes, std::vector<Profile>& profiles)
    : notes_(notes), profiles_(profiles), noteRuns_(notes.size()), profileRuns_(profiles.size()) {
  noteContinues_.reserve(notes.size());
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const std::string& text = notes[i].text;
    noteContinues_.push_back(text.size() >= kNotePiece);
    if (text.size() >= kMinText) noteRuns_.addFirst(notes[i].key, i);
  }
  for (std::size_t i = 0; i < profiles.size(); ++i) {
    if (profiles[i].text.size() >= kMinText) profileRuns_.addFirst(profiles[i].key, i);
  }
}

// The run begins at the key's first line of 2 or more characters and ends
// before the next line of another key; shorter lines inside it are passed
// over. Lines of the run are joined by a break, except after a line that the
// export cut at its full length: no break before the first line, none after
// the last.
std::string CompanionIndex::BuildNote(std::size_t first) {
  if (IsRtf(notes_[first].text)) return BuildRtfNote(first);
  const std::int32_t key = notes_[first].key;
  std::string note;
  bool breakDue = false;
  for (std::size_t i = first; i < notes_.size() && notes_[i].key == key; ++i) {
    std::string& text = notes_[i].text;
    if (text.size() < kMinText) continue;
    if (breakDue) note += kBreakText;
    ReplaceSpacePairs(text);
    note += text;
    breakDue = !noteContinues_[i];
  }
  return note;
}

// A run that starts an RTF document holds it whole: every line as read, the
// short ones too, is a line of the document. The line end between two lines
// parts a control word at the end of one from the text that starts the next;
// after a line the export cut at its full length the document runs on.
std::string CompanionIndex::BuildRtfNote(std::size_t first) const {
  const std::int32_t key = notes_[first].key;
  std::string rtf;
  for (std::size_t i = first; i < notes_.size() && notes_[i].key == key; ++i) {
    rtf += notes_[i].text;
    if (!noteContinues_[i]) rtf += '\n';
  }
  return NoteFromRtfText(RtfText(rtf));
}

std::string CompanionIndex::NoteText(std::int32_t key) {
  KeyIndex::Slot* const run = noteRuns_.find(key);
  if (run == nullptr) return {};
  switch (++run->asked) {
    case 1:
      return BuildNote(run->position);
    case 2:
      return repeatedNotes_[key] = BuildNote(run->position);
    default:
      return repeatedNotes_[key];
  }
}

// A slot's asked count holds the first taker's place plus one.
void CompanionIndex::GiveProfiles(std::vector<Dive>& dives) {
  for (std::size_t i = 0; i < dives.size(); ++i) {
    KeyIndex::Slot* const run = profileRuns_.find(dives[i].key);
    if (run == nullptr) continue;
    if (run->asked == 0) {
      dives[i].profile = std::move(profiles_[run->position].text);
      run->asked = static_cast<int>(i) + 1;
    } else {
      dives[i].profile = dives[static_cast<std::size_t>(run->asked) - 1].profile;
    }
  }
}

void ParseDiveLine(std::string_view line, Dive& dive, CompanionIndex& companions) {
  dive.key = NextIntField(line);
  dive.number = NextIntField(line);
  NextText(line, dive.date, 10);
  NextText(line, dive.time, 5);
  dive.series = NextInt16(line);
  dive.diveSeries = NextInt16(line);
  NextNumber(line, dive.exact.diveTime, dive.diveTime);
  dive.surfaceInterval = NextIntField(line);
  NextNumber(line, dive.exact.maxDepth, dive.maxDepth, NextRounded16);
  NextNumber(line, dive.exact.averageDepth, dive.averageDepth, NextRounded16);
  dive.computerType = NextInt16(line);
  NextText(line, dive.computerSerial, 10);
  NextText(line, dive.diverId);
  dive.sampleInterval = NextInt16(line);
  dive.altitudeMode = NextInt16(line);
  dive.personalMode = NextInt16(line);
  SkipField(line);
  SkipField(line);
  NextText(line, dive.location);
  NextText(line, dive.site);
  NextText(line, dive.weather);
  NextText(line, dive.visibility);
  NextNumber(line, dive.exact.airTemperature, dive.airTemperature);
  NextNumber(line, dive.exact.bottomTemperature, dive.bottomTemperature);
  NextNumber(line, dive.exact.endTemperature, dive.endTemperature);
  NextText(line, dive.buddy);
  NextText(line, dive.diveMaster);
  NextText(line, dive.boat);
  NextText(line, dive.tankName);
  NextNumber(line, dive.exact.tankVolume, dive.tankVolume);
  SkipField(line);
  NextNumber(line, dive.exact.workingPressure, dive.workingPressure);
  NextNumber(line, dive.exact.startPressure, dive.startPressure);
  NextNumber(line, dive.exact.endPressure, dive.endPressure);
  NextNumber(line, dive.exact.sac, dive.sac, NextRounded16);
  SkipField(line);
  // The five custom texts: the first as it is, each later non-empty one after
  // ", "; joined in room made once, as a text may be as long as the file.
  std::array<std::string_view, 5> customs;
  for (auto& custom : customs) custom = NextTextView(line);
  std::size_t joined = customs[0].size();
  for (std::size_t part = 1; part < customs.size(); ++part) {
    if (!customs[part].empty()) joined += 2 + customs[part].size();
  }
  dive.customTexts.clear();
  dive.customTexts.reserve(joined);
  dive.customTexts += customs[0];
  for (std::size_t part = 1; part < customs.size(); ++part) {
    if (customs[part].empty()) continue;
    dive.customTexts += ", ";
    dive.customTexts += customs[part];
  }
  NextNumber(line, dive.exact.weight, dive.weight);
  NextNumber(line, dive.exact.oxygen, dive.oxygen);
  SkipField(line);
  dive.computerMode = NextInt16(line);

  dive.note = companions.NoteText(dive.key);
}

}  // namespace quellmar

// The field routines on any line: each one cuts a suffix off the front and
// makes progress, the routines that cut the same field agree on what is left,
// plain numbers read as their value, and ParseDiveLine fills every field of a
// dive as the column table says (the routines applied in column order).
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "basic/fields.h"
#include "fuzz_support.h"
#include "import/sdm_format.h"

namespace {

using quellmar::fuzz::AsText;

bool IsSuffixOf(std::string_view rest, std::string_view line) {
  return rest.size() <= line.size() &&
         (rest.empty() || rest.data() + rest.size() == line.data() + line.size());
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Numbers that every reader agrees on: up to 6 digits, optionally "." and one
// or two decimals. The decimals decide the rounding (50 and above round up).
void CheckPlainNumber(std::string_view field, std::int32_t truncated, std::int32_t rounded) {
  const auto dot = field.find('.');
  const auto whole = field.substr(0, dot);
  if (whole.size() > 6 || !AllDigits(whole)) return;
  const std::int32_t value = std::stoi(std::string(whole));
  if (dot == std::string_view::npos) {
    FUZZ_CHECK(truncated == value && rounded == value);
    return;
  }
  const auto decimals = field.substr(dot + 1);
  if (decimals.size() > 2 || !AllDigits(decimals)) return;
  const int hundredths = (decimals[0] - '0') * 10 + (decimals.size() == 2 ? decimals[1] - '0' : 0);
  FUZZ_CHECK(truncated == value);
  FUZZ_CHECK(rounded == value + (hundredths > 49 ? 1 : 0));
}

// One step of each routine on the same line.
void CheckOneField(std::string_view line) {
  const bool hasComma = line.find(',') != std::string_view::npos;
  const std::string_view numberField = line.substr(0, line.find(','));

  std::string_view afterInt = line, afterRounded = line, afterText = line, afterView = line,
                   afterSkip = line;
  const auto truncated = quellmar::NextIntField(afterInt);
  const auto rounded = quellmar::NextRoundedField(afterRounded);
  const auto text = quellmar::NextTextField(afterText);
  const auto view = quellmar::NextTextView(afterView);
  quellmar::SkipField(afterSkip);

  for (auto rest : {afterInt, afterRounded, afterText, afterView, afterSkip}) {
    FUZZ_CHECK(IsSuffixOf(rest, line));
    FUZZ_CHECK(line.empty() || rest.size() < line.size());
  }
  FUZZ_CHECK(afterInt == afterRounded);
  FUZZ_CHECK(text == view && afterText == afterView);
  FUZZ_CHECK(hasComma ? afterSkip == afterText : afterSkip.empty());
  if (!line.empty() && line[0] == '"') {
    FUZZ_CHECK(text.find('"') == std::string::npos);
  } else {
    FUZZ_CHECK(text == numberField);
  }
  CheckPlainNumber(numberField, truncated, rounded);
}

// Cuts a whole line with one routine until nothing is left; every step must
// make progress, so this ends within line.size() steps.
template <typename Cut>
void CutToTheEnd(std::string_view line, Cut cut) {
  while (!line.empty()) {
    const auto before = line;
    cut(line);
    FUZZ_CHECK(IsSuffixOf(line, before) && line.size() < before.size());
  }
}

void CheckSlicers(std::string_view input) {
  if (input.size() < 8) return;
  std::int32_t start, count;
  std::memcpy(&start, input.data(), 4);
  std::memcpy(&count, input.data() + 4, 4);
  const auto text = input.substr(8);
  const auto size = static_cast<std::int64_t>(text.size());

  const auto mid = quellmar::MidText(text, start, count);
  if (count <= 0) {
    FUZZ_CHECK(mid.empty());
  } else if (start >= 1) {
    const bool fits = size >= std::int64_t{start} + count - 1;
    FUZZ_CHECK(mid == (fits ? text.substr(start - 1, count) : std::string_view{}));
  }
  const auto right = quellmar::RightText(text, count);
  const bool takes = count > 0 && count <= size;
  FUZZ_CHECK(right == (takes ? text.substr(text.size() - count) : std::string_view{}));
}

enum class Kind { Int, Rounded, Text, Skip };

// The main file's 45 columns, in order.
constexpr std::array<Kind, 45> kColumns = {
    Kind::Int,  Kind::Int,     Kind::Text,    Kind::Text, Kind::Int,  Kind::Int,  Kind::Int,
    Kind::Int,  Kind::Rounded, Kind::Rounded, Kind::Int,  Kind::Text, Kind::Text, Kind::Int,
    Kind::Int,  Kind::Int,     Kind::Skip,    Kind::Skip, Kind::Text, Kind::Text, Kind::Text,
    Kind::Text, Kind::Int,     Kind::Int,     Kind::Int,  Kind::Text, Kind::Text, Kind::Text,
    Kind::Text, Kind::Int,     Kind::Skip,    Kind::Int,  Kind::Int,  Kind::Int,  Kind::Rounded,
    Kind::Skip, Kind::Text,    Kind::Text,    Kind::Text, Kind::Text, Kind::Text, Kind::Int,
    Kind::Int,  Kind::Skip,    Kind::Int};

struct Columns {
  std::array<std::int32_t, 46> number{};  // by 1-based column
  std::array<std::string, 46> text;
};

Columns ReadColumns(std::string_view line) {
  Columns columns;
  for (std::size_t c = 1; c <= kColumns.size(); ++c) {
    const auto before = line;
    switch (kColumns[c - 1]) {
      case Kind::Int:
        columns.number[c] = quellmar::NextIntField(line);
        break;
      case Kind::Rounded:
        columns.number[c] = quellmar::NextRoundedField(line);
        break;
      case Kind::Text:
        columns.text[c] = quellmar::NextTextField(line);
        break;
      case Kind::Skip:
        quellmar::SkipField(line);
        break;
    }
    FUZZ_CHECK(IsSuffixOf(line, before));
  }
  return columns;
}

std::int16_t Low16(std::int32_t value) { return static_cast<std::int16_t>(value); }

std::string Prefix(const std::string& text, std::size_t n) { return text.substr(0, n); }

void CheckDiveLine(std::string_view line) {
  std::vector<quellmar::NoteLine> notes;
  std::vector<quellmar::Profile> profiles;
  quellmar::CompanionIndex companions(notes, profiles);
  quellmar::Dive dive;
  quellmar::ParseDiveLine(line, dive, companions);
  const auto c = ReadColumns(line);

  FUZZ_CHECK(dive.key == c.number[1] && dive.number == c.number[2]);
  FUZZ_CHECK(dive.date == Prefix(c.text[3], 10) && dive.time == Prefix(c.text[4], 5));
  FUZZ_CHECK(dive.series == Low16(c.number[5]) && dive.diveSeries == Low16(c.number[6]));
  FUZZ_CHECK(dive.diveTime == Low16(c.number[7]) && dive.surfaceInterval == c.number[8]);
  FUZZ_CHECK(dive.maxDepth == Low16(c.number[9]) && dive.averageDepth == Low16(c.number[10]));
  FUZZ_CHECK(dive.computerType == Low16(c.number[11]));
  FUZZ_CHECK(dive.computerSerial == Prefix(c.text[12], 10) && dive.diverId == c.text[13]);
  FUZZ_CHECK(dive.sampleInterval == Low16(c.number[14]) &&
             dive.altitudeMode == Low16(c.number[15]));
  FUZZ_CHECK(dive.personalMode == Low16(c.number[16]));
  FUZZ_CHECK(dive.location == c.text[19] && dive.site == c.text[20]);
  FUZZ_CHECK(dive.weather == c.text[21] && dive.visibility == c.text[22]);
  FUZZ_CHECK(dive.airTemperature == Low16(c.number[23]) &&
             dive.bottomTemperature == Low16(c.number[24]));
  FUZZ_CHECK(dive.endTemperature == Low16(c.number[25]));
  FUZZ_CHECK(dive.buddy == c.text[26] && dive.diveMaster == c.text[27] && dive.boat == c.text[28]);
  FUZZ_CHECK(dive.tankName == c.text[29] && dive.tankVolume == Low16(c.number[30]));
  FUZZ_CHECK(dive.workingPressure == Low16(c.number[32]) &&
             dive.startPressure == Low16(c.number[33]));
  FUZZ_CHECK(dive.endPressure == Low16(c.number[34]) && dive.sac == Low16(c.number[35]));
  std::string customs = c.text[37];
  for (std::size_t i = 38; i <= 41; ++i) {
    if (!c.text[i].empty()) customs += ", " + c.text[i];
  }
  FUZZ_CHECK(dive.customTexts == customs);
  FUZZ_CHECK(dive.weight == Low16(c.number[42]) && dive.oxygen == Low16(c.number[43]));
  FUZZ_CHECK(dive.computerMode == Low16(c.number[45]));
  // Without note and profile lines the dive has neither.
  FUZZ_CHECK(dive.note.empty() && dive.profile.empty() && !dive.hasProfile());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto input = AsText(data, size);
  CheckOneField(input);
  CutToTheEnd(input, [](std::string_view& line) { quellmar::NextIntField(line); });
  CutToTheEnd(input, [](std::string_view& line) { quellmar::NextRoundedField(line); });
  CutToTheEnd(input, [](std::string_view& line) { quellmar::NextTextField(line); });
  CutToTheEnd(input, [](std::string_view& line) { quellmar::SkipField(line); });
  CheckSlicers(input);
  CheckDiveLine(input);
  return 0;
}

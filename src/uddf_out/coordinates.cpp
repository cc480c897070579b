#include "uddf_out/coordinates.h"

#include <cstdint>
#include <utility>

#include "basic/decimal.h"

namespace quellmar {
namespace {

constexpr int kPlaces = 7;  // a centimetre on the ground
constexpr std::int64_t kPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                         100000, 1000000, 10000000, 100000000, 1000000000};
constexpr std::size_t kMaxWholeDigits = 3;
constexpr std::size_t kMaxFractionDigits = 8;  // so that scaled() fits in 64 bits

// The marks typed after degrees, minutes and seconds, in Windows-1252: the
// degree sign and the ordinal sign that keyboards without one offer; the
// apostrophe, the acute accent and the right quotation marks.
constexpr std::string_view kDegreeMarks = "\xB0\xBA";
constexpr std::string_view kMinuteMarks = "'\x92\xB4";
constexpr std::string_view kSecondMarks = "\"\x94";
constexpr std::string_view kSeparators = ",;/";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A number as typed: at most three whole digits, and decimals.
struct Typed {
  std::string_view text;
  std::int64_t units = 0;
  int places = 0;

  bool whole() const { return places == 0; }
  bool below(std::int64_t limit) const { return units < limit * kPowersOfTen[places]; }
  // The value divided by divisor, in units of ten to the minus kPlaces, rounded.
  std::int64_t scaled(std::int64_t divisor) const {
    const std::int64_t denominator = kPowersOfTen[places] * divisor;
    return (2 * units * kPowersOfTen[kPlaces] + denominator) / (2 * denominator);
  }
};

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  std::size_t at() const { return at_; }
  void back(std::size_t at) { at_ = at; }
  bool done() const { return at_ == text_.size(); }
  void skipBlanks() {
    while (!done() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
  }
  // Takes the next character when it is one of set; returns it, or 0.
  char take(std::string_view set) {
    if (done() || set.find(text_[at_]) == set.npos) return 0;
    return text_[at_++];
  }
  bool nextIsDigit() const { return !done() && IsDigit(text_[at_]); }

  std::optional<Typed> number() {
    const std::size_t from = at_;
    Typed typed;
    while (nextIsDigit()) {
      typed.units = typed.units * 10 + (text_[at_++] - '0');
      if (at_ - from > kMaxWholeDigits) return fail(from);
    }
    if (at_ == from) return fail(from);
    if (!done() && text_[at_] == '.') {
      ++at_;
      while (nextIsDigit()) {
        typed.units = typed.units * 10 + (text_[at_++] - '0');
        if (++typed.places > static_cast<int>(kMaxFractionDigits)) return fail(from);
      }
      if (typed.places == 0) return fail(from);
    }
    typed.text = text_.substr(from, at_ - from);
    return typed;
  }

 private:
  std::optional<Typed> fail(std::size_t from) {
    at_ = from;
    return std::nullopt;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

// One coordinate as typed, not yet known to be latitude or longitude.
struct Coordinate {
  std::int64_t magnitude = 0;     // ten to the minus kPlaces degrees
  std::string_view plainDegrees;  // the digits, when typed as decimal degrees alone
  char hemisphere = 0;            // N, S, E or W; 0 when none is typed
  bool negative = false;
  bool surelyPlace = false;  // not a plain whole number

  bool latitude() const { return hemisphere == 'N' || hemisphere == 'S'; }
  bool longitude() const { return hemisphere == 'E' || hemisphere == 'W'; }

  std::string text() const {
    const bool south = negative || hemisphere == 'S' || hemisphere == 'W';
    if (!plainDegrees.empty()) return std::string(south ? "-" : "").append(plainDegrees);
    std::string digits = FixedPointText(south ? -magnitude : magnitude, kPlaces);
    digits.erase(digits.find_last_not_of('0') + 1);
    if (digits.back() == '.') digits.pop_back();
    return digits;
  }
};

char Hemisphere(Scanner& scanner) {
  const char letter = scanner.take("NSEWnsew");
  return letter >= 'a' ? static_cast<char>(letter - 'a' + 'A') : letter;
}

// A number after blanks, with one of marks after it; nothing read when there is none.
std::optional<Typed> MarkedPart(Scanner& scanner, std::string_view marks, bool markNeeded) {
  const std::size_t from = scanner.at();
  scanner.skipBlanks();
  const auto part = scanner.number();
  if (part && (scanner.take(marks) != 0 || !markNeeded)) return part;
  scanner.back(from);
  return std::nullopt;
}

std::optional<Coordinate> ReadCoordinate(Scanner& scanner) {
  Coordinate coordinate;
  scanner.skipBlanks();
  coordinate.hemisphere = Hemisphere(scanner);
  scanner.skipBlanks();
  coordinate.negative = scanner.take("-+") == '-';
  const auto degrees = scanner.number();
  if (!degrees) return std::nullopt;
  const bool degreeMark = scanner.take(kDegreeMarks) != 0;
  std::optional<Typed> minutes;
  std::optional<Typed> seconds;
  // Minutes follow whole degrees after their mark, or after a blank once a
  // letter has said that this is a coordinate ("N49 47.564").
  if (degrees->whole() && (degreeMark || coordinate.hemisphere != 0)) {
    minutes = MarkedPart(scanner, kMinuteMarks, false);
    if (minutes && minutes->whole()) seconds = MarkedPart(scanner, kSecondMarks, true);
  }
  if (coordinate.hemisphere == 0) {
    const std::size_t from = scanner.at();
    scanner.skipBlanks();
    coordinate.hemisphere = Hemisphere(scanner);
    // A letter that starts the next coordinate is that one's ("49.79 E15.57").
    if (coordinate.hemisphere == 0 || scanner.nextIsDigit()) {
      coordinate.hemisphere = 0;
      scanner.back(from);
    }
  } else if (coordinate.negative) {
    return std::nullopt;  // "N-49": which way is meant?
  }
  if ((minutes && !minutes->below(60)) || (seconds && !seconds->below(60))) return std::nullopt;
  coordinate.magnitude = degrees->scaled(1) + (minutes ? minutes->scaled(60) : 0) +
                         (seconds ? seconds->scaled(3600) : 0);
  if (!minutes) coordinate.plainDegrees = degrees->text;
  coordinate.surelyPlace = !degrees->whole() || degreeMark || minutes || coordinate.hemisphere;
  return coordinate;
}

bool Fits(const Coordinate& coordinate, std::int64_t limit) {
  return coordinate.magnitude <= limit * kPowersOfTen[kPlaces];
}

}  // namespace

std::optional<Coordinates> ReadCoordinates(std::string_view windows1252) {
  Scanner scanner(windows1252);
  auto first = ReadCoordinate(scanner);
  if (!first) return std::nullopt;
  // The two stand apart, or a letter tells where the second begins:
  // "49°47'33.8" is one coordinate, not two.
  const std::size_t end = scanner.at();
  scanner.skipBlanks();
  scanner.take(kSeparators);
  const std::size_t next = scanner.at();
  if (next == end && Hemisphere(scanner) == 0) return std::nullopt;
  scanner.back(next);
  auto second = ReadCoordinate(scanner);
  scanner.skipBlanks();
  if (!second || !scanner.done() || !first->surelyPlace || !second->surelyPlace)
    return std::nullopt;
  if (first->longitude() || second->latitude()) std::swap(first, second);
  if (first->longitude() || second->latitude() || !Fits(*first, 90) || !Fits(*second, 180))
    return std::nullopt;
  return Coordinates{first->text(), second->text()};
}

}  // namespace quellmar

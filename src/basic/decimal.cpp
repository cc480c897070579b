#include "basic/decimal.h"

#include <cstdint>
#include <cstdlib>

namespace quellmar {
namespace {

constexpr std::int64_t kPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                         100000, 1000000, 10000000, 100000000, 1000000000};
constexpr std::int64_t kMaxUnits = INT32_MAX;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<Decimal> Decimal::Parse(std::string_view field) {
  std::size_t p = 0;
  while (p < field.size() && field[p] == ' ') ++p;
  bool negative = false;
  if (p < field.size() && (field[p] == '+' || field[p] == '-')) negative = field[p++] == '-';
  std::int64_t units = 0;
  int places = 0;
  bool sawDigit = false;
  for (; p < field.size() && IsDigit(field[p]); ++p) {
    sawDigit = true;
    units = units * 10 + (field[p] - '0');
    if (units > kMaxUnits) return std::nullopt;
  }
  if (p + 1 < field.size() && field[p] == '.' && IsDigit(field[p + 1])) {
    for (++p; p < field.size() && IsDigit(field[p]) && places < kMaxPlaces; ++p) {
      const std::int64_t more = units * 10 + (field[p] - '0');
      if (more > kMaxUnits) break;
      units = more;
      ++places;
    }
  }
  if (!sawDigit) return std::nullopt;
  return Decimal{static_cast<std::int32_t>(negative ? -units : units),
                 static_cast<std::int8_t>(places)};
}

std::string Decimal::text() const { return FixedPointText(units, places); }

std::string FixedPointText(std::int64_t units, int places) {
  std::string digits = std::to_string(std::llabs(units));
  if (places > 0) {
    const auto decimals = static_cast<std::size_t>(places);
    if (digits.size() <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
    digits.insert(digits.size() - decimals, 1, '.');
  }
  return units < 0 ? "-" + digits : digits;
}

double Decimal::value() const {
  return static_cast<double>(units) / static_cast<double>(kPowersOfTen[places]);
}

}  // namespace quellmar

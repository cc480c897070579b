// A number exactly as the export wrote it: "10.97" stays 1097 hundredths, so
// totals and averages are computed from what the dive computer recorded, and
// a value is shown or carried on with the decimals it has, never more.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quellmar {

// Small, as every dive holds a dozen: 32 bits of digits cover any real
// reading with its decimals (a depth to the millimetre up to 2,000 km).
struct Decimal {
  std::int32_t units = 0;  // the value times ten to the power of places
  std::int8_t places = 0;  // decimals written, at most kMaxPlaces

  static constexpr int kMaxPlaces = 9;

  // The number at the start of a field: blanks, a sign, digits and "." with
  // digits after it; what follows ("12m") is not looked at, as the field
  // routines do. Nothing when the field starts with no digit (an empty field,
  // a text) or its whole part does not fit; decimals that do not fit are cut.
  static std::optional<Decimal> Parse(std::string_view field);

  // Written back with its own decimals: "10.97", "-0.5", "21", "9.0".
  std::string text() const;
  double value() const;
  bool isZero() const { return units == 0; }
};

// units divided by ten to the power of places, written out as Decimal::text
// writes it, for values computed from decimals that need more than 32 bits.
std::string FixedPointText(std::int64_t units, int places);

}  // namespace quellmar

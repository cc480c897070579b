#include "uddf_out/si_units.h"

#include <algorithm>
#include <cstdint>

namespace quellmar {
namespace {

constexpr std::int64_t kPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                         100000, 1000000, 10000000, 100000000, 1000000000};

}  // namespace

std::string ScaledText(const Decimal& number, int powerOfTen) {
  const int places = number.places - powerOfTen;
  if (places >= 0) return FixedPointText(number.units, places);
  return FixedPointText(number.units * kPowersOfTen[-places], 0);
}

std::string KelvinText(const Decimal& celsius) {
  constexpr std::int64_t kZeroCelsius = 27315;  // kelvin, in hundredths
  const int places = std::max<int>(celsius.places, 2);
  return FixedPointText(celsius.units * kPowersOfTen[places - celsius.places] +
                            kZeroCelsius * kPowersOfTen[places - 2],
                        places);
}

}  // namespace quellmar

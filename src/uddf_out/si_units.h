// The export's numbers in the SI units that UDDF asks for (pascal, cubic
// metres, kelvin, fractions), computed on the exported digits: 153.08 bar is
// 15308000 Pa and 9.0 degrees Celsius 282.15 K, with no binary rounding such
// as 282.15000000000003 on the way.
#pragma once

#include <string>

#include "basic/decimal.h"

namespace quellmar {

// The number times ten to the power given, exactly: (153.08, 5) is
// "15308000" (bar to pascal), (13.399, -3) "0.013399" (litres to cubic
// metres), (32, -2) "0.32" (percent to a fraction). powerOfTen at most 9.
std::string ScaledText(const Decimal& number, int powerOfTen);

// Degrees Celsius as kelvin, exactly, with at least two decimals: "9.0" is
// "282.15", "-1.5" is "271.65".
std::string KelvinText(const Decimal& celsius);

}  // namespace quellmar

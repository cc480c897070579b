#include "basic/fields.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace quellmar {
namespace {

// Everything before the first comma; line keeps what follows it.
std::string_view CutAtComma(std::string_view& line) {
  const auto comma = line.find(',');
  if (comma == std::string_view::npos) {
    const auto field = line;
    line = {};
    return field;
  }
  const auto field = line.substr(0, comma);
  line.remove_prefix(comma + 1);
  return field;
}

// A quoted field: line starts with a double quote. The text runs to the next
// quote; the closing quote and the one character after it are dropped.
std::string_view CutQuoted(std::string_view& line) {
  const auto rest = line.substr(1);
  const auto close = rest.find('"');
  if (close == std::string_view::npos) {
    // No closing quote: nothing is read, and the opening quote's neighbour goes too.
    line = rest.empty() ? rest : rest.substr(1);
    return {};
  }
  const auto field = rest.substr(0, close);
  line = rest.size() >= close + 2 ? rest.substr(close + 2) : std::string_view{};
  return field;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The position after the leading blanks and an optional "+" or "-".
std::size_t SkipBlanksAndSign(std::string_view field, bool& negative) {
  std::size_t p = 0;
  while (p < field.size() && field[p] == ' ') ++p;
  negative = p < field.size() && field[p] == '-';
  if (p < field.size() && (field[p] == '+' || field[p] == '-')) ++p;
  return p;
}

// A field of digits, a "." and digits, and nothing else, 15 digits at most:
// the common decimal, read without the general reader. Its digits as a whole
// number and the power of ten below them are both exact doubles, and one
// division rounds correctly, so the value is the one the general reader gives.
std::optional<double> PlainDecimal(std::string_view field) {
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::uint64_t digits = 0;
  std::size_t count = 0;
  std::size_t p = 0;
  for (; p < field.size() && IsDigit(field[p]); ++p, ++count) {
    digits = digits * 10 + static_cast<std::uint64_t>(field[p] - '0');
  }
  if (count == 0 || p >= field.size() || field[p] != '.') return std::nullopt;
  const std::size_t point = ++p;
  for (; p < field.size() && IsDigit(field[p]); ++p, ++count) {
    if (count == 15) return std::nullopt;
    digits = digits * 10 + static_cast<std::uint64_t>(field[p] - '0');
  }
  if (p != field.size() || p == point || count > 15) return std::nullopt;
  return static_cast<double>(digits) / kPowersOfTen[p - point];
}

// The decimal number at the start of field, after blanks: sign, digits with
// at most one ".", optional exponent. Whatever follows the number is ignored,
// so "12 " and "12m" read as 12; a field that does not start with a number
// reads as 0.
// QUELLMAR_NUMBERS_BY_STRTOD chooses the second reader where from_chars
// exists too, so that the field tests run over it.
#if defined(__cpp_lib_to_chars) && !defined(QUELLMAR_NUMBERS_BY_STRTOD)
std::from_chars_result ReadDouble(const char* first, const char* last, double& value) {
  return std::from_chars(first, last, value, std::chars_format::general);
}
#else
// The same for a standard library without from_chars for double (the web
// build's): strtod on a copy of just the span from_chars would take, so that
// it cannot read a hexadecimal number or run past the field.
std::from_chars_result ReadDouble(const char* first, const char* last, double& value) {
  const auto digits = [last](const char* p) {
    while (p != last && *p >= '0' && *p <= '9') ++p;
    return p;
  };
  const char* p = digits(first);
  if (p != last && *p == '.') p = digits(p + 1);
  if (p - first == 1 && *first == '.') return {first, std::errc::invalid_argument};
  if (p != last && (*p == 'e' || *p == 'E')) {
    const char* exponent = p + 1;
    if (exponent != last && (*exponent == '+' || *exponent == '-')) ++exponent;
    if (const char* end = digits(exponent); end != exponent) p = end;
  }
  const std::string number(first, p);
  errno = 0;
  const double read = std::strtod(number.c_str(), nullptr);
  if (errno == ERANGE) return {p, std::errc::result_out_of_range};
  value = read;
  return {p, std::errc()};
}
#endif

double ReadNumber(std::string_view field) {
  bool negative = false;
  const std::size_t p = SkipBlanksAndSign(field, negative);
  // from_chars would also take "inf" and "nan"; only digits and "." begin a number here.
  if (p >= field.size() || !(IsDigit(field[p]) || field[p] == '.')) return 0.0;
  if (const auto plain = PlainDecimal(field.substr(p))) return negative ? -*plain : *plain;
  double value = 0.0;
  const auto result = ReadDouble(field.data() + p, field.data() + field.size(), value);
  if (result.ec == std::errc::invalid_argument) return 0.0;
  if (result.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: tell the two apart by the exponent's sign.
    const std::string_view number(field.data() + p, result.ptr - (field.data() + p));
    const auto e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return negative ? -value : value;
}

// A field of at most 15 digits after blanks and a sign, and nothing else:
// the common case, read without the floating-point reader. A double holds
// such numbers exactly, so both readers agree on them.
std::optional<std::int64_t> PlainWholeNumber(std::string_view field) {
  bool negative = false;
  std::size_t p = SkipBlanksAndSign(field, negative);
  const std::size_t digits = field.size() - p;
  if (digits == 0 || digits > 15) return std::nullopt;
  std::int64_t value = 0;
  for (; p < field.size(); ++p) {
    if (!IsDigit(field[p])) return std::nullopt;
    value = value * 10 + (field[p] - '0');
  }
  return negative ? -value : value;
}

std::int32_t Low32(std::int64_t whole) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole)));
}

// Cuts x toward zero and keeps the low 32 bits, as a 32-bit store of a 64-bit
// whole number does; beyond the 64-bit range the value saturates first.
std::int32_t TruncToInt32(double x) {
  if (std::isnan(x)) return 0;
  constexpr double kLimit = 9.2233720368547748e18;  // 2^63
  std::int64_t whole;
  if (x >= kLimit) {
    whole = std::numeric_limits<std::int64_t>::max();
  } else if (x <= -kLimit) {
    whole = std::numeric_limits<std::int64_t>::min();
  } else {
    whole = static_cast<std::int64_t>(x);
  }
  return Low32(whole);
}

}  // namespace

std::string MidText(std::string_view text, std::int32_t start, std::int32_t count) {
  if (count <= 0 || start < 1) return {};
  const auto last = static_cast<std::int64_t>(start) + count - 1;
  if (static_cast<std::int64_t>(text.size()) < last) return {};
  return std::string(
      text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
}

std::string RightText(std::string_view text, std::int32_t n) {
  if (n <= 0 || static_cast<std::size_t>(n) > text.size()) return {};
  return std::string(text.substr(text.size() - static_cast<std::size_t>(n)));
}

std::int32_t NextIntField(std::string_view& line) {
  const std::string_view field = CutAtComma(line);
  if (const auto whole = PlainWholeNumber(field)) return Low32(*whole);
  return TruncToInt32(ReadNumber(field));
}

// Rounds half up on the first two decimals only: the hundredths are
// (x * 100 cut toward zero) mod 100, and above 49 round up. Negative values
// are cut toward zero (-12.7 gives -12): their hundredths are never above 49,
// and depth, air consumption and profile samples below zero are not real
// readings that rounding could make more exact.
std::int32_t NextRoundedField(std::string_view& line) {
  const double x = ReadNumber(CutAtComma(line));
  const std::int32_t whole = TruncToInt32(x);
  if (!(x >= 0.0)) return whole;
  const double hundredths = std::fmod(std::trunc(x * 100.0), 100.0);
  return hundredths > 49.0 ? static_cast<std::int32_t>(static_cast<std::uint32_t>(whole) + 1u)
                           : whole;
}

std::string_view NextTextView(std::string_view& line) {
  if (line.empty()) return {};
  if (line.front() == '"') return CutQuoted(line);
  return CutAtComma(line);
}

std::string NextTextField(std::string_view& line) { return std::string(NextTextView(line)); }

void SkipField(std::string_view& line) {
  if (line.find(',') == std::string_view::npos) {
    line = {};
  } else if (line.front() == '"') {
    CutQuoted(line);
  } else {
    CutAtComma(line);
  }
}

}  // namespace quellmar

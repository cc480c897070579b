#include "uddf_out/dive_start.h"

#include <array>
#include <cstdio>

namespace quellmar {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsDateSeparator(char c) { return c == '.' || c == '/' || c == '-'; }

// The three numbers of a date and how many digits each was written with.
struct DateParts {
  std::array<int, 3> value{};
  std::array<int, 3> digits{};
  bool yearFirst() const { return digits[0] == 4; }
};

// A run of one to four digits at text[p], moving p past it; nothing without one.
std::optional<std::pair<int, int>> ReadNumber(std::string_view text, std::size_t& p) {
  int value = 0;
  int digits = 0;
  for (; p < text.size() && IsDigit(text[p]) && digits < 4; ++p, ++digits)
    value = value * 10 + (text[p] - '0');
  if (digits == 0) return std::nullopt;
  return std::pair{value, digits};
}

// Three numbers split by ".", "/" or "-"; a date cut to ten characters may
// end in one more separator ("2002.07.14.").
std::optional<DateParts> SplitDate(std::string_view text) {
  DateParts parts;
  std::size_t p = 0;
  while (p < text.size() && text[p] == ' ') ++p;
  for (std::size_t k = 0; k < 3; ++k) {
    const auto number = ReadNumber(text, p);
    if (!number) return std::nullopt;
    parts.value[k] = number->first;
    parts.digits[k] = number->second;
    const bool separator = p < text.size() && IsDateSeparator(text[p]);
    if (k < 2 && !separator) return std::nullopt;
    if (separator) ++p;
  }
  while (p < text.size() && text[p] == ' ') ++p;
  if (p != text.size()) return std::nullopt;
  return parts;
}

int DaysInMonth(int month, int year) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<DateOrder> DateOrderShown(const std::vector<Dive>& dives) {
  int dayFirst = 0;
  int monthFirst = 0;
  for (const auto& dive : dives) {
    const auto parts = SplitDate(dive.date);
    if (!parts || parts->yearFirst()) continue;
    const int first = parts->value[0];
    const int second = parts->value[1];
    if (first > 12 && second <= 12) ++dayFirst;
    if (second > 12 && first <= 12) ++monthFirst;
  }
  if (dayFirst == monthFirst) return std::nullopt;
  return dayFirst > monthFirst ? DateOrder::DayFirst : DateOrder::MonthFirst;
}

std::optional<std::string> IsoDate(std::string_view date, DateOrder order) {
  const auto parts = SplitDate(date);
  if (!parts) return std::nullopt;
  const auto& [value, digits] = *parts;
  int year = 0;
  int month = 0;
  int day = 0;
  if (parts->yearFirst()) {
    if (digits[1] > 2 || digits[2] > 2) return std::nullopt;
    year = value[0];
    month = value[1];
    day = value[2];
  } else {
    if (digits[0] > 2 || digits[1] > 2 || (digits[2] != 2 && digits[2] != 4)) return std::nullopt;
    year = digits[2] == 4 ? value[2] : value[2] + (value[2] < 70 ? 2000 : 1900);
    const bool dayFirst = order != DateOrder::MonthFirst;
    day = dayFirst ? value[0] : value[1];
    month = dayFirst ? value[1] : value[0];
  }
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(month, year))
    return std::nullopt;
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

std::optional<std::string> IsoTime(std::string_view time) {
  std::size_t p = 0;
  while (p < time.size() && time[p] == ' ') ++p;
  const auto hour = ReadNumber(time, p);
  if (!hour || hour->second > 2 || p >= time.size() || (time[p] != ':' && time[p] != '.'))
    return std::nullopt;
  ++p;
  const auto minute = ReadNumber(time, p);
  while (p < time.size() && time[p] == ' ') ++p;
  if (!minute || minute->second != 2 || p != time.size() || hour->first > 23 || minute->first > 59)
    return std::nullopt;
  char text[40];
  std::snprintf(text, sizeof text, "%02d:%02d:00", hour->first, minute->first);
  return text;
}

}  // namespace quellmar

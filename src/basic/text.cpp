#include "basic/text.h"

namespace quellmar {
namespace {

std::string TwoDigits(std::string text) { return text.size() == 1 ? "0" + text : text; }

}  // namespace

std::string IntText(std::int32_t n) { return std::to_string(n); }

std::string SecondsToMinutesText(std::int32_t seconds) {
  std::int32_t minutes = 0;
  std::int32_t rest = seconds;
  if (seconds > 60) {
    minutes = seconds / 60;
    rest = seconds % 60;
  }
  if (rest > 30) ++minutes;
  return IntText(minutes) + " min";
}

std::string SecondsToMinutesAndSecondsText(std::int64_t seconds) {
  const std::int64_t rest = seconds % 60;
  return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

std::string SecondsToClockText(std::int32_t seconds) {
  std::string hours = "00";
  if (seconds >= 3600) {
    hours = IntText(seconds / 3600);
    seconds %= 3600;
  }
  std::string minutes = "00";
  if (seconds >= 60) {
    minutes = IntText(seconds / 60);
    seconds %= 60;
  }
  return TwoDigits(hours) + ":" + TwoDigits(minutes) + ":" + TwoDigits(IntText(seconds));
}

}  // namespace quellmar

// How often a window shows a running command's work. The first moments pass
// without repainting: a short import or export is over before a user could
// follow it, and the window is brought up to date at its end (and before a
// message box). Longer work then shows its progress at most every 50 ms,
// which keeps the cost of showing it far below the work itself. A command that
// waited for a dialog first (the file dialog of Open CSV) is past its first
// moments when its work begins, so what the dialog covered is repainted at once.
#pragma once

#include <chrono>

namespace quellmar {

class RepaintPace {
 public:
  using Clock = std::chrono::steady_clock;

  // A command begins.
  void start(Clock::time_point now = Clock::now()) { next_ = now + kFirst; }

  // True when the window should repaint now; then not again for a while.
  bool due(Clock::time_point now = Clock::now()) {
    if (now < next_) return false;
    next_ = now + kInterval;
    return true;
  }

 private:
  static constexpr auto kFirst = std::chrono::milliseconds(200);
  static constexpr auto kInterval = std::chrono::milliseconds(50);
  Clock::time_point next_;
};

}  // namespace quellmar

// Everything one running program works on: its logbook, when one is loaded,
// its window model and the platform services. Each program, and each test,
// makes its own.
#pragma once

#include <optional>

#include "basic/ordered_work.h"
#include "commands/platform.h"
#include "commands/window_model.h"
#include "model/logbook.h"

namespace quellmar {

struct Session {
  explicit Session(Platform& p) : platform(p) {}

  std::optional<Logbook> logbook;
  WindowModel window;
  Platform& platform;
  // The threads the HTML export works on.
  unsigned exportThreads = HardwareThreads();
};

}  // namespace quellmar

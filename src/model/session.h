// Everything one running program works on: its logbook, its window model and
// the platform services. Each program, and each test, makes its own.
#pragma once

#include "model/logbook.h"
#include "model/platform.h"
#include "model/window_model.h"

namespace quellmar {

struct Session {
  explicit Session(Platform& p) : platform(p) {}

  Logbook logbook;
  WindowModel window;
  Platform& platform;
};

}  // namespace quellmar

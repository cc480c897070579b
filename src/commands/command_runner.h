// How a window runs its commands, the same in every window: one at a time;
// whatever a command does not handle ends it and is shown in the error box;
// a close asked for during a command waits for its end.
#pragma once

#include <functional>

#include "commands/session.h"

namespace quellmar {

class CommandRunner {
 public:
  explicit CommandRunner(Session& session) : session_(session) {}

  enum class End {
    Ignored,   // another command was running: nothing was done
    Done,      // the command ran; the window shows what it changed
    CloseNow,  // as Done, and a close was asked for meanwhile: close now
  };
  End run(const std::function<void()>& command);

  // A close is asked for: true when it may happen now. During a command it
  // is put off, and run() ends with CloseNow.
  bool mayClose();

  // A command is running: what it changes is shown at a window's pace.
  bool running() const { return busy_; }

 private:
  Session& session_;
  bool busy_ = false;
  bool closeAfterCommand_ = false;
};

}  // namespace quellmar

// How a window runs its commands, the same in every window: one at a time;
// whatever a command does not handle ends it and is shown in the error box;
// a close asked for during a command waits for its end; the model's changes
// are shown at once between commands, and during one at the pace of
// RepaintPace, so that long work shows its progress without slowing down.
#pragma once

#include <functional>

#include "commands/repaint_pace.h"
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

  enum class Show {
    Later,    // during a command, too soon since the last time
    Now,      // between commands: show the change at once
    Repaint,  // during a command: show it, and let the window repaint
              // without taking user input, so no other command starts
  };
  // The model changed: when the window shows it.
  Show onChange();

 private:
  Session& session_;
  bool busy_ = false;
  bool closeAfterCommand_ = false;
  RepaintPace pace_;
};

}  // namespace quellmar

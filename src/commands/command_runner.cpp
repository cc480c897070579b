#include "commands/command_runner.h"

#include <exception>
#include <utility>

#include "commands/commands.h"

namespace quellmar {

CommandRunner::End CommandRunner::run(const std::function<void()>& command) {
  if (busy_) return End::Ignored;
  busy_ = true;
  try {
    command();
  } catch (const std::exception& error) {
    session_.platform.showError(ErrorBoxText(error.what()));
  }
  busy_ = false;
  return std::exchange(closeAfterCommand_, false) ? End::CloseNow : End::Done;
}

bool CommandRunner::mayClose() {
  if (busy_) closeAfterCommand_ = true;
  return !busy_;
}

}  // namespace quellmar

// The two kinds of feedback that long work gives: a line in the history and a
// step of the progress bar.
#pragma once

#include <cstdint>
#include <string>

#include "model/session.h"

namespace quellmar {

void AddHistory(Session& session, std::string line);

// Adds step to the running progress total and moves the bar to it.
void AdvanceProgress(Session& session, std::int64_t step);

}  // namespace quellmar

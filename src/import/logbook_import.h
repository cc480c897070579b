// Loading an SDM export into the logbook, and unloading it again. Both report
// into the window model: memo, dive list, history, file panel, progress bar and
// warning boxes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/logbook.h"
#include "model/session.h"

namespace quellmar {

// Imports the export whose main file is session.window.chosenPath; the
// companions are looked up beside it. True when the main file was read.
bool ImportLogbook(Session& session);

// Empties a loaded logbook; does nothing when none is loaded.
void CloseLogbook(Session& session);

}  // namespace quellmar

// Loading an SDM export into the logbook, and unloading it again. Both report
// into the window model: memo, dive list, history, file panel, progress bar and
// warning boxes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "basic/text_file.h"
#include "model/logbook.h"
#include "model/session.h"

namespace quellmar {

// Imports the export whose main file is session.window.chosenPath; the
// companions are looked up beside it. True when the main file was read.
bool ImportLogbook(Session& session);

// The parts of the import after the files are opened, for a reader that holds
// the export in memory (the fuzz target). Reads every line of the note file
// into notes (profiles: ReadProfileFile of sdm_format.h).
void ReadNoteFile(LineFile& file, std::vector<NoteLine>& notes);
// With notes and profiles read: one dive per line of the main file's text,
// the summary in the memo, the dives sorted and listed.
void LoadDives(Session& session, std::string_view mainText);

// Empties a loaded logbook; does nothing when none is loaded.
void CloseLogbook(Session& session);

}  // namespace quellmar

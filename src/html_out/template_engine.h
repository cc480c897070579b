// Filling the user's templates: every "@name@" tag becomes a value of the
// logbook, and a few tags write a dive's note page or profile picture on the
// way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "basic/byte_sink.h"
#include "main/session.h"

namespace quellmar {

// The value of one tag for dive index dive (or NoDive).
std::string TagValue(Session& session, std::string_view name, int dive);

// The line with every tag replaced.
std::string FillLine(Session& session, std::string_view line, int dive);

// Fills each of the template's lines and writes it, with CR LF, to out.
void FillTemplate(Session& session, const std::vector<std::string>& lines, ByteSink& out,
                  int dive);

// Writes "d" + N + ".html" in the Output directory from the note template.
void WriteNotePage(Session& session, int dive);

}  // namespace quellmar

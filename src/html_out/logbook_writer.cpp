#include "html_out/logbook_writer.h"

namespace quellmar {

std::filesystem::path TemplatePath(const Session& session, const char* name) {
  return session.platform.programDirectory() / "html" / name;
}
std::filesystem::path OutputDirectory(const Session& session) {
  return session.platform.programDirectory() / "Output";
}
void ExportHtml(Session&) {}
void WriteDiveLines(Session&, ByteSink&) {}
void ViewLogbook(Session&) {}

}  // namespace quellmar

#include "html_out/output_file.h"

#include "basic/path_text.h"

namespace quellmar {
namespace {

[[noreturn]] void Fail(const char* what, const FileSink& sink, const std::filesystem::path& path) {
  const std::string name = DisplayPath(path);
  throw ExportError(what + name, name + ": " + sink.reason());
}

}  // namespace

void RequireCreated(const FileSink& sink, const std::filesystem::path& path) {
  if (!sink.isOpen()) Fail("Cannot create file ", sink, path);
}

void Commit(FileSink& sink, const std::filesystem::path& path) {
  if (sink.commit()) return;
  Fail(sink.failedToCreate() ? "Cannot create file " : "Cannot write file ", sink, path);
}

}  // namespace quellmar

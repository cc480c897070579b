#include "html_out/output_file.h"

#include "basic/path_text.h"

namespace quellmar {

void ThrowFileError(const FileFailure& failure) {
  const std::string name = DisplayPath(failure.path);
  throw ExportError((failure.creating ? "Cannot create file " : "Cannot write file ") + name,
                    name + ": " + failure.reason);
}

void RequireCreated(const FileSink& sink) {
  if (!sink.isOpen()) ThrowFileError(sink.failure());
}

void Finish(FileSink& sink) {
  if (!sink.finish()) ThrowFileError(sink.failure());
}

}  // namespace quellmar

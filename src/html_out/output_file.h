// The errors of the export, and the one way its files are written: each file
// of the logbook (index page, note pages, pictures) through a FileSink into
// the export's FileSet, which puts them in place together, and every failure
// an ExportError that names the file and the system's reason.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "basic/byte_sink.h"
#include "basic/file_set.h"

namespace quellmar {

// An error that ends the running export: its text is shown in the error box,
// its details (the file and the system's reason) beside it.
class ExportError : public std::runtime_error {
 public:
  explicit ExportError(const std::string& text, std::string details = {})
      : std::runtime_error(text), details_(std::move(details)) {}
  const std::string& details() const { return details_; }

 private:
  std::string details_;
};

// A dive's picture that its content makes impossible (too large for a GIF
// file, too large for memory): the export leaves it out and goes on.
class PictureNotMade : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The error that names a file that failed: "Cannot create file PATH" when it
// could not be made or put in place, "Cannot write file PATH" when its bytes
// could not be written; the details are the path and the system's reason.
[[noreturn]] void ThrowFileError(const FileFailure& failure);

// Throws when the sink's temporary file could not be made.
void RequireCreated(const FileSink& sink);

// Adds the written file to its set; throws when its bytes could not be
// written. The file that was there before then stays as it was.
void Finish(FileSink& sink);

}  // namespace quellmar

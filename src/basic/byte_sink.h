// Where the page writers and the GIF encoder put their bytes: a file, or in
// tests a buffer or a sink that fails on purpose.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "basic/file_set.h"

namespace quellmar {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void write(std::string_view bytes) = 0;
  // False once any write has failed.
  virtual bool good() const = 0;
};

class StringSink : public ByteSink {
 public:
  void write(std::string_view bytes) override { data.append(bytes); }
  bool good() const override { return true; }
  std::string data;
};

// A file of a FileSet: the bytes gather in memory and reach its temporary in
// few large writes (a small file, a picture or a note page, in one), and
// finish() adds it to the set. A sink left unfinished leaves nothing behind.
class FileSink : public ByteSink {
 public:
  FileSink(FileSet& set, const std::filesystem::path& name) : file_(set, name) {}
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;
  bool isOpen() const { return file_.isOpen(); }
  void write(std::string_view bytes) override;
  bool good() const override { return file_.isOpen(); }
  // Writes what is gathered and adds the file to the set; false when anything
  // could not be written, the temporary then removed.
  bool finish();
  // After a failure: which file, whether making it failed rather than
  // writing it, and the system's reason.
  const FileFailure& failure() const { return file_.failure(); }

 private:
  bool flush();

  FileSet::NewFile file_;
  std::string pending_;
};

}  // namespace quellmar

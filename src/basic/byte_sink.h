// Where the page writers and the GIF encoder put their bytes: a file, or in
// tests a buffer or a sink that fails on purpose.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "basic/os_file.h"

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

// A file written whole or not at all: the bytes gather in memory, reach a
// temporary file beside path in few large writes (a small file, a picture or
// a note page, in one), and commit() puts it in place under path. A sink left
// uncommitted leaves path as it was.
class FileSink : public ByteSink {
 public:
  explicit FileSink(const std::filesystem::path& path) : file_(path) {}
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;
  bool isOpen() const { return file_.isOpen(); }
  void write(std::string_view bytes) override;
  bool good() const override { return file_.isOpen(); }
  // Writes what is gathered and puts the file in place; false when anything
  // could not be written, the temporary file then removed.
  bool commit();
  // After a failure: whether making the file failed rather than writing it,
  // and the system's reason.
  bool failedToCreate() const { return file_.failedToCreate(); }
  const std::string& reason() const { return file_.reason(); }

 private:
  bool flush();

  ReplacingFile file_;
  std::string pending_;
};

}  // namespace quellmar

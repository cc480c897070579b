// Where the page writers and the GIF encoder put their bytes: a file, or in
// tests a buffer or a sink that fails on purpose.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

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

// A file created (or truncated) for writing; closed when the sink goes. The
// bytes gather in memory and reach the file in few large writes: a small file
// (a picture, a note page) in one write when it is closed.
class FileSink : public ByteSink {
 public:
  explicit FileSink(const std::filesystem::path& path);
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;
  bool isOpen() const { return file_ != nullptr; }
  void write(std::string_view bytes) override;
  bool good() const override { return file_ != nullptr && !failed_; }
  // Writes what is gathered and closes; false when anything could not be written.
  bool close();

 private:
  void flush();

  std::FILE* file_ = nullptr;
  std::string pending_;
  bool failed_ = false;
};

}  // namespace quellmar

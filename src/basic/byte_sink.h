// Where the page writers and the GIF encoder put their bytes: a file, or in
// tests a buffer or a sink that fails on purpose.
#pragma once

#include <filesystem>
#include <fstream>
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

// A file created (or truncated) for writing; closed when the sink goes.
class FileSink : public ByteSink {
 public:
  explicit FileSink(const std::filesystem::path& path);
  bool isOpen() const { return file_.is_open(); }
  void write(std::string_view bytes) override;
  bool good() const override { return static_cast<bool>(file_); }
  // Flushes and closes; false when anything could not be written.
  bool close();

 private:
  std::ofstream file_;
};

}  // namespace quellmar

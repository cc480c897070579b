// What every benchmark program needs around the code it measures: a platform
// without a window, a scratch directory, a sink that only counts, and a clock.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "basic/byte_sink.h"
#include "commands/platform.h"
#include "synthetic_export.h"

namespace quellmar::bench {

// Answers every question the way a batch run would: No to emptying the Output
// directory, Cancel to showing the page; the clipboard takes any picture.
// Counts what was shown, so a benchmark can tell that its run went wrong.
class BenchPlatform : public Platform {
 public:
  explicit BenchPlatform(std::filesystem::path programDir = {})
      : programDir_(std::move(programDir)) {}

  MessageAnswer showMessage(MessageKind kind, const std::string& text, MessageButtons buttons,
                            const std::string& details) override;
  void showError(const std::string& text, const std::string&) override { errors.push_back(text); }
  std::optional<std::filesystem::path> chooseCsvFile(const std::filesystem::path&) override {
    return choice;
  }
  bool openDocument(const std::filesystem::path&, std::string&) override { return true; }
  std::optional<std::filesystem::path> chooseUddfFile(const std::filesystem::path&) override {
    return std::nullopt;
  }
  bool copyToClipboard(const IndexedImage&) override { return true; }
  std::filesystem::path programDirectory() const override { return programDir_; }

  std::optional<std::filesystem::path> choice;  // the file the open dialog "chooses"
  std::vector<std::string> warnings;            // texts of the warning boxes shown
  std::vector<std::string> errors;

 private:
  std::filesystem::path programDir_;
};

// A fresh directory under the system's temporary folder, removed afterwards.
class ScratchDir {
 public:
  explicit ScratchDir(std::string_view purpose);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A program directory of its own: the bundled templates (html/) and icons
// (pict/), and a generated export in data/. The export writes Output/ here.
class ProgramFolder {
 public:
  ProgramFolder(std::string_view purpose, const ExportShape& shape);
  const std::filesystem::path& path() const { return dir_.path(); }
  const std::filesystem::path& mainFile() const { return mainFile_; }

 private:
  ScratchDir dir_;
  std::filesystem::path mainFile_;
};

// Counts the bytes written and keeps none of them.
class CountingSink : public ByteSink {
 public:
  void write(std::string_view bytes) override { count += bytes.size(); }
  bool good() const override { return true; }
  std::size_t count = 0;
};

// Seconds since the stopwatch was made or last restarted.
class Stopwatch {
 public:
  double seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }
  double restart() {
    const auto now = Clock::now();
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    start_ = now;
    return elapsed;
  }

 private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point start_ = Clock::now();
};

// Reads each file whole into a buffer with read(2) and counts its lines by
// finding the carriage returns with memchr: the least any reader of these
// files must do. Returns the number of lines.
std::size_t ReadAndSplitLines(const std::vector<std::filesystem::path>& files);

// Writes each file's bytes with a bare open, write and close; false on any failure.
struct FileBytes {
  std::filesystem::path name;  // relative to the directory written into
  std::string bytes;
};
bool WriteFilesBare(const std::filesystem::path& dir, const std::vector<FileBytes>& files);

// One sync of the file system that holds dir (syncfs(2)): what makes a set
// of files written durable at once. False on failure.
bool SyncFileSystem(const std::filesystem::path& dir);

// The middle value of a non-empty list.
double Median(std::vector<double> values);

// A set of generated profile pictures: so many dives of so many samples taken
// interval seconds apart, drawn at so many pixels a sample.
struct PictureCase {
  std::int32_t pictures;
  std::int32_t samples;
  std::int32_t interval;
  std::int32_t pixelsPerSample;
};
// Half an hour at 10 s at one and at two pixels a sample; an hour at 1 s.
inline constexpr PictureCase kPictureCases[] = {
    {64, 180, 10, 1}, {64, 180, 10, 2}, {8, 3600, 1, 1}};

// prefix + "/" + samples + "x" + pixels a sample + "px".
std::string CaseName(const char* prefix, const PictureCase& pictureCase);

}  // namespace quellmar::bench

// What the fuzz targets share: a check that aborts (the targets are built
// with NDEBUG, so assert would vanish), splitting one input into parts, a
// platform without a window, and a scratch folder for the files a target
// writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "commands/platform.h"

namespace quellmar::fuzz {

[[noreturn]] void Fail(const char* condition, const char* file, int line);

#define FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::quellmar::fuzz::Fail(#condition, __FILE__, __LINE__))

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The input cut at its NUL bytes into exactly count parts; missing parts are
// empty, and the last part keeps any further NUL bytes.
std::vector<std::string_view> SplitInput(std::string_view input, std::size_t count);

// A folder of this process's own under the system's temporary folder, made on
// first use and removed when the process ends normally.
const std::filesystem::path& ScratchDirectory();

// Removes everything inside folder, keeping the folder.
void EmptyDirectory(const std::filesystem::path& folder);

// Answers every question with the configured answer; shows nothing.
class FuzzPlatform : public Platform {
 public:
  explicit FuzzPlatform(std::filesystem::path programDir) : programDir_(std::move(programDir)) {}
  MessageAnswer showMessage(MessageKind, const std::string&, MessageButtons buttons,
                            const std::string&) override {
    ++messages;
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
  }
  void showError(const std::string&, const std::string&) override { ++errors; }
  std::optional<std::string> chooseCsvFile() override { return std::nullopt; }
  void openDocument(const std::string&) override {}
  bool copyToClipboard(const IndexedImage&) override { return true; }
  std::filesystem::path programDirectory() const override { return programDir_; }

  int messages = 0;
  int errors = 0;

 private:
  std::filesystem::path programDir_;
};

}  // namespace quellmar::fuzz

// What the fuzz targets share: a check that aborts (the targets are built
// with NDEBUG, so assert would vanish), splitting one input into parts, and a
// scratch folder for the files a target writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

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

}  // namespace quellmar::fuzz

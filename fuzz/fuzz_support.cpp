#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace quellmar::fuzz {

void Fail(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  std::abort();
}

std::vector<std::string_view> SplitInput(std::string_view input, std::size_t count) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < count) {
    const auto nul = input.find('\0');
    if (nul == std::string_view::npos) break;
    parts.push_back(input.substr(0, nul));
    input.remove_prefix(nul + 1);
  }
  parts.push_back(input);
  parts.resize(count);
  return parts;
}

namespace {

struct Scratch {
  Scratch() {
    path = std::filesystem::temp_directory_path() / ("quellmar-fuzz-" + std::to_string(getpid()));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::filesystem::path path;
};

}  // namespace

const std::filesystem::path& ScratchDirectory() {
  static const Scratch scratch;
  return scratch.path;
}

void EmptyDirectory(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::filesystem::remove_all(entry.path());
  }
}

}  // namespace quellmar::fuzz

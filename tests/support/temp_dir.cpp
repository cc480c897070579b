#include "support/temp_dir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "basic/path_text.h"

namespace quellmar::testing {

TempDir::TempDir() {
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("quellmar-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = std::filesystem::absolute(candidate);
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may leave read-only folders (and, on Windows, where a read-only
  // file cannot be deleted, files) behind; make them writable so they can go.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_symlink(ec)) continue;
    const auto perms = it->is_directory(ec) ? std::filesystem::perms::owner_all
                                            : std::filesystem::perms::owner_write;
    std::error_code ignored;
    std::filesystem::permissions(it->path(), perms, std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::write(const std::string& name, std::string_view bytes) const {
  const auto file = path_ / PathFromText(name);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + TextFromPath(file));
  return file;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace quellmar::testing

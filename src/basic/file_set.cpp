#include "basic/file_set.h"

#include <random>
#include <system_error>
#include <utility>

namespace quellmar {
namespace {

constexpr std::string_view kMark = ".quellmar-";
constexpr std::string_view kEnd = ".tmp";

std::string RandomToken() {
  std::random_device random;
  constexpr char kDigits[] = "0123456789abcdef";
  std::string token;
  for (int i = 0; i < 4; ++i) {
    for (auto bits = random(), k = 0u; k < 4; ++k, bits >>= 4) token += kDigits[bits & 15];
  }
  return token;
}

}  // namespace

// ".NAME.quellmar-TOKEN-N.tmp": hidden, so that emptying the Output folder and
// a listing pass over it.
bool IsOwnTemporary(const std::filesystem::path& name) {
  const auto text = name.filename().string();
  return text.size() > kMark.size() + kEnd.size() + 1 && text.front() == '.' &&
         text.ends_with(kEnd) && text.find(kMark) != std::string::npos;
}

FileSet::FileSet(std::filesystem::path folder, FileCalls& calls)
    : folder_(std::move(folder)), calls_(calls), token_(RandomToken()), namer_(*this) {}

FileSet::FileSet(FileSet& owner)
    : folder_(owner.folder_), calls_(owner.calls_), token_(owner.token_), namer_(owner) {}

FileSet::~FileSet() { removeTemporaries(); }

void FileSet::removeStaleTemporaries() {
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder_, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::error_code type;
    if (IsOwnTemporary(it->path()) && it->is_regular_file(type)) calls_.remove(it->path());
  }
}

std::filesystem::path FileSet::newTemporary(const std::filesystem::path& path) {
  if (&namer_ != this) return namer_.newTemporary(path);
  const std::lock_guard lock(mutex_);
  std::string name = ".";
  name += path.filename().string();
  name += kMark;
  name += token_;
  name += '-';
  name += std::to_string(created_++);
  name += kEnd;
  return folder_ / name;
}

void FileSet::add(const std::filesystem::path& path, std::filesystem::path temporary) {
  const std::lock_guard lock(mutex_);
  auto [it, added] = temporaries_.try_emplace(path, temporary);
  if (added) return;
  calls_.remove(it->second);  // written again: the newer bytes win
  it->second = std::move(temporary);
}

void FileSet::takeFrom(FileSet& other) {
  std::map<std::filesystem::path, std::filesystem::path> written;
  {
    const std::lock_guard lock(other.mutex_);
    written.swap(other.temporaries_);
  }
  for (auto& [path, temporary] : written) add(path, std::move(temporary));
}

std::vector<std::filesystem::path> FileSet::paths() const {
  const std::lock_guard lock(mutex_);
  std::vector<std::filesystem::path> paths(placed_.begin(), placed_.end());
  for (const auto& [path, temporary] : temporaries_) paths.push_back(path);
  return paths;
}

void FileSet::removeTemporaries() {
  const std::lock_guard lock(mutex_);
  for (const auto& [path, temporary] : temporaries_) calls_.remove(temporary);
  temporaries_.clear();
}

bool FileSet::commit(const std::filesystem::path& last) {
  const std::lock_guard lock(mutex_);
  std::vector<std::filesystem::path> written;
  written.reserve(temporaries_.size());
  for (const auto& [path, temporary] : temporaries_) written.push_back(temporary);
  const auto failed = [this](const std::filesystem::path& path, std::string reason) {
    failure_ = {path, true, std::move(reason)};
    return false;
  };
  std::string reason;
  if (!calls_.syncData(folder_, written, reason)) {
    failure_ = {folder_, false, std::move(reason)};
    return false;
  }
  // The others first, made durable, so that the last one never points at a
  // file that is not there, whenever the power goes.
  // A temporary renamed is gone from its name, so removing the set's
  // temporaries after a failure here removes only those not yet in place.
  const auto lastPath = folder_ / last;
  for (const auto& [path, temporary] : temporaries_) {
    if (path != lastPath && !calls_.rename(temporary, path, reason)) return failed(path, reason);
  }
  if (!calls_.syncFolder(folder_, reason)) return failed(folder_, reason);
  if (const auto it = temporaries_.find(lastPath); it != temporaries_.end()) {
    if (!calls_.rename(it->second, it->first, reason)) return failed(it->first, reason);
    if (!calls_.syncFolder(folder_, reason)) return failed(folder_, reason);
  }
  for (auto& [path, temporary] : temporaries_) placed_.insert(path);
  temporaries_.clear();
  return true;
}

FileSet::NewFile::NewFile(FileSet& set, std::filesystem::path name)
    : set_(set), path_(set.folder_ / name) {
  temporary_ = set_.newTemporary(path_);
  std::string reason;
  file_ = set_.calls_.create(temporary_, path_, reason);
  if (file_ == FileCalls::kNoFile) failure_ = {path_, true, reason};
}

FileSet::NewFile::~NewFile() {
  if (isOpen()) fail(false, {});
}

void FileSet::NewFile::fail(bool creating, std::string reason) {
  std::string ignored;
  if (isOpen()) set_.calls_.close(file_, ignored);
  file_ = FileCalls::kNoFile;
  set_.calls_.remove(temporary_);
  failure_ = {path_, creating, std::move(reason)};
}

bool FileSet::NewFile::write(std::string_view bytes) {
  if (!isOpen()) return false;
  std::string reason;
  if (set_.calls_.write(file_, bytes.data(), bytes.size(), reason)) return true;
  fail(false, std::move(reason));
  return false;
}

bool FileSet::NewFile::finish() {
  if (!isOpen()) return false;
  std::string reason;
  const bool closed = set_.calls_.close(file_, reason);
  file_ = FileCalls::kNoFile;
  if (!closed) {
    set_.calls_.remove(temporary_);
    failure_ = {path_, false, std::move(reason)};
    return false;
  }
  set_.add(path_, std::move(temporary_));
  return true;
}

}  // namespace quellmar

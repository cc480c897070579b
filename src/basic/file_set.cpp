#include "basic/file_set.h"

#include <random>
#include <system_error>
#include <utility>

#include "basic/text_file.h"

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

namespace fs = std::filesystem;

// ".NAME.quellmar-REST" beside folder: hidden, and of this program's pattern.
fs::path Beside(const fs::path& folder, std::string_view rest) {
  fs::path name = ".";
  name += folder.filename();
  name += std::string(kMark);
  name += std::string(rest);
  return folder.parent_path() / name;
}

fs::path JournalPath(const fs::path& folder) { return Beside(folder, "switch"); }
fs::path NewFolder(const fs::path& folder, const std::string& token) {
  return Beside(folder, token + ".new");
}
fs::path OldFolder(const fs::path& folder, const std::string& token) {
  return Beside(folder, token + ".old");
}

bool Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// A new or an old folder that a switch of folder left beside it, or a
// temporary of its journal.
bool IsLeftBeside(const fs::path& folder, const fs::directory_entry& entry) {
  const auto name = entry.path().filename().native();
  const auto start = Beside(folder, {}).filename().native();
  const auto newEnd = fs::path(".new").native();
  const auto oldEnd = fs::path(".old").native();
  std::error_code ec;
  const auto type = entry.symlink_status(ec).type();
  if (IsOwnTemporary(name)) {
    return name.starts_with(fs::path(".").native() + JournalPath(folder).filename().native()) &&
           type == fs::file_type::regular;
  }
  return name.size() > start.size() + newEnd.size() && name.starts_with(start) &&
         (name.ends_with(newEnd) || name.ends_with(oldEnd)) && type == fs::file_type::directory;
}

bool IsToken(std::string_view text) {
  return text.size() == 16 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// Finishes the switch of folder that its journal records. The journal is
// written once the new folder is whole and synced, before the old folder
// moves aside: a new folder and the old one in place is rolled back; the old
// one aside is followed by the new one, or, when that cannot be, put back.
void FinishJournaledSwitch(const fs::path& folder, FileCalls& calls) {
  const auto journal = JournalPath(folder);
  const auto text = ReadWholeFile(journal);
  if (!text) return;
  const auto token = text->substr(0, text->find('\n'));
  const auto parent = folder.parent_path();
  std::string reason;
  if (IsToken(token)) {
    const auto made = NewFolder(folder, token);
    const auto old = OldFolder(folder, token);
    if (Exists(folder)) {
      calls.removeTree(made);
    } else if (!calls.rename(made, folder, reason) && !calls.rename(old, folder, reason)) {
      return;
    }
    if (!calls.syncFolder(parent, reason)) return;
    if (calls.remove(journal)) calls.syncFolder(parent, reason);
    calls.removeTree(old);
    return;
  }
  calls.remove(journal);  // not one of ours
}

}  // namespace

fs::path RealFolder(const fs::path& folder) {
  std::error_code ec;
  auto path = fs::absolute(folder, ec).lexically_normal();
  if (!path.has_filename()) path = path.parent_path();
  // Links of links too, as the system follows them, up to its limit.
  for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(path, ec)); ++hop) {
    const auto target = fs::read_symlink(path, ec);
    if (ec) break;
    path = (path.parent_path() / target).lexically_normal();
    if (!path.has_filename()) path = path.parent_path();
  }
  return path;
}

FolderSwitch::FolderSwitch(fs::path folder, FileCalls& calls)
    : folder_(std::move(folder)),
      calls_(calls),
      token_(RandomToken()),
      building_(NewFolder(folder_, token_)) {
  FinishJournaledSwitch(folder_, calls_);
  std::error_code ec;
  for (auto it = fs::directory_iterator(folder_.parent_path(), ec);
       !ec && it != fs::directory_iterator(); it.increment(ec)) {
    if (IsLeftBeside(folder_, *it)) calls_.removeTree(it->path());  // a file too
  }
}

FolderSwitch::~FolderSwitch() {
  if (built_) calls_.removeTree(switched_ ? previous_ : building_);
}

bool FolderSwitch::failed(const fs::path& path, std::string reason) {
  failure_ = {path, true, std::move(reason)};
  return false;
}

bool FolderSwitch::begin() {
  std::string reason;
  built_ = calls_.makeFolder(building_, folder_, reason);
  return built_ || failed(folder_, reason);
}

bool FolderSwitch::carry(const fs::path& name) {
  std::string reason;
  return calls_.carry(folder_ / name, building_ / name, reason) || failed(folder_ / name, reason);
}

bool FolderSwitch::commit() {
  std::string reason;
  const auto parent = folder_.parent_path();
  // The new folder's own entry first, so that no power loss keeps the
  // exchange without it.
  if (!calls_.syncFolder(parent, reason)) return failed(folder_, reason);
  switch (calls_.exchange(building_, folder_, reason)) {
    case FileCalls::Exchange::Done:
      break;
    case FileCalls::Exchange::Unsupported:
      return switchByJournal();
    case FileCalls::Exchange::Failed:
      return failed(folder_, reason);
  }
  switched_ = true;
  previous_ = building_;  // the names swapped
  return calls_.syncFolder(parent, reason) || failed(folder_, reason);
}

// Old folder aside, new folder in, each step synced, with the journal
// telling the next start which of them were made.
bool FolderSwitch::switchByJournal() {
  const auto parent = folder_.parent_path();
  const auto journal = JournalPath(folder_);
  FileSet record(parent, calls_);
  {
    FileSet::NewFile file(record, journal.filename());
    if (!file.write(token_ + "\n") || !file.finish()) {
      failure_ = file.failure();
      return false;
    }
  }
  if (!record.commit(journal.filename())) {
    failure_ = record.failure();
    FinishJournaledSwitch(folder_, calls_);
    return false;
  }
  std::string reason;
  const auto old = OldFolder(folder_, token_);
  const bool moved = calls_.rename(folder_, old, reason) && calls_.syncFolder(parent, reason) &&
                     calls_.rename(building_, folder_, reason);
  switched_ = moved;
  previous_ = old;
  if (!moved || !calls_.syncFolder(parent, reason)) {
    failed(folder_, reason);
    FinishJournaledSwitch(folder_, calls_);
    return false;
  }
  if (calls_.remove(journal)) calls_.syncFolder(parent, reason);
  return true;
}

void CompleteFolderSwitch(const fs::path& folder, FileCalls& calls) {
  const auto real = RealFolder(folder);
  if (!Exists(JournalPath(real))) return;
  const ExclusiveLock lock(calls, real);
  if (lock.state() == ExclusiveLock::State::Held) FinishJournaledSwitch(real, calls);
}

// ".NAME.quellmar-TOKEN-N.tmp": hidden, so that emptying the Output folder and
// a listing pass over it.
bool IsOwnTemporary(const std::filesystem::path& name) {
  const auto text = name.filename().string();
  return text.size() > kMark.size() + kEnd.size() + 1 && text.front() == '.' &&
         text.ends_with(kEnd) && text.find(kMark) != std::string::npos;
}

FileSet::FileSet(std::filesystem::path folder, FileCalls& calls) : FileSet(folder, calls, folder) {}

FileSet::FileSet(std::filesystem::path folder, FileCalls& calls, std::filesystem::path replacing)
    : folder_(std::move(folder)),
      replacing_(std::move(replacing)),
      calls_(calls),
      token_(RandomToken()),
      namer_(*this) {}

FileSet::FileSet(FileSet& owner)
    : folder_(owner.folder_),
      replacing_(owner.replacing_),
      calls_(owner.calls_),
      token_(owner.token_),
      namer_(owner) {}

FileSet::~FileSet() { removeTemporaries(); }

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
    failure_ = {replacing_, false, std::move(reason)};
    return false;
  }
  // The others first, made durable, so that the last one never points at a
  // file that is not there, whenever the power goes.
  // A temporary renamed is gone from its name, so removing the set's
  // temporaries after a failure here removes only those not yet in place.
  const auto lastPath = folder_ / last;
  for (const auto& [path, temporary] : temporaries_) {
    if (path != lastPath && !calls_.rename(temporary, path, reason)) {
      return failed(replaced(path), reason);
    }
  }
  if (!calls_.syncFolder(folder_, reason)) return failed(replacing_, reason);
  if (const auto it = temporaries_.find(lastPath); it != temporaries_.end()) {
    if (!calls_.rename(it->second, it->first, reason)) return failed(replaced(it->first), reason);
    if (!calls_.syncFolder(folder_, reason)) return failed(replacing_, reason);
  }
  for (auto& [path, temporary] : temporaries_) placed_.insert(path);
  temporaries_.clear();
  return true;
}

namespace {

// The most bytes of a file held back while the file it replaces may be kept:
// pages and pictures, not an index of thousands of dives, which changes with
// any of them.
constexpr std::size_t kMostHeld = 1024 * 1024;

}  // namespace

FileSet::NewFile::NewFile(FileSet& set, std::filesystem::path name)
    : set_(set), path_(set.folder_ / name) {
  temporary_ = set_.newTemporary(path_);
  // In place, a second name of the file replaced would stay a temporary: a
  // rename onto the same file does nothing. Before a first file is made, a
  // folder that takes none shows at once, at the first file.
  holding_ = set_.replacing_ != set_.folder_ && set_.namer_.made_;
  if (!holding_) open();
}

FileSet::NewFile::~NewFile() {
  if (isOpen()) fail(false, {});
}

bool FileSet::NewFile::open() {
  std::string reason;
  file_ = set_.calls_.create(temporary_, set_.replaced(path_), reason);
  if (file_ != FileCalls::kNoFile) return set_.namer_.made_ = true;
  failure_ = {set_.replaced(path_), true, reason};
  return false;
}

// Stops holding: the bytes held go to a temporary of their own.
bool FileSet::NewFile::writeHeld() {
  holding_ = false;
  const std::string held = std::move(held_);
  return open() && (held.empty() || write(held));
}

void FileSet::NewFile::fail(bool creating, std::string reason) {
  std::string ignored;
  if (file_ != FileCalls::kNoFile) set_.calls_.close(file_, ignored);
  file_ = FileCalls::kNoFile;
  holding_ = false;
  set_.calls_.remove(temporary_);
  failure_ = {set_.replaced(path_), creating, std::move(reason)};
}

bool FileSet::NewFile::write(std::string_view bytes) {
  if (holding_) {
    if (held_.size() + bytes.size() <= kMostHeld) {
      held_.append(bytes);
      return true;
    }
    if (!writeHeld()) return false;
  }
  if (!isOpen()) return false;
  std::string reason;
  if (set_.calls_.write(file_, bytes.data(), bytes.size(), reason)) return true;
  fail(false, std::move(reason));
  return false;
}

bool FileSet::NewFile::finish() {
  if (holding_) {
    if (set_.calls_.keep(set_.replaced(path_), temporary_, held_)) {
      holding_ = false;
      set_.add(path_, std::move(temporary_));
      return true;
    }
    if (!writeHeld()) return false;
  }
  if (!isOpen()) return false;
  std::string reason;
  const bool closed = set_.calls_.close(file_, reason);
  file_ = FileCalls::kNoFile;
  if (!closed) {
    set_.calls_.remove(temporary_);
    failure_ = {set_.replaced(path_), false, std::move(reason)};
    return false;
  }
  set_.add(path_, std::move(temporary_));
  return true;
}

}  // namespace quellmar

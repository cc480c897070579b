// A set of files that takes the place of the earlier ones in a folder as a
// whole: every file is written as a temporary beside its final name, and only
// when all are written are they synced, renamed into place (the one that
// points at the others last) and the folder synced. Until then the earlier
// files stay as they were; after a failure, a kill or a power loss at any
// moment each file in the folder is whole, the old one or the new one.
// Temporaries are hidden names of this program's own pattern; those an
// earlier run left behind are removed by the next set in the folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "basic/os_file.h"

namespace quellmar {

// What went wrong with which file: making it (the temporary, or putting it
// in place) or writing its bytes, in the system's words.
struct FileFailure {
  std::filesystem::path path;  // the final name
  bool creating = false;
  std::string reason;
};

// Whether a name in a folder is one of this program's temporaries.
bool IsOwnTemporary(const std::filesystem::path& name);

class FileSet {
 public:
  FileSet(std::filesystem::path folder, FileCalls& calls);
  // A set whose files are to join owner's (takeFrom): in the same folder,
  // through the same calls, its temporaries named by owner.
  explicit FileSet(FileSet& owner);
  // The temporaries not yet in place go with the set.
  ~FileSet();
  FileSet(const FileSet&) = delete;
  FileSet& operator=(const FileSet&) = delete;

  const std::filesystem::path& folder() const { return folder_; }

  // Removes the temporaries that earlier runs left in the folder (killed,
  // or cut off by a power loss). Only one set may write in a folder at a
  // time: the caller holds a lock on it.
  void removeStaleTemporaries();

  // One file of the set while it is written. Its bytes go to a temporary;
  // finish() adds it to the set, replacing what the set held for that name.
  // Files may be written on several threads at once.
  class NewFile {
   public:
    NewFile(FileSet& set, std::filesystem::path name);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    bool isOpen() const { return file_ != FileCalls::kNoFile; }
    bool write(std::string_view bytes);
    bool finish();
    // Why it failed; the temporary is gone then.
    const FileFailure& failure() const { return failure_; }

   private:
    void fail(bool creating, std::string reason);

    FileSet& set_;
    std::filesystem::path path_;
    std::filesystem::path temporary_;
    FileCalls::Handle file_ = FileCalls::kNoFile;
    FileFailure failure_;
  };

  // Takes over the files written in other, a set made for this one and not
  // committed, as if they had been written here now: a name written in both
  // keeps other's bytes. Sets of their own let files be written on several
  // threads and still replace each other in a fixed order.
  void takeFrom(FileSet& other);

  // Syncs the files' data, renames them into place, the one named last (a
  // name in the folder) after all the others and after a sync of the folder,
  // and syncs the folder. False when a sync or a rename failed; failure()
  // names the file. Files written after a commit wait for the next one.
  bool commit(const std::filesystem::path& last);
  const FileFailure& failure() const { return failure_; }

  // The final paths of the files written, in place or not.
  std::vector<std::filesystem::path> paths() const;

 private:
  std::filesystem::path newTemporary(const std::filesystem::path& path);
  void add(const std::filesystem::path& path, std::filesystem::path temporary);
  void removeTemporaries();

  std::filesystem::path folder_;
  FileCalls& calls_;
  std::string token_;  // tells this set's temporaries from any other's
  FileSet& namer_;     // names the temporaries: this set or its owner
  mutable std::mutex mutex_;
  std::size_t created_ = 0;
  std::map<std::filesystem::path, std::filesystem::path> temporaries_;  // by final path
  std::set<std::filesystem::path> placed_;                              // committed

  FileFailure failure_;
};

}  // namespace quellmar

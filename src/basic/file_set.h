// A set of files that takes the place of the earlier ones in a folder as a
// whole: every file is written as a temporary beside its final name, and only
// when all are written are they synced, renamed into place (the one that
// points at the others last) and the folder synced. Until then the earlier
// files stay as they were; after a failure, a kill or a power loss at any
// moment each file in the folder is whole, the old one or the new one.
// Temporaries are hidden names of this program's own pattern, which the switch
// of their folder (FolderSwitch) leaves behind.
#pragma once

#include <atomic>
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
  // A set written in folder for another one, replacing: there the files
  // it replaces keep their permission bits, and failures name its files.
  FileSet(std::filesystem::path folder, FileCalls& calls, std::filesystem::path replacing);
  // A set whose files are to join owner's (takeFrom): in the same folder,
  // through the same calls, its temporaries named by owner.
  explicit FileSet(FileSet& owner);
  // The temporaries not yet in place go with the set.
  ~FileSet();
  FileSet(const FileSet&) = delete;
  FileSet& operator=(const FileSet&) = delete;

  const std::filesystem::path& folder() const { return folder_; }

  // One file of the set while it is written. Its bytes go to a temporary;
  // finish() adds it to the set, replacing what the set held for that name.
  // Files may be written on several threads at once. In a set written for
  // another folder, once a first file is made, a file that the file it
  // replaces there already holds byte for byte becomes a second name of that
  // file: nothing is written, and removing the other folder frees nothing.
  class NewFile {
   public:
    NewFile(FileSet& set, std::filesystem::path name);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    bool isOpen() const { return file_ != FileCalls::kNoFile || holding_; }
    bool write(std::string_view bytes);
    bool finish();
    // Why it failed; the temporary is gone then.
    const FileFailure& failure() const { return failure_; }

   private:
    bool open();
    bool writeHeld();
    void fail(bool creating, std::string reason);

    FileSet& set_;
    std::filesystem::path path_;
    std::filesystem::path temporary_;
    FileCalls::Handle file_ = FileCalls::kNoFile;
    // While the file replaced may be kept: the bytes so far, held back.
    bool holding_ = false;
    std::string held_;
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
  std::filesystem::path replaced(const std::filesystem::path& path) const {
    return replacing_ / path.filename();
  }
  void add(const std::filesystem::path& path, std::filesystem::path temporary);
  void removeTemporaries();

  std::filesystem::path folder_;
  std::filesystem::path replacing_;
  FileCalls& calls_;
  std::string token_;  // tells this set's temporaries from any other's
  FileSet& namer_;     // names the temporaries: this set or its owner
  mutable std::mutex mutex_;
  std::size_t created_ = 0;
  std::atomic<bool> made_ = false;  // a file was made: the folder takes new ones
  std::map<std::filesystem::path, std::filesystem::path> temporaries_;  // by final path
  std::set<std::filesystem::path> placed_;                              // committed

  FileFailure failure_;
};

// The folder a path names: the path itself, or where the link there points,
// so that a switch of it leaves the link as it was.
std::filesystem::path RealFolder(const std::filesystem::path& folder);

// A folder's new content, built as a hidden folder beside it and then put in
// its place as a whole: after a failure, a kill or a power loss at any moment
// the name holds the old folder or the new one. Where the system swaps two
// names at once (FileCalls::exchange) that is one step; elsewhere a synced
// journal beside the folder records the switch, and the next switch of the
// folder, or CompleteFolderSwitch at a program's start, finishes it or rolls
// it back. The old folder is removed after the switch.
class FolderSwitch {
 public:
  // For folder, a real folder (see RealFolder), under the caller's lock on
  // it: finishes a switch a journal records and removes the folders that
  // earlier switches, killed, left beside it.
  FolderSwitch(std::filesystem::path folder, FileCalls& calls);
  // The new folder goes, unless switched in; then the old one goes.
  ~FolderSwitch();
  FolderSwitch(const FolderSwitch&) = delete;
  FolderSwitch& operator=(const FolderSwitch&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  // Where the new content is written.
  const std::filesystem::path& building() const { return building_; }

  // Makes the new folder, empty, with the old one's permission bits.
  bool begin();
  // Gives the new folder what the old one holds under name (FileCalls::carry).
  bool carry(const std::filesystem::path& name);
  // Puts the new folder, synced by the caller, in place of the old one.
  bool commit();
  // Where the old folder is once switched out, until this object goes.
  const std::filesystem::path& previous() const { return previous_; }
  const FileFailure& failure() const { return failure_; }

 private:
  bool failed(const std::filesystem::path& path, std::string reason);
  bool switchByJournal();

  std::filesystem::path folder_;
  FileCalls& calls_;
  std::string token_;
  std::filesystem::path building_;
  std::filesystem::path previous_;
  bool built_ = false;
  bool switched_ = false;
  FileFailure failure_;
};

// What each program does at start for the folder, before anything else:
// finishes or rolls back a switch its journal records, under the folder's
// lock; nothing when another program holds the lock.
void CompleteFolderSwitch(const std::filesystem::path& folder, FileCalls& calls);

}  // namespace quellmar

// The whole-logbook writer proved the way storage engines prove theirs: a
// real export over an earlier logbook is recorded at the file seam, then cut
// off after every one of its calls, as by a kill or a power loss. What a
// power loss keeps is worked out from the record: file data only where a sync
// came after it, and of the folder's entries (creations, renames, removals)
// those up to the last sync of the folder plus any of the ones after it: a
// file system need not keep them in order. Every such Output must
// hold each file whole, old or new; the old index page with files it can
// open; a new index page only with every file of the new logbook in place.
// Then the same export is failed at each call in turn, on real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "basic/file_set.h"
#include "html_out/logbook_writer.h"
#include "html_out/output_file.h"
#include "support/temp_dir.h"

namespace quellmar {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;  // name in Output: bytes

// One call at the file seam, with what it took.
struct Call {
  enum Kind { Create, Write, Close, SyncData, Rename, SyncFolder, Remove } kind;
  std::string name = {};  // in Output
  std::string to = {};    // a rename's new name
  std::string bytes = {};
};

// The system's calls, recorded; with failAt set, that call fails instead.
class RecordingCalls : public FileCalls {
 public:
  Handle create(const fs::path& temporary, const fs::path& final, std::string& reason) override {
    if (failsNow(reason)) return kNoFile;
    const Handle file = system_.create(temporary, final, reason);
    if (file != kNoFile) {
      record({Call::Create, Name(temporary)});
      names_[file] = Name(temporary);
    }
    return file;
  }
  bool write(Handle file, const char* bytes, std::size_t count, std::string& reason) override {
    if (failsNow(reason)) return false;
    record({Call::Write, names_[file], {}, std::string(bytes, count)});
    return system_.write(file, bytes, count, reason);
  }
  bool close(Handle file, std::string& reason) override {
    const bool closed = system_.close(file, reason);
    if (failsNow(reason)) return false;
    record({Call::Close, names_[file]});
    return closed;
  }
  bool syncData(const fs::path& folder, const std::vector<fs::path>& files,
                std::string& reason) override {
    if (failsNow(reason)) return false;
    record({Call::SyncData});
    return system_.syncData(folder, files, reason);
  }
  bool rename(const fs::path& from, const fs::path& to, std::string& reason) override {
    if (failsNow(reason)) return false;
    record({Call::Rename, Name(from), Name(to)});
    return system_.rename(from, to, reason);
  }
  bool syncFolder(const fs::path& folder, std::string& reason) override {
    if (failsNow(reason)) return false;
    record({Call::SyncFolder});
    return system_.syncFolder(folder, reason);
  }
  bool remove(const fs::path& path) override {
    std::string reason;
    if (failsNow(reason)) return false;
    const bool removed = system_.remove(path);
    if (removed) record({Call::Remove, Name(path)});
    return removed;
  }

  std::vector<Call> calls;
  int failAt = -1;  // the number of the call that fails

 private:
  static std::string Name(const fs::path& path) { return path.filename().string(); }
  bool failsNow(std::string& reason) {
    if (count_++ != failAt) return false;
    reason = "Input/output error";
    return true;
  }
  void record(Call call) { calls.push_back(std::move(call)); }

  SystemFileCalls system_;
  std::map<Handle, std::string> names_;
  int count_ = 0;
};

// The folder as the file system holds it: entries naming files, each file
// with the bytes written and the bytes that are on the disk.
struct Disk {
  struct File {
    std::string written;
    std::string durable;
  };
  std::map<std::string, int> entries;  // as the running system sees them
  std::map<int, File> files;
  std::map<std::string, int> durableEntries;
  std::vector<Call> unsyncedEntries;  // changes of entries since the last sync of the folder

  explicit Disk(const Files& before) {
    for (const auto& [name, bytes] : before) {
      const int file = static_cast<int>(files.size());
      files[file] = {bytes, bytes};
      entries[name] = file;
    }
    durableEntries = entries;
  }

  static void Apply(std::map<std::string, int>& entries, const Call& call, int created) {
    if (call.kind == Call::Create) entries[call.name] = created;
    if (call.kind == Call::Remove) entries.erase(call.name);
    if (call.kind == Call::Rename && entries.count(call.name) != 0) {
      entries[call.to] = entries[call.name];
      entries.erase(call.name);
    }
  }

  void syncEntries() {
    durableEntries = entries;
    unsyncedEntries.clear();
    createdAs_.clear();
  }

  void apply(const Call& call) {
    switch (call.kind) {
      case Call::Create: {
        const int file = static_cast<int>(files.size());
        files[file] = {};
        Apply(entries, call, file);
        unsyncedEntries.push_back(call);
        createdAs_[unsyncedEntries.size() - 1] = file;
        break;
      }
      case Call::Write:
        files[entries.at(call.name)].written += call.bytes;
        break;
      case Call::SyncData:  // the whole file system: data and entries
        for (auto& [id, file] : files) file.durable = file.written;
        syncEntries();
        break;
      case Call::SyncFolder:
        syncEntries();
        break;
      case Call::Rename:
      case Call::Remove:
        Apply(entries, call, -1);
        unsyncedEntries.push_back(call);
        break;
      case Call::Close:
        break;
    }
  }

  // What the disk holds after a power loss that kept the unsynced changes of
  // entries whose bits are set in kept.
  Files afterPowerLoss(std::uint64_t kept) const {
    auto held = durableEntries;
    for (std::size_t i = 0; i < unsyncedEntries.size(); ++i) {
      if ((kept >> i & 1) == 0) continue;
      const auto created = createdAs_.find(i);
      Apply(held, unsyncedEntries[i], created == createdAs_.end() ? -1 : created->second);
    }
    Files on;
    for (const auto& [name, file] : held) on[name] = files.at(file).durable;
    return on;
  }

 private:
  std::map<std::size_t, int> createdAs_;  // unsynced change: the file it created
};

Files Read(const fs::path& folder) {
  Files files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] = testing::ReadFile(entry.path());
  }
  return files;
}

// What a kill or a power loss may leave: each file whole, old or new (this
// program's temporaries aside, which the next export removes); the old index
// page with every file it had, old or new; a new one only with the whole new
// logbook. Empty when so, else what is wrong.
std::string Problem(const Files& on, const Files& before, const Files& after) {
  const auto page = on.find("logbook.html");
  const bool newIndex = page != on.end() && page->second == after.at("logbook.html");
  for (const auto& [name, bytes] : on) {
    if (IsOwnTemporary(name)) continue;
    const auto old = before.find(name);
    const auto made = after.find(name);
    const bool whole = (old != before.end() && bytes == old->second) ||
                       (made != after.end() && bytes == made->second);
    if (!whole) return name + " is not whole";
  }
  for (const auto& [name, bytes] : newIndex ? after : before) {
    if (on.count(name) == 0)
      return name + " is missing under the " + (newIndex ? "new" : "old") + " index";
    if (newIndex && on.at(name) != bytes) return name + " is old under the new index";
  }
  return {};
}

class Crash : public ::testing::Test {
 protected:
  Crash() {
    dir.write("html/head.html", "<h1>@totaldivetime@</h1>\r\n");
    dir.write("html/lines.html", "<p>@diveno@ @subpage@</p>\r\n");
    dir.write("html/foot.html", "</html>\r\n");
    dir.write("html/note.html", "<h2>@diveno@ @site@</h2>@profile_gif@\r\n");
    for (int number = 1; number <= 3; ++number) {
      Dive dive;
      dive.number = number;
      dive.site = "Site " + std::to_string(number);
      dive.maxDepth = 12;
      dive.profile = "0,6,12,6,0.0";
      book.dives.push_back(dive);
    }
    // The earlier logbook: its index, a page the new one replaces and one
    // it does not, which the clearing takes after the new one is in place.
    dir.write("Output/logbook.html", "<h1>the earlier logbook</h1>");
    dir.write("Output/d1.html", "an earlier page");
    dir.write("Output/d9.html", "a page of a dive no longer there");
    before = Read(output());
  }
  fs::path output() const { return dir.path() / "Output"; }
  // Exports through calls; false when the export ended by an error.
  bool exportThrough(RecordingCalls& calls) {
    ExportReport report;
    try {
      WriteHtmlLogbook({book, options, dir.path(), true}, report, calls);
      return true;
    } catch (const ExportError&) {
      return false;
    }
  }

  testing::TempDir dir;
  Logbook book;
  ExportOptions options;
  Files before;
};

TEST_F(Crash, AnyCutLeavesAWholeLogbook) {
  RecordingCalls recorded;
  ASSERT_TRUE(exportThrough(recorded));
  Files after = Read(output());
  ASSERT_EQ(after.count("d9.html"), 0u);  // cleared
  ASSERT_EQ(after.size(), 7u);            // the index, three pages, three pictures

  Disk disk(before);
  std::size_t states = 0;
  for (std::size_t cut = 0; cut <= recorded.calls.size(); ++cut) {
    if (cut > 0) disk.apply(recorded.calls[cut - 1]);
    ASSERT_LT(disk.unsyncedEntries.size(), 16u);
    for (std::uint64_t kept = 0; kept < std::uint64_t{1} << disk.unsyncedEntries.size();
         ++kept, ++states) {
      EXPECT_EQ(Problem(disk.afterPowerLoss(kept), before, after), "")
          << "after call " << cut << ", unsynced changes kept: " << kept;
    }
  }
  RecordProperty("cut_points", static_cast<int>(recorded.calls.size()) + 1);
  RecordProperty("states", static_cast<int>(states));
  EXPECT_GT(states, recorded.calls.size());
}

TEST_F(Crash, AFailureAtAnyCallLeavesAWholeLogbookAndNoTemporary) {
  RecordingCalls count;
  ASSERT_TRUE(exportThrough(count));
  const Files after = Read(output());
  const auto calls = static_cast<int>(count.calls.size());
  for (int failing = 0; failing < calls; ++failing) {
    SCOPED_TRACE("call " + std::to_string(failing) + " fails");
    for (const auto& entry : fs::directory_iterator(output())) fs::remove(entry.path());
    for (const auto& [name, bytes] : before) dir.write("Output/" + name, bytes);

    RecordingCalls calls;
    calls.failAt = failing;
    const bool finished = exportThrough(calls);
    const Files on = Read(output());
    EXPECT_EQ(Problem(on, before, after), "");
    for (const auto& [name, bytes] : on) EXPECT_FALSE(IsOwnTemporary(name)) << name;
    // Nothing is deleted and no file put in place when the export fails
    // before its switch to the new logbook.
    const bool switched = std::any_of(calls.calls.begin(), calls.calls.end(),
                                      [](const Call& call) { return call.kind == Call::Rename; });
    if (!finished && !switched) {
      EXPECT_EQ(on, before);
    }
  }
}

// Temporaries of this program's own pattern, left by a killed run, go at
// the start of the next export; any other file stays.
TEST_F(Crash, TheNextExportRemovesTheTemporariesOfAKilledOne) {
  dir.write("Output/.d2.html.quellmar-0a1b2c3d-7.tmp", "half a page");
  dir.write("Output/.d2.html.tmp", "not ours");
  dir.write("Output/notes.quellmar-1-2.tmp", "not hidden: not ours");
  RecordingCalls calls;
  ASSERT_TRUE(exportThrough(calls));
  const Files on = Read(output());
  EXPECT_EQ(on.count(".d2.html.quellmar-0a1b2c3d-7.tmp"), 0u);
  EXPECT_EQ(on.at(".d2.html.tmp"), "not ours");
  EXPECT_EQ(on.count("notes.quellmar-1-2.tmp"), 0u);  // a plain file: the clearing took it
}

#ifndef _WIN32
// A file the new logbook replaces keeps who may read it: a private page
// stays private; a new file gets the usual mode.
TEST_F(Crash, AReplacedFileKeepsItsMode) {
  fs::permissions(output() / "d1.html", fs::perms::owner_read | fs::perms::owner_write);
  RecordingCalls calls;
  ASSERT_TRUE(exportThrough(calls));
  EXPECT_EQ(fs::status(output() / "d1.html").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_NE(fs::status(output() / "d2.html").permissions() & fs::perms::owner_read,
            fs::perms::none);
}
#endif

}  // namespace
}  // namespace quellmar

// The whole-logbook writer proved the way storage engines prove theirs: a
// real export over an earlier logbook is recorded at the file seam, then cut
// off after every one of its calls, as by a kill or a power loss. What a
// power loss keeps is worked out from the record: file data only where a sync
// came after it, and of each folder's entries (creations, renames, links,
// exchanges, removals) those up to its last sync plus any of the ones after
// it: a file system need not keep them in order. Every such Output must
// hold each file whole, old or new; the old index page with files it can
// open; a new index page only with every file of the new logbook in place.
// Both ways of switching the Output folder are proved: the exchange of two
// names, and the journal of a system without one, which the next start
// finishes. Then the same export is failed at each call in turn, on real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
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
using Files = std::map<std::string, std::string>;  // path under a folder: bytes

// One call at the file seam, with what it took; paths under the program folder.
struct Call {
  enum Kind {
    Create,
    Write,
    Close,
    SyncData,
    Rename,
    SyncFolder,
    Remove,
    MakeFolder,
    Carry,
    Link,
    Exchange,
    RemoveTree
  } kind;
  std::string path = {};
  std::string to = {};  // a rename's, a carry's, a link's or an exchange's other path
  std::string bytes = {};
};

// The system's calls, recorded; with failAt set, that call fails instead.
// Without exchange it stands for a system that cannot swap two names.
class RecordingCalls : public FileCalls {
 public:
  RecordingCalls(fs::path root, bool exchanges) : root_(std::move(root)), exchanges_(exchanges) {}

  Handle create(const fs::path& temporary, const fs::path& final, std::string& reason) override {
    if (failsNow(reason)) return kNoFile;
    const Handle file = system_.create(temporary, final, reason);
    if (file != kNoFile) {
      record({Call::Create, name(temporary)});
      names_[file] = name(temporary);
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
    return recorded(system_.rename(from, to, reason), {Call::Rename, name(from), name(to)});
  }
  bool syncFolder(const fs::path& folder, std::string& reason) override {
    if (failsNow(reason)) return false;
    return recorded(system_.syncFolder(folder, reason), {Call::SyncFolder, name(folder)});
  }
  bool remove(const fs::path& path) override {
    std::string reason;
    if (failsNow(reason)) return false;
    return recorded(system_.remove(path), {Call::Remove, name(path)});
  }
  bool makeFolder(const fs::path& folder, const fs::path& like, std::string& reason) override {
    if (failsNow(reason)) return false;
    return recorded(system_.makeFolder(folder, like, reason), {Call::MakeFolder, name(folder)});
  }
  bool carry(const fs::path& from, const fs::path& to, std::string& reason) override {
    if (failsNow(reason)) return false;
    return recorded(system_.carry(from, to, reason), {Call::Carry, name(from), name(to)});
  }
  bool keep(const fs::path& from, const fs::path& to, std::string_view bytes) override {
    std::string reason;
    if (failsNow(reason)) return false;
    return recorded(system_.keep(from, to, bytes), {Call::Link, name(from), name(to)});
  }
  Exchange exchange(const fs::path& first, const fs::path& second, std::string& reason) override {
    if (!exchanges_) return Exchange::Unsupported;
    if (failsNow(reason)) return Exchange::Failed;
    const auto done = system_.exchange(first, second, reason);
    recorded(done == Exchange::Done, {Call::Exchange, name(first), name(second)});
    return done;
  }
  bool removeTree(const fs::path& folder) override {
    std::string reason;
    if (failsNow(reason)) return false;
    return recorded(system_.removeTree(folder), {Call::RemoveTree, name(folder)});
  }
  Handle lock(const fs::path& folder, LockState& state, std::string& reason) override {
    if (failsNow(reason)) {
      state = LockState::Unavailable;
      return kNoFile;
    }
    return system_.lock(folder, state, reason);
  }
  void unlock(const fs::path& folder, Handle lock) override { system_.unlock(folder, lock); }

  std::vector<Call> calls;
  int failAt = -1;  // the number of the call that fails

 private:
  std::string name(const fs::path& path) const {
    return path.lexically_relative(root_).generic_string();
  }
  bool failsNow(std::string& reason) {
    if (count_++ != failAt) return false;
    reason = "Input/output error";
    return true;
  }
  bool recorded(bool done, Call call) {
    if (done) record(std::move(call));
    return done;
  }
  void record(Call call) { calls.push_back(std::move(call)); }

  fs::path root_;
  bool exchanges_;
  SystemFileCalls system_;
  std::map<Handle, std::string> names_;
  int count_ = 0;
};

// The program folder as the file system holds it: folders of entries that
// name files and folders, each file with the bytes written and those on the
// disk, each folder with its entries as the running system sees them and as
// the disk holds them.
class Disk {
 public:
  // Trees of paths under the program folder: a file's bytes, "" for a folder
  // (a path ending in "/").
  using Tree = std::map<std::string, std::string>;

  explicit Disk(const Files& output) {
    nodes_.push_back({true});
    for (const auto& [path, bytes] : output) {
      int folder = 0;
      std::string rest = "Output/" + path;
      for (auto slash = rest.find('/'); slash != std::string::npos; slash = rest.find('/')) {
        const auto name = rest.substr(0, slash);
        if (nodes_[folder].entries.count(name) == 0) {
          const int made = newNode(true);
          nodes_[folder].entries[name] = made;
        }
        folder = nodes_[folder].entries.at(name);
        rest.erase(0, slash + 1);
      }
      const int file = newNode(false);
      nodes_[file].written = nodes_[file].durable = bytes;
      nodes_[folder].entries[rest] = file;
    }
    for (auto& node : nodes_) node.durableEntries = node.entries;
  }

  void apply(const Call& call) {
    switch (call.kind) {
      case Call::Create:
      case Call::MakeFolder: {
        const auto [folder, name] = place(call.path);
        const int made = newNode(call.kind == Call::MakeFolder);
        change(folder, {{name, made}});
        break;
      }
      case Call::Write:
        nodes_[node(call.path)].written += call.bytes;
        break;
      case Call::SyncData:
        for (auto& node : nodes_) node.durable = node.written;
        break;
      case Call::Rename:
      case Call::Exchange: {
        const auto [folder, from] = place(call.path);
        const auto [other, to] = place(call.to);
        ASSERT_EQ(folder, other) << "moved between folders: " << call.path;
        const auto& entries = nodes_[folder].entries;
        const int moved = entries.at(from);
        const int swapped = call.kind == Call::Exchange ? entries.at(to) : -1;
        change(folder, {{from, swapped}, {to, moved}});
        break;
      }
      case Call::Carry:
      case Call::Link: {
        const int carried = node(call.path);  // a hard link: the same file
        const auto [folder, name] = place(call.to);
        change(folder, {{name, carried}});
        break;
      }
      case Call::Remove:
      case Call::RemoveTree: {
        const auto [folder, name] = place(call.path);
        change(folder, {{name, -1}});
        break;
      }
      case Call::SyncFolder: {
        const int folder = node(call.path);
        nodes_[folder].durableEntries = nodes_[folder].entries;
        std::erase_if(unsynced_,
                      [folder](const Change& change) { return change.folder == folder; });
        break;
      }
      case Call::Close:
        break;
    }
  }

  // The unsynced changes a power loss may keep or drop that matter: those of
  // the program folder and of the folder named Output; with a journal beside
  // it, those of every folder there, which the next start may put in its
  // place. The others are of hidden folders of this program that nothing
  // looks at: they are taken as kept.
  std::vector<std::size_t> choices() const {
    std::set<int> folders = {0};
    for (const auto* entries : {&nodes_[0].entries, &nodes_[0].durableEntries}) {
      const bool journal = entries->count(".Output.quellmar-switch") != 0;
      for (const auto& [name, node] : *entries) {
        if (name == "Output" || journal) folders.insert(node);
      }
    }
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < unsynced_.size(); ++i) {
      if (folders.count(unsynced_[i].folder) != 0) chosen.push_back(i);
    }
    return chosen;
  }

  // What the disk holds after a power loss that kept the changes of choices
  // whose bits are set in kept.
  Tree afterPowerLoss(const std::vector<std::size_t>& choices, std::uint64_t kept) const {
    std::vector<std::map<std::string, int>> held;
    for (const auto& node : nodes_) held.push_back(node.durableEntries);
    for (std::size_t i = 0, choice = 0; i < unsynced_.size(); ++i) {
      const bool chosen = choice < choices.size() && choices[choice] == i;
      if (chosen && (kept >> choice++ & 1) == 0) continue;
      for (const auto& [name, node] : unsynced_[i].names)
        Set(held[unsynced_[i].folder], name, node);
    }
    Tree tree;
    list(held, 0, "", tree);
    return tree;
  }

 private:
  struct Node {
    bool folder = false;
    std::string written = {};
    std::string durable = {};
    std::map<std::string, int> entries = {};
    std::map<std::string, int> durableEntries = {};
  };
  // Names of one folder set to nodes (-1: gone) in one step.
  struct Change {
    int folder;
    std::vector<std::pair<std::string, int>> names;
  };

  static void Set(std::map<std::string, int>& entries, const std::string& name, int node) {
    if (node < 0) {
      entries.erase(name);
    } else {
      entries[name] = node;
    }
  }
  int newNode(bool folder) {
    nodes_.push_back({folder});
    return static_cast<int>(nodes_.size()) - 1;
  }
  // The folder a path is in, and its name there.
  std::pair<int, std::string> place(const std::string& path) const {
    int folder = 0;
    std::string rest = path;
    for (auto slash = rest.find('/'); slash != std::string::npos; slash = rest.find('/')) {
      folder = nodes_[folder].entries.at(rest.substr(0, slash));
      rest.erase(0, slash + 1);
    }
    return {folder, rest};
  }
  int node(const std::string& path) const {
    if (path == ".") return 0;
    const auto [folder, name] = place(path);
    return nodes_[folder].entries.at(name);
  }
  void change(int folder, std::vector<std::pair<std::string, int>> names) {
    for (const auto& [name, node] : names) Set(nodes_[folder].entries, name, node);
    unsynced_.push_back({folder, std::move(names)});
  }
  void list(const std::vector<std::map<std::string, int>>& held, int folder,
            const std::string& prefix, Tree& tree) const {
    for (const auto& [name, node] : held[folder]) {
      if (nodes_[node].folder) {
        tree[prefix + name + "/"] = "";
        list(held, node, prefix + name + "/", tree);
      } else {
        tree[prefix + name] = nodes_[node].durable;
      }
    }
  }

  std::vector<Node> nodes_;  // the first is the program folder
  std::vector<Change> unsynced_;
};

// The files under folder, by relative path; nothing when there is no folder.
Files Read(const fs::path& folder) {
  Files files;
  if (!fs::is_directory(folder)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[entry.path().lexically_relative(folder).generic_string()] =
          testing::ReadFile(entry.path());
    }
  }
  return files;
}

// The files of Output in a tree.
Files OutputOf(const Disk::Tree& tree) {
  Files files;
  for (const auto& [path, bytes] : tree) {
    if (path.starts_with("Output/") && !path.ends_with("/")) files[path.substr(7)] = bytes;
  }
  return files;
}

// Every folder and file of a tree, made under root.
void Make(const Disk::Tree& tree, const fs::path& root) {
  for (const auto& [path, bytes] : tree) {
    if (path.ends_with("/")) {
      fs::create_directories(root / path);
    } else {
      fs::create_directories((root / path).parent_path());
      std::ofstream(root / path, std::ios::binary) << bytes;
    }
  }
}

// Every entry under root as a tree, to show what did not change.
Disk::Tree Snapshot(const fs::path& root) {
  Disk::Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const auto path = entry.path().lexically_relative(root).generic_string();
    if (entry.is_directory()) {
      tree[path + "/"] = "";
    } else {
      tree[path] = testing::ReadFile(entry.path());
    }
  }
  return tree;
}

// What a kill or a power loss may leave: each file whole, old or new (this
// program's temporaries aside, which are not part of a logbook); the old
// index page with every file it had, old or new; a new one only with the
// whole new logbook. Empty when so, else what is wrong.
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

// The two systems: one that swaps two names at once, one that cannot.
class Crash : public ::testing::TestWithParam<bool> {
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
    // The earlier logbook: its index, a page the new one replaces, one it
    // keeps as it is and one it does not write, which the clearing takes;
    // and the user's own hidden file and folder, which stay.
    ExportReport report;
    SystemFileCalls system;
    MakeOutputFolder(dir.path());
    WriteHtmlLogbook({book, options, dir.path(), true}, report, system);
    const auto kept = testing::ReadFile(output() / "d2.html");
    fs::remove_all(output());
    dir.write("Output/d2.html", kept);
    dir.write("Output/logbook.html", "<h1>the earlier logbook</h1>");
    dir.write("Output/d1.html", "an earlier page");
    dir.write("Output/d9.html", "a page of a dive no longer there");
    dir.write("Output/.htaccess", "the user's own");
    dir.write("Output/photos/reef.jpg", "a photo");
    before = Read(output());
  }
  fs::path output() const { return dir.path() / "Output"; }
  bool exchanges() const { return GetParam(); }
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
  // What the Output folder of a tree holds once the next program started in
  // it: first with the lock failing, which leaves all as it was, then as usual.
  Files restarted(const Disk::Tree& tree) {
    const testing::TempDir again;
    Make(tree, again.path());
    const auto made = Snapshot(again.path());
    RecordingCalls lockFails(again.path(), exchanges());
    lockFails.failAt = 0;
    CompleteFolderSwitch(again.path() / "Output", lockFails);
    EXPECT_EQ(Snapshot(again.path()), made);
    SystemFileCalls calls;
    CompleteFolderSwitch(again.path() / "Output", calls);
    return Read(again.path() / "Output");
  }

  testing::TempDir dir;
  Logbook book;
  ExportOptions options;
  Files before;
};

TEST_P(Crash, AnyCutLeavesAWholeLogbook) {
  RecordingCalls recorded(dir.path(), exchanges());
  ASSERT_TRUE(exportThrough(recorded));
  Files after = Read(output());
  ASSERT_EQ(after.count("d9.html"), 0u);  // cleared
  ASSERT_EQ(after.size(), 9u);            // the index, three pages, three pictures, the user's two
  ASSERT_EQ(std::count_if(recorded.calls.begin(), recorded.calls.end(),
                          [](const Call& call) { return call.kind == Call::Link; }),
            1);  // the page that stays as it was

  Disk disk(before);
  std::set<Disk::Tree> seen;
  std::size_t states = 0;
  for (std::size_t cut = 0; cut <= recorded.calls.size(); ++cut) {
    if (cut > 0) disk.apply(recorded.calls[cut - 1]);
    const auto choices = disk.choices();
    ASSERT_LT(choices.size(), 16u);
    for (std::uint64_t kept = 0; kept < std::uint64_t{1} << choices.size(); ++kept, ++states) {
      const auto tree = disk.afterPowerLoss(choices, kept);
      if (!seen.insert(tree).second) continue;
      // With the exchange, Output is whole at once; with the journal, once
      // the next program has started.
      const Files on = exchanges() ? OutputOf(tree) : restarted(tree);
      EXPECT_EQ(Problem(on, before, after), "")
          << "after call " << cut << ", unsynced changes kept: " << kept;
    }
  }
  RecordProperty("cut_points", static_cast<int>(recorded.calls.size()) + 1);
  RecordProperty("states", static_cast<int>(states));
  RecordProperty("distinct_states", static_cast<int>(seen.size()));
  EXPECT_GT(seen.size(), 2u);
}

TEST_P(Crash, AFailureAtAnyCallLeavesAWholeLogbookAndNothingOfItsOwn) {
  RecordingCalls count(dir.path(), exchanges());
  ASSERT_TRUE(exportThrough(count));
  const Files after = Read(output());
  const auto calls = static_cast<int>(count.calls.size());
  for (int failing = 0; failing < calls; ++failing) {
    SCOPED_TRACE("call " + std::to_string(failing) + " fails");
    fs::remove_all(output());
    for (const auto& [name, bytes] : before) dir.write("Output/" + name, bytes);

    RecordingCalls calls(dir.path(), exchanges());
    calls.failAt = failing;
    const bool finished = exportThrough(calls);
    const Files on = Read(output());
    EXPECT_EQ(Problem(on, before, after), "");
    for (const auto& [name, bytes] : on) EXPECT_FALSE(IsOwnTemporary(name)) << name;
    // Nothing changes in Output when the export fails before its switch.
    const bool switched = std::any_of(calls.calls.begin(), calls.calls.end(), [](const Call& call) {
      return call.kind == Call::Exchange || (call.kind == Call::Rename && call.path == "Output");
    });
    if (!finished && !switched) {
      EXPECT_EQ(on, before);
    }
    // The next export finishes and leaves nothing of either beside Output.
    RecordingCalls next(dir.path(), exchanges());
    ASSERT_TRUE(exportThrough(next));
    EXPECT_EQ(Read(output()), after);
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      const auto name = entry.path().filename().string();
      EXPECT_TRUE(!name.starts_with(".Output.") || name == ".Output.quellmar-lock") << name;
    }
  }
}

// What a killed export left, of this program's own pattern, goes at the
// start of the next one; anything else stays.
TEST_P(Crash, TheNextExportRemovesWhatAKilledOneLeft) {
  dir.write("Output/.d2.html.quellmar-0a1b2c3d-7.tmp", "half a page");
  dir.write("Output/.d2.html.tmp", "not ours");
  dir.write("Output/notes.quellmar-1-2.tmp", "not hidden: not ours");
  dir.write(".Output.quellmar-0123456789abcdef.new/d1.html", "half a logbook");
  dir.write(".Output.quellmar-fedcba9876543210.old/d1.html", "an old logbook");
  dir.write(".Output.other/d1.html", "not ours");
  RecordingCalls calls(dir.path(), exchanges());
  ASSERT_TRUE(exportThrough(calls));
  const Files on = Read(output());
  EXPECT_EQ(on.count(".d2.html.quellmar-0a1b2c3d-7.tmp"), 0u);
  EXPECT_EQ(on.at(".d2.html.tmp"), "not ours");
  EXPECT_EQ(on.count("notes.quellmar-1-2.tmp"), 0u);  // a plain file: the clearing took it
  EXPECT_FALSE(fs::exists(dir.path() / ".Output.quellmar-0123456789abcdef.new"));
  EXPECT_FALSE(fs::exists(dir.path() / ".Output.quellmar-fedcba9876543210.old"));
  EXPECT_TRUE(fs::exists(dir.path() / ".Output.other/d1.html"));
}

#ifndef _WIN32
// A file the new logbook replaces keeps who may read it: a private page
// stays private; a new file gets the usual mode; the folder keeps its own.
TEST_P(Crash, AReplacedFileKeepsItsMode) {
  const auto owner = fs::perms::owner_read | fs::perms::owner_write;
  fs::permissions(output() / "d1.html", owner);
  fs::permissions(output(), owner | fs::perms::owner_exec);
  RecordingCalls calls(dir.path(), exchanges());
  ASSERT_TRUE(exportThrough(calls));
  EXPECT_EQ(fs::status(output() / "d1.html").permissions(), owner);
  EXPECT_EQ(fs::status(output()).permissions(), owner | fs::perms::owner_exec);
  EXPECT_NE(fs::status(output() / "d2.html").permissions() & fs::perms::owner_read,
            fs::perms::none);
}

// An Output that is a link stays the same link; the folder it points to
// gets the new logbook.
TEST_P(Crash, AnOutputLinkKeepsPointingWhereItDid) {
  fs::rename(output(), dir.path() / "shared");
  fs::create_directory_symlink("shared", output());
  RecordingCalls calls(dir.path(), exchanges());
  ASSERT_TRUE(exportThrough(calls));
  EXPECT_TRUE(fs::is_symlink(output()));
  EXPECT_EQ(fs::read_symlink(output()), "shared");
  EXPECT_EQ(Read(dir.path() / "shared").at("d2.html"), Read(output()).at("d2.html"));
  EXPECT_EQ(Read(output()).at("photos/reef.jpg"), "a photo");
}
#endif

INSTANTIATE_TEST_SUITE_P(Switch, Crash, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "Exchange" : "Journal");
});

}  // namespace
}  // namespace quellmar

// The SDM CSV export as the program reads it: the companions' names, a
// main-file line into a dive, note and profile lines into their lists, and
// each dive's note and profile found by the dive's key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "basic/text_file.h"
#include "model/logbook.h"

namespace quellmar {

// One line of the note file.
struct NoteLine {
  std::int32_t key = 0;
  std::string text;
};

// One run of consecutive profile lines with the same key.
struct Profile {
  std::int32_t key = 0;
  std::string text;  // the run's samples joined by ","
};

// The companions' names are the main file's name without its last four
// characters followed by these.
inline constexpr std::string_view kDgeSuffix = "$DGE.CSV";
inline constexpr std::string_view kNoteSuffix = "$NOT.CSV";
inline constexpr std::string_view kProfileSuffix = "$PRO.CSV";

// Appends one note-file line (key, text) to notes.
void ReadNoteLine(std::string_view line, std::vector<NoteLine>& notes);

// Adds one profile-file line (key, sample number, depth) to profiles: the
// depth joins the last element when it has the same key, else it starts one.
void ReadProfileLine(std::string_view line, std::vector<Profile>& profiles);

// Reads the whole profile file into profiles, line by line as
// ReadProfileLine reads each line, and fast for the common line: one whose
// key field has the same bytes as the last plain-digit key read (equal bytes
// give an equal key, so the depth joins the last run), whose sample and depth
// are not quoted. Such lines are cut straight
// from the file's buffer, the line end found in the same pass as the commas,
// and each depth joins with one copy of the comma before it and its bytes.
void ReadProfileFile(LineFile& file, std::vector<Profile>& profiles);

// Maps a key to the position of its first entry: a flat table of open
// addressing, sized once for the entries it is to hold, so that building
// and asking it allocates once and its slots lie side by side.
class KeyIndex {
 public:
  struct Slot {
    std::int32_t key = 0;
    bool used = false;
    int asked = 0;  // free for the owner's count of answers
    std::size_t position = 0;
  };

  explicit KeyIndex(std::size_t entries);
  // Enters key at position unless the key is in already.
  void addFirst(std::int32_t key, std::size_t position);
  // The key's slot, or nullptr.
  Slot* find(std::int32_t key);
  const Slot* find(std::int32_t key) const { return const_cast<KeyIndex*>(this)->find(key); }

 private:
  std::size_t home(std::int32_t key) const {
    return (static_cast<std::uint32_t>(key) * 0x9E3779B1u >> 7) & mask_;
  }

  std::vector<Slot> slots_;
  std::size_t mask_;
};

// Finds each dive's note lines and profile by key. Built once over the lists
// read from the companions, it answers every dive in time proportional to the
// note or profile it returns. The lists must outlive the index and stay
// unchanged apart from what NoteText rewrites.
class CompanionIndex {
 public:
  CompanionIndex(std::vector<NoteLine>& notes, std::vector<Profile>& profiles);

  // The dive's note, ready for HTML; rewrites the note lines it uses (pairs
  // of spaces become breaks). A note stored as RTF is its text, a break for
  // each paragraph, and leaves its lines as they are. Asked twice for one
  // key, it gives the same note.
  std::string NoteText(std::int32_t key);

  // Gives every dive its profile once all are read: the first run of its key
  // with 2 or more characters, or none. The run itself goes to the first dive
  // of its key (the profiles are the largest part of an export, and are not
  // copied then), a copy to any later one; the runs are emptied.
  void GiveProfiles(std::vector<Dive>& dives);

 private:
  std::string BuildNote(std::size_t first);
  std::string BuildRtfNote(std::size_t first) const;

  std::vector<NoteLine>& notes_;
  std::vector<Profile>& profiles_;
  // Each key's first note line of 2 or more characters; asked counts how
  // often its note has been built.
  KeyIndex noteRuns_;
  // Whether each note line was 254 characters or more as read: the export
  // cuts long notes into pieces of that size, so such a line runs on into the
  // next without a break. Kept from before the rewrite, which lengthens lines.
  std::vector<bool> noteContinues_;
  // Notes asked for more than once, so that many dives sharing a key cost no
  // more than copying their note.
  std::unordered_map<std::int32_t, std::string> repeatedNotes_;
  KeyIndex profileRuns_;
};

// Fills every field of dive from one main-file line, the note included; the
// profile comes with CompanionIndex::GiveProfiles.
void ParseDiveLine(std::string_view line, Dive& dive, CompanionIndex& companions);

}  // namespace quellmar

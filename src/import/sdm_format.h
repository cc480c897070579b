// The SDM CSV export as the program reads it: a main-file line into a dive,
// note lines and profile lines grouped and found by the dive's key.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "main/logbook.h"

namespace quellmar {

// The companions' names for the main file name (folder already removed).
std::string CsvBase(std::string_view mainFileName);
inline constexpr std::string_view kDgeSuffix = "$DGE.CSV";
inline constexpr std::string_view kNoteSuffix = "$NOT.CSV";
inline constexpr std::string_view kProfileSuffix = "$PRO.CSV";

// Note and profile lines, indexed by key once so that each dive finds its own
// without a scan of the whole list.
class CompanionIndex {
 public:
  CompanionIndex(std::vector<noterec>& notes, const std::vector<profrec>& profiles);

  // The dive's note, ready for HTML; rewrites the note lines it uses.
  std::string NoteText(std::int32_t diveid);
  // The dive's profile samples joined by ",", or empty.
  std::string ProfileText(std::int32_t diveid) const;

 private:
  std::vector<noterec>& notes_;
  const std::vector<profrec>& profiles_;
  // Implementation detail lives in the .cpp.
  struct Index;
  std::shared_ptr<Index> index_;
};

// Appends one note-file line to notes.
void ReadNoteLine(std::string_view line, std::vector<noterec>& notes);

// Adds one profile-file line to profiles, joining runs of the same key.
void ReadProfileLine(std::string_view line, std::vector<profrec>& profiles);

// Fills every field of dive from one main-file line, note and profile included.
void ParseDiveLine(std::string_view line, Suunto& dive, CompanionIndex& companions);

}  // namespace quellmar

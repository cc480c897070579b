// The one logbook the program holds: dives, note lines, profile runs and the
// summary texts of the last import. Plain data; the import fills it, the
// export and the window only read it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellmar {

// One dive, one line of the main CSV file. Fields in export column order.
struct Suunto {
  std::int32_t diveid = 0;  // key tying note and profile lines to the dive
  std::int32_t diveno = 0;  // dive number shown to the user; sort key
  std::string date;         // at most 10 characters
  std::string time;         // at most 5 characters
  std::int16_t series = 0;
  std::int16_t diveseries = 0;
  std::int16_t divetime = 0;  // seconds
  std::int32_t surface = 0;   // seconds
  std::int16_t maxdepth = 0;  // whole metres
  std::int16_t avdepth = 0;   // whole metres
  std::int16_t comptypeid = 0;
  std::string compsernum;  // at most 10 characters
  std::string diverid;
  std::int16_t samplerate = 0;
  std::int16_t altmode = 0;
  std::int16_t persmode = 0;
  std::string location;
  std::string site;
  std::string weather;
  std::string visibility;
  std::int16_t airtemp = 0;
  std::int16_t maxtemp = 0;
  std::int16_t endtemp = 0;
  std::string buddy;
  std::string dm;
  std::string boat;
  std::string tankname;
  std::int16_t tankl = 0;  // litres
  std::int16_t workingp = 0;
  std::int16_t startp = 0;
  std::int16_t endp = 0;
  std::int16_t sac = 0;  // litres per minute; 0 or less: no value
  std::string customs;   // the five custom texts joined with ", "
  std::int16_t weight = 0;
  std::int16_t o2 = 0;  // percent; 0 and 21 both mean air
  std::int16_t compmode = 0;
  std::string note;             // ready for HTML; empty or at least 2 characters
  std::int32_t hasprofile = 0;  // 1 when profile has at least 2 characters
  std::string profile;          // depth samples joined by ","
};

// One line of the note file.
struct noterec {
  std::int32_t diveid = 0;
  std::string text;
};

// One run of consecutive profile lines with the same key.
struct profrec {
  std::int32_t diveid = 0;
  std::string text;  // the run's samples joined by ","
};

// Dive index value for the head and foot templates, which have no dive.
inline constexpr int NoDive = -1;

struct Logbook {
  bool csvopen = false;
  std::vector<Suunto> dives;  // sorted by diveno after an import
  std::string csvbase;        // main file name without folder and last four characters
  std::vector<noterec> notes;
  std::vector<profrec> profiles;
  std::string totaldivetime;
  std::string averdivetime;
  std::string totalmaxdepth;
  std::string totalsac;
  // Running total of the import's progress steps. 64 bits, so that a file of
  // any size keeps the bar moving forwards.
  std::int64_t progresstotal = 0;

  std::int32_t divecount() const { return static_cast<std::int32_t>(dives.size()); }
};

}  // namespace quellmar

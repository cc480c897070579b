// Writing small SDM exports for tests: main-file lines of 45 columns and the
// four files of an export in a folder.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quellmar::testing {

// A main-file line of 45 columns: the given ones, the others empty.
inline std::string DiveLine(const std::map<int, std::string>& columns) {
  std::string line;
  for (int column = 1; column <= 45; ++column) {
    if (column > 1) line += ',';
    const auto it = columns.find(column);
    if (it != columns.end()) line += it->second;
  }
  return line;
}

// A dive with key, number, location and site, dive time, depth and SAC.
inline std::string DiveLine(int key, int number, const std::string& location = "Dahab",
                            const std::string& site = "Canyon", int diveTime = 1800,
                            int maxDepth = 18, int sac = 16) {
  return DiveLine({{1, std::to_string(key)},
                   {2, std::to_string(number)},
                   {3, "\"14/07/2002\""},
                   {4, "\"10:38\""},
                   {7, std::to_string(diveTime)},
                   {9, std::to_string(maxDepth) + ".0"},
                   {19, "\"" + location + "\""},
                   {20, "\"" + site + "\""},
                   {35, std::to_string(sac)}});
}

inline std::string JoinLines(const std::vector<std::string>& lines,
                             const std::string& end = "\r\n") {
  std::string text;
  for (const auto& line : lines) text += line + end;
  return text;
}

// The four files of an export named base + ".csv" in folder; returns the
// main file's path.
inline std::filesystem::path WriteExport(const TempDir& dir, const std::string& folder,
                                         const std::string& main, const std::string& notes,
                                         const std::string& profiles,
                                         const std::string& base = "logbook") {
  const std::string prefix = folder.empty() ? base : folder + "/" + base;
  dir.write(prefix + "$DGE.CSV", "2001,\"wet, 5mm\"\r\n");
  dir.write(prefix + "$NOT.CSV", notes);
  dir.write(prefix + "$PRO.CSV", profiles);
  return dir.write(prefix + ".csv", main);
}

}  // namespace quellmar::testing

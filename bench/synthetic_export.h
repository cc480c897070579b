// Synthetic SDM exports for the benchmarks: a main file of 45 columns and its
// three companions, shaped like a real export (descent, bottom, ascent and
// safety stop; Latin-1 names; quoted commas; notes of several lines; nitrox
// and air). The same seed gives the same bytes on every machine: the random
// numbers come from our own generator, never from <random>'s distributions.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quellmar::bench {

struct ExportShape {
  std::int32_t dives = 1000;
  std::int32_t samples = 180;  // profile samples per dive
  std::int32_t interval = 10;  // seconds between samples
  std::uint64_t seed = 1;
};

// splitmix64: small, fast and fully specified, so its output never changes.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next();
  // A whole number from 0 to n - 1; n must be positive.
  std::int32_t below(std::int32_t n);
  // A whole number from lo to hi, both included.
  std::int32_t between(std::int32_t lo, std::int32_t hi) { return lo + below(hi - lo + 1); }
  bool chance(std::int32_t percent) { return below(100) < percent; }

 private:
  std::uint64_t state_;
};

// A dive's depth samples in centimetres, at shape.interval seconds apart,
// starting and ending at the surface.
std::vector<std::int32_t> MakeDepthProfile(Rng& rng, std::int32_t samples, std::int32_t interval);

// Centimetres as the export writes a depth: "0.0" or metres with two decimals.
std::string DepthText(std::int32_t centimetres);

// A profile as the logbook holds it after an import (the samples joined by
// ","), with the dive's maximum depth in whole metres.
struct ProfileSample {
  std::string text;
  std::int16_t maxDepth = 0;
};
std::vector<ProfileSample> MakeProfiles(std::int32_t count, std::int32_t samples,
                                        std::int32_t interval, std::uint64_t seed);

// Writes the export whose main file is mainFile, with its companions
// NAME$DGE.CSV, NAME$NOT.CSV and NAME$PRO.CSV beside it (NAME is the file name
// less its last four characters). Throws std::runtime_error when a file
// cannot be written.
void WriteExport(const std::filesystem::path& mainFile, const ExportShape& shape);

// The four files of the export whose main file is mainFile.
std::vector<std::filesystem::path> ExportFiles(const std::filesystem::path& mainFile);

}  // namespace quellmar::bench

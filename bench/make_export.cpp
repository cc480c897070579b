// make-export: writes a synthetic SDM export for benchmarks and trials.
//
//   make-export [--dives N] [--samples S] [--interval SEC] [--seed K] OUTDIR/NAME.csv
//
// writes NAME.csv and NAME$DGE.CSV, NAME$NOT.CSV, NAME$PRO.CSV beside it. The
// same arguments always give the same bytes.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string_view>

#include "synthetic_export.h"

namespace {

constexpr const char* kUsage =
    "usage: make-export [--dives N] [--samples S] [--interval SEC] [--seed K] OUTDIR/NAME.csv\n"
    "  --dives N       dives in the main file (default 1000)\n"
    "  --samples S     profile samples per dive (default 180)\n"
    "  --interval SEC  seconds between samples (default 10)\n"
    "  --seed K        seed of the random numbers (default 1)\n";

template <typename Number>
bool ParseNumber(const char* text, Number& value) {
  const char* end = text + std::strlen(text);
  const auto [ptr, ec] = std::from_chars(text, end, value);
  return ec == std::errc() && ptr == end;
}

}  // namespace

int main(int argc, char** argv) {
  quellmar::bench::ExportShape shape;
  const char* output = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    bool ok = true;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--dives" && value) {
      ok = ParseNumber(value, shape.dives) && shape.dives >= 0;
      ++i;
    } else if (arg == "--samples" && value) {
      ok = ParseNumber(value, shape.samples) && shape.samples >= 0;
      ++i;
    } else if (arg == "--interval" && value) {
      ok = ParseNumber(value, shape.interval) && shape.interval > 0;
      ++i;
    } else if (arg == "--seed" && value) {
      ok = ParseNumber(value, shape.seed);
      ++i;
    } else if (!arg.starts_with("-") && output == nullptr) {
      output = argv[i];
    } else {
      ok = false;
    }
    if (!ok) {
      std::fprintf(stderr, "make-export: bad argument %s\n%s", argv[i], kUsage);
      return 2;
    }
  }
  if (output == nullptr) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  try {
    quellmar::bench::WriteExport(output, shape);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make-export: %s\n", error.what());
    return 1;
  }
  return 0;
}

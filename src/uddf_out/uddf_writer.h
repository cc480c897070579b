// The logbook as one UDDF 3.2 file, the Universal Dive Data Format that other
// dive logbooks import: every dive with its numbers as exported, in the SI
// units UDDF uses, with its profile, tank, gas, site, buddies and notes, the
// texts as UTF-8. Sites, buddies, gases and equipment are written once and
// linked from the dives; the dives are streamed into the sink one by one.
#pragma once

#include <cstddef>
#include <string>

#include "basic/byte_sink.h"
#include "model/logbook.h"
#include "uddf_out/dive_start.h"

namespace quellmar {

struct UddfOptions {
  // How to read a date such as 04/12/2010; FromDates decides from the
  // logbook's dates, and reads day first when none tells.
  DateOrder dateOrder = DateOrder::FromDates;
};

// Where the export tells the user what it did: lines for the history.
class UddfReport {
 public:
  virtual ~UddfReport() = default;
  virtual void historyLine(std::string line) = 0;
};

struct UddfResult {
  std::size_t divesWritten = 0;
  // Dives whose date cannot be read: UDDF has no dive without a start.
  std::size_t divesLeftOut = 0;
  // Values that UDDF cannot hold (a dive number below 1, a time of day that
  // cannot be read, a profile sample that is no number, ...).
  std::size_t valuesLeftOut = 0;
  // Profiles whose interval misses the dive time, spread over the dive time.
  std::size_t profilesSpread = 0;
};

// Writes the logbook's dives, in the logbook's order, as one UDDF 3.2.3
// document. The history gets the date order used and a line for every dive
// or value left out and every profile spread, naming the dive. Once the sink has failed, no further
// dive is written; the caller learns of the failure from the sink.
UddfResult WriteUddf(const Logbook& logbook, const UddfOptions& options, ByteSink& sink,
                     UddfReport& report);

}  // namespace quellmar

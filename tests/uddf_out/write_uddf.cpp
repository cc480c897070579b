// write-uddf EXPORT.csv OUT.uddf [DIVES.tsv]: imports an SDM export and
// writes its UDDF file through the program's file writer, printing the
// history. With a third name it also writes each dive as the import read it,
// one tab-separated line per dive (texts as hex bytes, numbers as exported),
// for the round trip test to compare the UDDF file with.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "basic/byte_sink.h"
#include "basic/file_set.h"
#include "import/logbook_import.h"
#include "uddf_out/uddf_writer.h"

namespace quellmar {
namespace {

class PrintedHistory : public UddfReport {
 public:
  void historyLine(std::string line) override { std::cout << line << '\n'; }
};

std::string Hex(const std::string& bytes) {
  std::string hex;
  char pair[3];
  for (const unsigned char byte : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    hex += pair;
  }
  return hex;
}

std::string Text(const std::optional<Decimal>& number) { return number ? number->text() : ""; }

void WriteDives(const Logbook& logbook, std::ostream& out) {
  out << "number\tdate\ttime\tseries\tsurface\tinterval\tcomputertype\tserial\tlocation\tsite"
         "\tweather\tvisibility\tbuddy\tdivemaster\tboat\ttankname\tcustoms\tnote\tprofile"
         "\tdivetime\tmaxdepth\taveragedepth\tairtemp\tbottomtemp\tendtemp\ttankvolume"
         "\tworkingpressure\tstartpressure\tendpressure\tweight\toxygen\n";
  for (const Dive& dive : logbook.dives) {
    const auto& x = dive.exact;
    out << dive.number << '\t' << Hex(dive.date) << '\t' << Hex(dive.time) << '\t' << dive.series
        << '\t' << dive.surfaceInterval << '\t' << dive.sampleInterval << '\t' << dive.computerType;
    for (const auto* text : {&dive.computerSerial, &dive.location, &dive.site, &dive.weather,
                             &dive.visibility, &dive.buddy, &dive.diveMaster, &dive.boat,
                             &dive.tankName, &dive.customTexts, &dive.note, &dive.profile})
      out << '\t' << Hex(*text);
    for (const auto* number :
         {&x.diveTime, &x.maxDepth, &x.averageDepth, &x.airTemperature, &x.bottomTemperature,
          &x.endTemperature, &x.tankVolume, &x.workingPressure, &x.startPressure, &x.endPressure,
          &x.weight, &x.oxygen})
      out << '\t' << Text(*number);
    out << '\n';
  }
}

int Run(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: write-uddf EXPORT.csv OUT.uddf [DIVES.tsv]\n";
    return 2;
  }
  ImportReport quiet;
  const auto found = FindExportFiles(argv[1], quiet);
  const auto* files = std::get_if<ExportFiles>(&found);
  const auto read = files ? ReadExport(*files, quiet) : ImportError{};
  const auto* logbook = std::get_if<Logbook>(&read);
  if (logbook == nullptr) {
    std::cerr << "cannot import " << argv[1] << '\n';
    return 1;
  }
  const std::filesystem::path out = std::filesystem::absolute(argv[2]);
  SystemFileCalls calls;
  FileSet set(out.parent_path(), calls);
  FileSink file(set, out.filename());
  PrintedHistory history;
  WriteUddf(*logbook, UddfOptions{}, file, history);
  if (!file.finish() || !set.commit(out.filename())) {
    std::cerr << "cannot write " << argv[2] << '\n';
    return 1;
  }
  if (argc > 3) {
    std::ofstream dives(argv[3], std::ios::binary);
    WriteDives(*logbook, dives);
    if (!dives.flush()) return 1;
  }
  return 0;
}

}  // namespace
}  // namespace quellmar

int main(int argc, char** argv) { return quellmar::Run(argc, argv); }

#include "uddf_out/uddf_writer.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "basic/decimal.h"
#include "basic/display_text.h"
#include "basic/text.h"
#include "model/profile_clock.h"
#include "uddf_out/coordinates.h"
#include "uddf_out/si_units.h"

namespace quellmar {
namespace {

// Gathered bytes go to the sink once they reach this many.
constexpr std::size_t kChunkSize = 64 * 1024;

// The units of the export in UDDF's, as powers of ten.
constexpr int kBarInPascal = 5;
constexpr int kLitreInCubicMetres = -3;
constexpr int kPercentAsFraction = -2;

// The document as it grows: bytes gather here and reach the sink in large
// writes, so that the file is streamed whatever the logbook's size.
class Document {
 public:
  explicit Document(ByteSink& sink) : sink_(sink) {}

  void raw(std::string_view bytes) {
    out_.append(bytes);
    if (out_.size() >= kChunkSize) send();
  }
  // An element whose content is ours: a number, an id, a date.
  void element(std::string_view name, std::string_view content) {
    out_.append("<").append(name).append(">").append(content);
    out_.append("</").append(name).append(">\n");
    if (out_.size() >= kChunkSize) send();
  }
  // An element holding an export text.
  void textElement(std::string_view name, std::string_view windows1252) {
    out_.append("<").append(name).append(">");
    text(windows1252);
    raw("</" + std::string(name) + ">\n");
  }
  void link(std::string_view id) { raw("<link ref=\"" + std::string(id) + "\"/>\n"); }

  // An export text as UTF-8, its markup kept as text. A carriage return is
  // written as a reference, which XML readers keep; controls that XML 1.0
  // cannot hold at all are dropped.
  void text(std::string_view windows1252) {
    for (const char byte : Utf8FromWindows1252(windows1252)) {
      switch (byte) {
        case '&':
          out_.append("&amp;");
          break;
        case '<':
          out_.append("&lt;");
          break;
        case '>':
          out_.append("&gt;");
          break;
        case '\r':
          out_.append("&#13;");
          break;
        default:
          if (static_cast<unsigned char>(byte) >= 0x20 || byte == '\t' || byte == '\n')
            out_.push_back(byte);
      }
    }
  }

  void send() {
    sink_.write(out_);
    out_.clear();
  }
  bool good() const { return sink_.good(); }

 private:
  ByteSink& sink_;
  std::string out_;
};

bool IsPositive(const std::optional<Decimal>& number) { return number && number->units > 0; }

// "32.50" as "32.5", "21.0" as "21": one gas, one name.
std::string WithoutTrailingZeros(std::string number) {
  if (number.find('.') == std::string::npos) return number;
  number.erase(number.find_last_not_of('0') + 1);
  if (number.back() == '.') number.pop_back();
  return number;
}

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

// The people of a dive: its buddy text split into names ("Buddy 2, Buddy 3"
// are two buddies; blanks around a name and empty names are dropped), then
// the dive master, each name once.
std::vector<std::string> PersonNames(const Dive& dive) {
  std::vector<std::string> names;
  for (const std::string_view text :
       {std::string_view(dive.buddy), std::string_view(dive.diveMaster)}) {
    for (std::size_t from = 0; from <= text.size();) {
      const auto end = std::min(text.find_first_of(",;", from), text.size());
      const std::string name(Trimmed(text.substr(from, end - from)));
      if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
        names.push_back(name);
      from = end + 1;
    }
  }
  return names;
}

// Coordinates typed as the site or, failing that, as the location.
std::optional<Coordinates> SiteCoordinates(const Dive& dive) {
  auto coordinates = ReadCoordinates(dive.site);
  return coordinates ? coordinates : ReadCoordinates(dive.location);
}

// Seconds from hundredths, with the decimals they need: "40", "12.5".
std::string SecondsText(std::int64_t hundredths) {
  return WithoutTrailingZeros(FixedPointText(hundredths, 2));
}

// The visibility in metres when the text is a plain number, with or without
// "m" after it ("25 m", "10"); other texts ("good", "30 ft") go to the notes.
std::optional<Decimal> VisibilityMetres(std::string_view text) {
  text = Trimmed(text);
  if (!text.empty() && (text.back() == 'm' || text.back() == 'M'))
    text = Trimmed(text.substr(0, text.size() - 1));
  if (text.empty() || text.back() == '.' || text.find_first_not_of("0123456789.") != text.npos ||
      text.find('.') != text.rfind('.'))
    return std::nullopt;
  return Decimal::Parse(text);
}

// The oxygen of a dive's gas: nothing for air (the export writes 0 or 21),
// else the percentage without trailing zeros.
std::optional<std::string> NitroxPercent(const Dive& dive) {
  const auto& oxygen = dive.exact.oxygen;
  if (!oxygen || oxygen->isZero() || oxygen->value() == 21.0) return std::nullopt;
  return WithoutTrailingZeros(oxygen->text());
}

bool OxygenFits(const Dive& dive) {
  const auto& oxygen = dive.exact.oxygen;
  return !oxygen || (oxygen->units >= 0 && oxygen->value() <= 100.0);
}

// The keys under which dives share a definition; empty when the dive has none.
std::string SiteKey(const Dive& dive) {
  if (dive.site.empty() && dive.location.empty()) return {};
  return dive.site + '\0' + dive.location;
}
std::string ComputerKey(const Dive& dive) {
  if (dive.computerType == 0 && dive.computerSerial.empty()) return {};
  return std::to_string(dive.computerType) + '\0' + dive.computerSerial;
}
std::string TankKey(const Dive& dive) {
  const auto& volume = dive.exact.tankVolume;
  const auto& working = dive.exact.workingPressure;
  if (dive.tankName.empty() && !IsPositive(volume) && !IsPositive(working)) return {};
  return dive.tankName + '\0' + (IsPositive(volume) ? volume->text() : "") + '\0' +
         (IsPositive(working) ? working->text() : "");
}
std::string MixKey(const Dive& dive) {
  if (!OxygenFits(dive)) return {};
  return NitroxPercent(dive).value_or("air");
}

// Definitions that dives share (sites, buddies, computers, tanks, gases),
// each written once under an id and linked from the dives. They are
// numbered in the order of first use, so the same logbook always gives the
// same file.
class Shared {
 public:
  explicit Shared(std::string prefix) : prefix_(std::move(prefix)) {}

  void add(std::string key, const Dive& dive) {
    if (key.empty()) return;
    const auto [entry, added] = numbers_.try_emplace(std::move(key), firstUses_.size());
    if (added) {
      keys_.push_back(&entry->first);
      firstUses_.push_back(&dive);
    }
  }
  // The id of the definition under key; empty for an empty key.
  std::string id(const std::string& key) const {
    return key.empty() ? std::string() : idAt(numbers_.at(key));
  }
  std::string idAt(std::size_t number) const { return prefix_ + std::to_string(number + 1); }
  // For each definition, the first dive that uses it, which it is written
  // from, and its key.
  const std::vector<const Dive*>& firstUses() const { return firstUses_; }
  const std::string& keyAt(std::size_t number) const { return *keys_[number]; }

 private:
  std::string prefix_;
  std::unordered_map<std::string, std::size_t> numbers_;
  std::vector<const Dive*> firstUses_;
  std::vector<const std::string*> keys_;  // in numbers_, whose keys stay in place
};

// A person of the diver's logbook: the first word as first name, the rest as
// last name, so that the two joined by a blank give the text back.
void WritePerson(Document& doc, std::string_view name) {
  const auto blank = name.find(' ');
  doc.raw("<personal>\n");
  doc.textElement("firstname", name.substr(0, blank));
  doc.textElement("lastname", blank == name.npos ? "" : name.substr(blank + 1));
  doc.raw("</personal>\n");
}

// One export: first every dive's start and the definitions the dives share,
// then the document, dive by dive.
class UddfExport {
 public:
  UddfExport(const Logbook& logbook, const UddfOptions& options, ByteSink& sink, UddfReport& report)
      : logbook_(logbook), options_(options), doc_(sink), report_(report) {}

  UddfResult run() {
    chooseDateOrder();
    planDives();
    doc_.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    doc_.raw("<uddf xmlns=\"http://www.streit.cc/uddf/3.2/\" version=\"3.2.3\">\n");
    doc_.raw("<generator>\n<name>Quellmar</name>\n<type>converter</type>\n</generator>\n");
    writeDiver();
    writeSites();
    writeMixes();
    writeDives();
    doc_.raw("</uddf>\n");
    doc_.send();
    return result_;
  }

 private:
  // A dive's start, and whether its time of day could be read; no start
  // when its date cannot be read.
  struct Start {
    std::string iso;
    bool timeRead = true;
  };

  void chooseDateOrder() {
    order_ = options_.dateOrder;
    std::string why = "as chosen";
    if (order_ == DateOrder::FromDates) {
      const auto shown = DateOrderShown(logbook_.dives);
      order_ = shown.value_or(DateOrder::DayFirst);
      why = shown ? "as the logbook's dates show" : "as no date of the logbook tells the order";
    }
    report_.historyLine(std::string("Dates read ") +
                        (order_ == DateOrder::MonthFirst ? "month" : "day") + " first, " + why +
                        ".");
  }

  // Reads every dive's start and gathers the definitions of the dives that
  // will be written.
  void planDives() {
    starts_.reserve(logbook_.dives.size());
    for (const auto& dive : logbook_.dives) {
      Start start;
      if (const auto date = IsoDate(dive.date, order_)) {
        const auto time = IsoTime(dive.time);
        start.timeRead = time.has_value();
        start.iso = *date + "T" + time.value_or("00:00:00");
        sites_.add(SiteKey(dive), dive);
        for (auto& name : PersonNames(dive)) persons_.add(std::move(name), dive);
        computers_.add(ComputerKey(dive), dive);
        tanks_.add(TankKey(dive), dive);
        mixes_.add(MixKey(dive), dive);
        ++divesToWrite_;
      }
      starts_.push_back(std::move(start));
    }
  }

  void writeDiver() {
    doc_.raw("<diver>\n<owner id=\"owner\">\n");
    WritePerson(doc_, "");
    if (!computers_.firstUses().empty() || !tanks_.firstUses().empty()) {
      doc_.raw("<equipment>\n");
      writeComputers();
      writeTanks();
      doc_.raw("</equipment>\n");
    }
    doc_.raw("</owner>\n");
    for (std::size_t k = 0; k < persons_.firstUses().size(); ++k) {
      doc_.raw("<buddy id=\"" + persons_.idAt(k) + "\">\n");
      WritePerson(doc_, persons_.keyAt(k));
      doc_.raw("</buddy>\n");
    }
    doc_.raw("</diver>\n");
  }

  void writeComputers() {
    for (std::size_t k = 0; k < computers_.firstUses().size(); ++k) {
      const Dive& dive = *computers_.firstUses()[k];
      const std::string type = std::to_string(dive.computerType);
      doc_.raw("<divecomputer id=\"" + computers_.idAt(k) + "\">\n");
      doc_.raw("<name>SDM computer type " + type);
      if (!dive.computerSerial.empty()) {
        doc_.raw(", serial ");
        doc_.text(dive.computerSerial);
      }
      doc_.raw("</name>\n");
      doc_.element("model", type);
      if (!dive.computerSerial.empty()) doc_.textElement("serialnumber", dive.computerSerial);
      doc_.raw("</divecomputer>\n");
    }
  }

  // A tank's working pressure has no element of its own in UDDF: it goes to
  // the tank's notes, in bar as exported.
  void writeTanks() {
    for (std::size_t k = 0; k < tanks_.firstUses().size(); ++k) {
      const Dive& dive = *tanks_.firstUses()[k];
      const auto& working = dive.exact.workingPressure;
      doc_.raw("<tank id=\"" + tanks_.idAt(k) + "\">\n");
      doc_.textElement("name", dive.tankName);
      if (IsPositive(working))
        doc_.element("notes", "<para>Working pressure: " + working->text() + " bar</para>");
      if (IsPositive(dive.exact.tankVolume))
        doc_.element("tankvolume", ScaledText(*dive.exact.tankVolume, kLitreInCubicMetres));
      doc_.raw("</tank>\n");
    }
  }

  void writeSites() {
    if (sites_.firstUses().empty()) return;
    doc_.raw("<divesite>\n");
    for (std::size_t k = 0; k < sites_.firstUses().size(); ++k) {
      const Dive& dive = *sites_.firstUses()[k];
      doc_.raw("<site id=\"" + sites_.idAt(k) + "\">\n");
      doc_.textElement("name", dive.site);
      const auto coordinates = SiteCoordinates(dive);
      if (!dive.location.empty() || coordinates) {
        doc_.raw("<geography>\n");
        doc_.textElement("location", dive.location);
        if (coordinates) {
          doc_.element("latitude", coordinates->latitude);
          doc_.element("longitude", coordinates->longitude);
        }
        doc_.raw("</geography>\n");
      }
      doc_.raw("</site>\n");
    }
    doc_.raw("</divesite>\n");
  }

  void writeMixes() {
    if (mixes_.firstUses().empty()) return;
    doc_.raw("<gasdefinitions>\n");
    for (std::size_t k = 0; k < mixes_.firstUses().size(); ++k) {
      const Dive& dive = *mixes_.firstUses()[k];
      const auto percent = NitroxPercent(dive);
      doc_.raw("<mix id=\"" + mixes_.idAt(k) + "\">\n");
      doc_.element("name", percent ? "EAN" + *percent : "air");
      doc_.element("o2", percent ? ScaledText(*dive.exact.oxygen, kPercentAsFraction) : "0.21");
      doc_.raw("</mix>\n");
    }
    doc_.raw("</gasdefinitions>\n");
  }

  // Dives of one series of repetitive dives (the same series number on
  // consecutive dives) form one repetition group; any other dive forms its own.
  void writeDives() {
    if (divesToWrite_ > 0) doc_.raw("<profiledata>\n");
    bool groupOpen = false;
    std::int16_t series = 0;
    for (std::size_t k = 0; k < logbook_.dives.size() && doc_.good(); ++k) {
      const Dive& dive = logbook_.dives[k];
      if (starts_[k].iso.empty()) {
        leaveOutDive(dive);
        continue;
      }
      if (!groupOpen || dive.series <= 0 || dive.series != series) {
        if (groupOpen) doc_.raw("</repetitiongroup>\n");
        doc_.raw("<repetitiongroup id=\"group" + std::to_string(++groups_) + "\">\n");
        groupOpen = true;
        series = dive.series;
      }
      writeDive(dive, k);
    }
    if (groupOpen) doc_.raw("</repetitiongroup>\n</profiledata>\n");
  }

  void writeDive(const Dive& dive, std::size_t index) {
    const std::string mix = mixes_.id(MixKey(dive));
    if (!OxygenFits(dive)) leaveOut(dive, "its oxygen of " + dive.exact.oxygen->text() + "%");
    doc_.raw("<dive id=\"dive" + std::to_string(index + 1) + "\">\n");
    writeBeforeDive(dive, starts_[index]);
    writeTankData(dive, mix);
    if (!writeSamples(dive, mix)) writeGasAtStart(dive, mix);
    writeAfterDive(dive);
    doc_.raw("</dive>\n");
    ++result_.divesWritten;
  }

  void writeBeforeDive(const Dive& dive, const Start& start) {
    doc_.raw("<informationbeforedive>\n");
    // The people before the site: importers may take the first links for buddies.
    for (const auto& name : PersonNames(dive)) doc_.link(persons_.id(name));
    const std::string site = sites_.id(SiteKey(dive));
    if (!site.empty()) doc_.link(site);
    if (dive.number > 0)
      doc_.element("divenumber", std::to_string(dive.number));
    else
      leaveOut(dive, "its number " + std::to_string(dive.number) + " (UDDF numbers dives from 1)");
    doc_.element("datetime", start.iso);
    if (!start.timeRead)
      leaveOut(dive, "its time of day \"" + dive.time + "\" (start written at 00:00)");
    if (dive.exact.airTemperature)
      doc_.element("airtemperature", KelvinText(*dive.exact.airTemperature));
    if (dive.surfaceInterval == 0)
      doc_.raw("<surfaceintervalbeforedive>\n<infinity/>\n</surfaceintervalbeforedive>\n");
    else if (dive.surfaceInterval > 0)
      doc_.element("surfaceintervalbeforedive",
                   "<passedtime>" + std::to_string(dive.surfaceInterval) + "</passedtime>");
    else
      leaveOut(dive, "its surface interval of " + std::to_string(dive.surfaceInterval) + " s");
    writeEquipmentUsed(dive);
    doc_.raw("</informationbeforedive>\n");
  }

  void writeEquipmentUsed(const Dive& dive) {
    const std::string computer = computers_.id(ComputerKey(dive));
    const std::string tank = tanks_.id(TankKey(dive));
    if (!dive.exact.weight && computer.empty() && tank.empty()) return;
    doc_.raw("<equipmentused>\n");
    if (dive.exact.weight) doc_.element("leadquantity", dive.exact.weight->text());
    for (const auto& id : {computer, tank})
      if (!id.empty()) doc_.link(id);
    doc_.raw("</equipmentused>\n");
  }

  // UDDF keeps a tank's pressures only with the pressure at the start.
  void writeTankData(const Dive& dive, const std::string& mix) {
    const auto& exact = dive.exact;
    if (!IsPositive(exact.startPressure)) return;
    doc_.raw("<tankdata>\n");
    if (!mix.empty()) doc_.link(mix);
    if (IsPositive(exact.tankVolume))
      doc_.element("tankvolume", ScaledText(*exact.tankVolume, kLitreInCubicMetres));
    doc_.element("tankpressurebegin", ScaledText(*exact.startPressure, kBarInPascal));
    if (IsPositive(exact.endPressure))
      doc_.element("tankpressureend", ScaledText(*exact.endPressure, kBarInPascal));
    doc_.raw("</tankdata>\n");
  }

  // One waypoint per sample, timed by the profile's clock: sample k at k
  // times the sample interval, or spread over the dive time when the two
  // disagree. The water temperature at the greatest depth goes to the first
  // waypoint at that depth, the one at the end to the last waypoint. The
  // dive's gas is switched to on the first waypoint. Returns whether any
  // waypoint was written.
  bool writeSamples(const Dive& dive, const std::string& mix) {
    if (!dive.hasProfile()) return false;
    readSamples(dive.profile);
    const auto clock = ProfileClock::Of(samples_.size(), dive.sampleInterval, dive.exact.diveTime);
    if (!clock) {
      leaveOut(dive, "its profile (sample interval " + std::to_string(dive.sampleInterval) + ")");
      return false;
    }
    if (clock->spread()) reportSpread(dive, *clock);
    std::size_t deepest = samples_.size();
    std::size_t last = samples_.size();
    std::size_t notNumbers = 0;
    for (std::size_t k = 0; k < samples_.size(); ++k) {
      if (!samples_[k]) {
        ++notNumbers;
        continue;
      }
      if (deepest == samples_.size() || samples_[k]->value() > samples_[deepest]->value())
        deepest = k;
      last = k;
    }
    if (notNumbers > 0)
      leaveOut(dive, "its profile samples that are no numbers (" + std::to_string(notNumbers) +
                         " of " + std::to_string(samples_.size()) + ")");
    if (last == samples_.size()) return false;
    const auto& bottom = dive.exact.bottomTemperature;
    const auto& end = dive.exact.endTemperature;
    doc_.raw("<samples>\n");
    bool first = true;
    for (std::size_t k = 0; k < samples_.size(); ++k) {
      if (!samples_[k]) continue;
      doc_.raw("<waypoint><depth>");
      doc_.raw(samples_[k]->text());
      doc_.raw("</depth><divetime>");
      doc_.raw(SecondsText(clock->hundredthsAt(k)));
      doc_.raw("</divetime>");
      if (first && !mix.empty()) doc_.raw("<switchmix ref=\"" + mix + "\"/>");
      const auto& temperature = k == last ? end : k == deepest ? bottom : std::nullopt;
      if (temperature) doc_.raw("<temperature>" + KelvinText(*temperature) + "</temperature>");
      doc_.raw("</waypoint>\n");
      first = false;
    }
    doc_.raw("</samples>\n");
    return true;
  }

  // A nitrox dive without tank data and without a profile gets a waypoint at
  // the surface to switch to its gas, as UDDF links a dive's gas from nowhere
  // else (air is what importers assume).
  void writeGasAtStart(const Dive& dive, const std::string& mix) {
    if (mix.empty() || IsPositive(dive.exact.startPressure) || !NitroxPercent(dive)) return;
    doc_.raw("<samples>\n<waypoint><depth>0</depth><divetime>0</divetime><switchmix ref=\"" + mix +
             "\"/></waypoint>\n</samples>\n");
  }

  void reportSpread(const Dive& dive, const ProfileClock& clock) {
    const std::string why =
        dive.sampleInterval > 0
            ? "as at the export's sample interval of " + std::to_string(dive.sampleInterval) +
                  " s they would end at " + SecondsToMinutesAndSecondsText(clock.intervalSpan())
            : "as the export gives no sample interval";
    report_.historyLine(
        DiveName(dive) + ": its " + std::to_string(samples_.size()) +
        " profile samples spread over its dive time of " +
        SecondsToMinutesAndSecondsText((clock.hundredthsAt(samples_.size() - 1) + 50) / 100) +
        " in the UDDF file, " + why + ".");
    ++result_.profilesSpread;
  }

  void readSamples(std::string_view profile) {
    samples_.clear();
    for (std::size_t from = 0; from <= profile.size();) {
      const auto comma = std::min(profile.find(',', from), profile.size());
      samples_.push_back(Decimal::Parse(profile.substr(from, comma - from)));
      from = comma + 1;
    }
  }

  void writeAfterDive(const Dive& dive) {
    const auto& exact = dive.exact;
    doc_.raw("<informationafterdive>\n");
    const auto& bottom = exact.bottomTemperature;
    const auto& end = exact.endTemperature;
    const auto& lowest = !bottom || (end && end->value() < bottom->value()) ? end : bottom;
    if (lowest) doc_.element("lowesttemperature", KelvinText(*lowest));
    doc_.element("greatestdepth", exact.maxDepth ? exact.maxDepth->text() : "0");
    const auto visibility = VisibilityMetres(dive.visibility);
    if (visibility) doc_.element("visibility", visibility->text());
    writeNotes(dive, !visibility);
    doc_.element("diveduration", exact.diveTime ? exact.diveTime->text() : "0");
    if (exact.averageDepth) doc_.element("averagedepth", exact.averageDepth->text());
    doc_.raw("</informationafterdive>\n");
  }

  // One paragraph, as importers may keep only the first: the note first,
  // its breaks as line breaks, then the texts that UDDF has no element for,
  // each on a line of its own, named.
  void writeNotes(const Dive& dive, bool visibilityAsText) {
    const std::pair<const char*, const std::string*> named[] = {
        {"Weather: ", &dive.weather},
        {"Visibility: ", visibilityAsText ? &dive.visibility : nullptr},
        {"Boat: ", &dive.boat},
        {"Custom: ", &dive.customTexts}};
    bool any = !dive.note.empty();
    for (const auto& [name, text] : named) any = any || (text && !text->empty());
    if (!any) return;
    doc_.raw("<notes>\n<para>");
    std::string_view note = dive.note;
    for (auto at = note.find(kBreakText); at != note.npos; at = note.find(kBreakText)) {
      doc_.text(note.substr(0, at));
      doc_.raw("\n");
      note.remove_prefix(at + kBreakText.size());
    }
    doc_.text(note);
    bool lineBefore = !dive.note.empty();
    for (const auto& [name, text] : named) {
      if (!text || text->empty()) continue;
      if (lineBefore) doc_.raw("\n");
      lineBefore = true;
      doc_.raw(name);
      doc_.text(*text);
    }
    doc_.raw("</para>\n</notes>\n");
  }

  // "Dive 12 of 04/12/2010 10:38", as the history names a dive.
  static std::string DiveName(const Dive& dive) {
    return "Dive " + std::to_string(dive.number) + " of " + dive.date + " " + dive.time;
  }

  void leaveOut(const Dive& dive, const std::string& what) {
    report_.historyLine(DiveName(dive) + ": " + what + " left out of the UDDF file.");
    ++result_.valuesLeftOut;
  }

  void leaveOutDive(const Dive& dive) {
    report_.historyLine(DiveName(dive) +
                        ": left out of the UDDF file, as its date cannot be read.");
    ++result_.divesLeftOut;
  }

  const Logbook& logbook_;
  const UddfOptions& options_;
  Document doc_;
  UddfReport& report_;
  UddfResult result_;
  DateOrder order_ = DateOrder::DayFirst;
  std::vector<Start> starts_;  // one per dive of the logbook
  std::size_t divesToWrite_ = 0;
  std::size_t groups_ = 0;
  Shared sites_{"site"};
  Shared persons_{"buddy"};
  Shared computers_{"computer"};
  Shared tanks_{"tank"};
  Shared mixes_{"mix"};
  std::vector<std::optional<Decimal>> samples_;  // the dive being written
};

}  // namespace

UddfResult WriteUddf(const Logbook& logbook, const UddfOptions& options, ByteSink& sink,
                     UddfReport& report) {
  return UddfExport(logbook, options, sink, report).run();
}

}  // namespace quellmar

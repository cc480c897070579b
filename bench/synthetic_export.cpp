#include "synthetic_export.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <numeric>
#include <stdexcept>
#include <string_view>

namespace quellmar::bench {

std::uint64_t Rng::next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::int32_t Rng::below(std::int32_t n) {
  return static_cast<std::int32_t>(next() % static_cast<std::uint64_t>(n));
}

namespace {

// The word lists are written in UTF-8 here for the reader; the export holds
// them in Latin-1, one byte per character, as the SDM application writes them.
std::string Latin1(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if ((byte == 0xC2 || byte == 0xC3) && i + 1 < utf8.size()) {
      const auto low = static_cast<unsigned char>(utf8[++i]) & 0x3F;
      out += static_cast<char>((byte == 0xC3 ? 0xC0 : 0x80) | low);
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

template <std::size_t N>
std::array<std::string, N> Latin1List(const std::array<std::string_view, N>& utf8) {
  std::array<std::string, N> out;
  for (std::size_t i = 0; i < N; ++i) out[i] = Latin1(utf8[i]);
  return out;
}

template <typename List>
const auto& Pick(Rng& rng, const List& list) {
  return list[static_cast<std::size_t>(rng.below(static_cast<std::int32_t>(std::ssize(list))))];
}

struct Place {
  std::string_view location;
  std::array<std::string_view, 3> sites;
};

// clang-format off
constexpr std::array<Place, 10> kPlaces{{
    {"Dahab, Egypt",               {"Canyon", "Blue Hole", "Lighthouse"}},
    {"Hurghada, Egypt",            {"Abu Ramada", "Giftun Drift", "El Mina"}},
    {"Grüner See, Österreich",     {"Brücke", "Wiese", "Bänke"}},
    {"Côte d'Azur, France",        {"Sèche à Huet", "Île Verte", "Épave du Donator"}},
    {"Malmö, Sverige",             {"Ribersborg", "Öresund Pier", "Lomma"}},
    {"Walensee, Schweiz",          {"Mühlehorn", "Quinten", "Tauchbasis Nord"}},
    {"Larnaca, Cyprus",            {"Zenobia", "Zenobia Stern", "Cyclops Caves"}},
    {"Koror, Palau",               {"Blue Corner", "German Channel", "Chandelier Cave"}},
    {"Hoodsport, WA, USA",         {"Sund Rock", "Octopus Hole", "Yellow House"}},
    {"Gozo, Malta",                {"Inland Sea", "Blue Hole", "Cathedral Cave"}},
}};
constexpr std::array<std::string_view, 10> kBuddies{
    "Jürgen Müller", "Zoë Brontë", "Hélène Dubois", "Søren Ørsted", "Björn, Åsa",
    "José García", "Anaïs Lefèvre", "Frank Weiß", "Maria", "",
};
constexpr std::array<std::string_view, 6> kGuides{
    "Günther", "Loïc", "Ramón Núñez", "Ingrid Öberg", "", "Peter",
};
constexpr std::array<std::string_view, 4> kBoats{"", "MY Blue Förelle", "Ägäis Star", "shore"};
constexpr std::array<std::string_view, 5> kWeather{"sunny", "cloudy", "rain", "windy", ""};
constexpr std::array<std::string_view, 5> kVisibility{"5/5", "3/5", "10 m", "20-30 m", ""};
constexpr std::array<std::string_view, 4> kSuits{
    "wet, 5mm", "wet, 7mm, farmer John & jacket", "dry, Trilaminat, Unterzieher", "wet, 3mm"};
constexpr std::array<std::string_view, 12> kNotePhrases{
    "Schöne Sicht, viele Fische",
    "Très belle plongée",
    "Turtle at the reef edge",
    "Strömung am Außenriff, zurück im Schutz der Mauer",
    "Müll eingesammelt: zwei Flaschen, ein Netz",
    "Rochen gesehen",
    "practiced lift bag deployment",
    "cold, 8 degrees below 20 m",
    "Zackenbarsch unter dem Überhang",
    "buoyancy much better with 2 kg less",
    "Sean got lost. We surfaced.",
    "Deco: 2 min @ 6 m, 3 min @ 3 m",
};
// clang-format on

struct Tank {
  std::string_view name;
  std::string_view litres;
  std::string_view workingPressure;
};
constexpr std::array<int, 3> kComputerTypes{3, 12, 20};

constexpr std::array<Tank, 4> kTanks{{
    {"AL80", "11.328", "202.6"},
    {"S15", "15.0", "232.0"},
    {"D12", "24.0", "232.0"},
    {"Twin85", "24.0", "202.6"},
}};

// Seconds between two moments of the profile's time line, as a share of t.
std::int64_t Share(std::int64_t t, int percent) { return t * percent / 100; }

std::int32_t Interpolate(std::int64_t t, std::int64_t t0, std::int32_t d0, std::int64_t t1,
                         std::int32_t d1) {
  if (t1 <= t0) return d1;
  return static_cast<std::int32_t>(d0 + (d1 - d0) * (t - t0) / (t1 - t0));
}

std::string Tenths(std::int32_t tenths) {
  std::string out = tenths < 0 ? "-" : "";
  const std::int32_t magnitude = tenths < 0 ? -tenths : tenths;
  out += std::to_string(magnitude / 10);
  out += '.';
  out += std::to_string(magnitude % 10);
  return out;
}

std::string Quoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  out += text;
  out += '"';
  return out;
}

std::string TwoDigits(std::int32_t n) {
  std::string out = std::to_string(n);
  if (out.size() < 2) out.insert(out.begin(), '0');
  return out;
}

// Civil date of a day count since 1970-01-01 (proleptic Gregorian calendar).
std::string DateText(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const auto day = static_cast<std::int32_t>(doy - (153 * mp + 2) / 5 + 1);
  const auto month = static_cast<std::int32_t>(mp < 10 ? mp + 3 : mp - 9);
  const auto year = static_cast<std::int32_t>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return TwoDigits(day) + "/" + TwoDigits(month) + "/" + std::to_string(year);
}

// Appends to a file through a large buffer; throws when the file fails.
class ExportFile {
 public:
  explicit ExportFile(const std::filesystem::path& path)
      : path_(path), file_(path, std::ios::binary | std::ios::trunc) {
    if (!file_) throw std::runtime_error("cannot create " + path.string());
    buffer_.reserve(kFlushAt + 4096);
  }
  void line(std::string_view text) {
    buffer_ += text;
    buffer_ += "\r\n";
    if (buffer_.size() >= kFlushAt) flush();
  }
  void close() {
    flush();
    file_.close();
    if (!file_) throw std::runtime_error("cannot write " + path_.string());
  }

 private:
  static constexpr std::size_t kFlushAt = 1 << 20;
  void flush() {
    file_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }
  std::filesystem::path path_;
  std::ofstream file_;
  std::string buffer_;
};

std::string Join(const std::vector<std::string>& fields) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += fields[i];
  }
  return out;
}

// The texts of the word lists, converted once per export.
struct Texts {
  std::array<std::string, kBuddies.size()> buddies = Latin1List(kBuddies);
  std::array<std::string, kGuides.size()> guides = Latin1List(kGuides);
  std::array<std::string, kBoats.size()> boats = Latin1List(kBoats);
  std::array<std::string, kWeather.size()> weather = Latin1List(kWeather);
  std::array<std::string, kVisibility.size()> visibility = Latin1List(kVisibility);
  std::array<std::string, kSuits.size()> suits = Latin1List(kSuits);
  std::array<std::string, kNotePhrases.size()> phrases = Latin1List(kNotePhrases);
};

// The note of one dive: none for about two dives in three, otherwise one to
// six lines, some with a double space, an occasional empty line and now and
// then one longer than 254 characters.
std::vector<std::string> NoteLines(Rng& rng, const Texts& texts) {
  std::vector<std::string> lines;
  if (!rng.chance(34)) return lines;
  const std::int32_t roll = rng.below(100);
  const std::int32_t count = roll < 50 ? 1 : roll < 75 ? 2 : roll < 90 ? 3 : rng.between(4, 6);
  for (std::int32_t i = 0; i < count; ++i) {
    std::string line = Pick(rng, texts.phrases);
    if (rng.chance(5)) {
      line.clear();
    } else if (rng.chance(3)) {
      while (line.size() < 300) line += ". " + Pick(rng, texts.phrases);
    } else if (rng.chance(25)) {
      line += ".  " + Pick(rng, texts.phrases);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

// Where the dive stands in the diver's calendar.
struct Calendar {
  std::int64_t day = 7305;  // 1990-01-01, in days since 1970-01-01
  std::int64_t clock = 0;   // seconds since midnight at the end of the last dive
  bool started = false;
  std::int32_t series = 0;      // dive days so far
  std::int32_t diveSeries = 0;  // dive of the day
};

struct DiveTime {
  std::int64_t day;
  std::int64_t start;    // seconds since midnight
  std::int64_t surface;  // seconds since the end of the dive before
  std::int32_t series;
  std::int32_t diveSeries;
};

// Two to four dives a day at 45 minutes to 3 hours apart, now and then a
// break of a few weeks.
DiveTime NextDive(Rng& rng, Calendar& cal, std::int32_t duration) {
  const std::int64_t lastEnd = cal.day * 86400 + cal.clock;
  if (!cal.started || cal.clock > 16 * 3600 || rng.chance(35)) {
    cal.day += rng.chance(2) ? rng.between(2, 20) : 1;
    cal.clock = rng.between(7 * 3600, 10 * 3600);
    ++cal.series;
    cal.diveSeries = 1;
  } else {
    cal.clock += rng.between(45, 180) * 60;
    ++cal.diveSeries;
  }
  const std::int64_t surface = cal.started ? cal.day * 86400 + cal.clock - lastEnd : 0;
  const DiveTime when{cal.day, cal.clock, surface, cal.series, cal.diveSeries};
  cal.started = true;
  cal.clock += duration;
  return when;
}

std::string HexSerial(Rng& rng) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string serial;
  for (int i = 0; i < 8; ++i) serial += kHex[rng.below(16)];
  return serial;
}

// The dive numbers in file order: 1 to n, with about one neighbour pair in ten
// swapped, as a logbook edited by hand is never quite in order.
std::vector<std::int32_t> DiveNumbers(Rng& rng, std::int32_t n) {
  std::vector<std::int32_t> numbers(static_cast<std::size_t>(n));
  std::iota(numbers.begin(), numbers.end(), 1);
  for (std::size_t i = 0; i + 1 < numbers.size(); ++i) {
    if (rng.chance(10)) std::swap(numbers[i], numbers[i + 1]);
  }
  return numbers;
}

}  // namespace

std::vector<std::int32_t> MakeDepthProfile(Rng& rng, std::int32_t samples, std::int32_t interval) {
  std::vector<std::int32_t> depths;
  if (samples <= 0) return depths;
  depths.reserve(static_cast<std::size_t>(samples));
  const std::int32_t roll = rng.below(100);
  const std::int32_t bottom = roll < 70   ? rng.between(800, 3000)
                              : roll < 95 ? rng.between(3000, 4000)
                                          : rng.between(4000, 6000);
  const std::int32_t levelOff = bottom * rng.between(55, 80) / 100;  // multilevel: slowly up
  const std::int32_t stop = std::min(500, bottom / 2);
  const std::int64_t end = static_cast<std::int64_t>(samples - 1) * interval;
  const std::int64_t descended = Share(end, 8);
  const std::int64_t leftBottom = Share(end, 70);
  const std::int64_t atStop = Share(end, 82);
  const std::int64_t leftStop = Share(end, 95);
  std::int32_t wobble = 0;
  for (std::int32_t i = 0; i < samples; ++i) {
    const std::int64_t t = static_cast<std::int64_t>(i) * interval;
    std::int32_t depth = 0;
    if (t < descended) {
      depth = Interpolate(t, 0, 0, descended, bottom);
    } else if (t < leftBottom) {
      wobble = std::clamp(wobble + rng.between(-15, 15), -60, 60);
      depth = Interpolate(t, descended, bottom, leftBottom, levelOff) + wobble;
    } else if (t < atStop) {
      depth = Interpolate(t, leftBottom, levelOff, atStop, stop);
    } else if (t < leftStop) {
      depth = stop + rng.between(-10, 10);
    } else {
      depth = Interpolate(t, leftStop, stop, end, 0);
    }
    depths.push_back(i == 0 || i == samples - 1 ? 0 : std::max(depth, 0));
  }
  return depths;
}

std::string DepthText(std::int32_t centimetres) {
  if (centimetres == 0) return "0.0";
  return std::to_string(centimetres / 100) + "." + TwoDigits(centimetres % 100);
}

std::vector<ProfileSample> MakeProfiles(std::int32_t count, std::int32_t samples,
                                        std::int32_t interval, std::uint64_t seed) {
  Rng rng(seed);
  std::vector<ProfileSample> profiles;
  for (std::int32_t i = 0; i < count; ++i) {
    const auto depths = MakeDepthProfile(rng, samples, interval);
    ProfileSample profile;
    std::int32_t deepest = 0;
    for (const auto depth : depths) {
      if (!profile.text.empty()) profile.text += ',';
      profile.text += DepthText(depth);
      deepest = std::max(deepest, depth);
    }
    profile.maxDepth = static_cast<std::int16_t>((deepest + 50) / 100);
    profiles.push_back(std::move(profile));
  }
  return profiles;
}

std::vector<std::filesystem::path> ExportFiles(const std::filesystem::path& mainFile) {
  const std::string name = mainFile.filename().string();
  const std::string base = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
  const auto folder = mainFile.parent_path();
  return {mainFile, folder / (base + "$DGE.CSV"), folder / (base + "$NOT.CSV"),
          folder / (base + "$PRO.CSV")};
}

void WriteExport(const std::filesystem::path& mainFile, const ExportShape& shape) {
  const auto files = ExportFiles(mainFile);
  ExportFile main(files[0]), gear(files[1]), notes(files[2]), profiles(files[3]);
  const Texts texts;
  Rng rng(shape.seed);
  Calendar calendar;
  const auto numbers = DiveNumbers(rng, shape.dives);
  const std::int32_t duration = shape.samples * shape.interval;

  for (std::int32_t i = 0; i < shape.dives; ++i) {
    const std::int32_t key = 2001 + 3 * i;
    const std::string id = std::to_string(key);
    const auto depths = MakeDepthProfile(rng, shape.samples, shape.interval);
    const std::int64_t sum = std::accumulate(depths.begin(), depths.end(), std::int64_t{0});
    const std::int32_t deepest =
        depths.empty() ? 0 : *std::max_element(depths.begin(), depths.end());
    const auto average = static_cast<std::int32_t>(
        depths.empty() ? 0 : sum / static_cast<std::int64_t>(depths.size()));
    const DiveTime when = NextDive(rng, calendar, duration);
    const Place& place = Pick(rng, kPlaces);
    const Tank& tank = Pick(rng, kTanks);
    const std::int32_t o2roll = rng.below(100);
    const std::int32_t o2 = o2roll < 60 ? 21 : o2roll < 65 ? 0 : o2roll < 90 ? 32 : 36;
    const std::int32_t water = rng.between(40, 290);
    const bool hasPressures = rng.chance(80);
    const std::int32_t startPressure = rng.between(1800, 2150);
    const std::int32_t endPressure = rng.between(300, 900);
    const std::string suit = Pick(rng, texts.suits);

    const std::vector<std::string> fields{
        id,                                                    // 1 key
        std::to_string(numbers[static_cast<std::size_t>(i)]),  // 2 number
        Quoted(DateText(when.day)),
        Quoted(TwoDigits(static_cast<std::int32_t>(when.start / 3600 % 24)) + ":" +
               TwoDigits(static_cast<std::int32_t>(when.start / 60 % 60))),
        std::to_string(when.series),
        std::to_string(when.diveSeries),
        std::to_string(duration),      // 7 diveTime
        std::to_string(when.surface),  // 8 surface
        DepthText(deepest),            // 9 maxDepth, as deep as the profile goes
        DepthText(average),            // 10 averageDepth
        std::to_string(Pick(rng, kComputerTypes)),
        Quoted(HexSerial(rng)),
        Quoted(""),                      // 13 diverId
        std::to_string(shape.interval),  // 14 sampleInterval
        "0",
        "0",
        "0",
        "0",  // 15 to 18
        Quoted(Latin1(place.location)),
        Quoted(Latin1(Pick(rng, place.sites))),
        Quoted(Pick(rng, texts.weather)),
        Quoted(Pick(rng, texts.visibility)),
        Tenths(water + rng.between(0, 80)),  // 23 airTemperature
        Tenths(water),                       // 24 bottomTemperature
        Tenths(water - rng.between(0, 15)),  // 25 endTemperature
        Quoted(Pick(rng, texts.buddies)),
        Quoted(Pick(rng, texts.guides)),
        Quoted(Pick(rng, texts.boats)),
        Quoted(tank.name),
        std::string(tank.litres),
        "1",
        std::string(tank.workingPressure),
        hasPressures ? Tenths(startPressure) : "",
        hasPressures ? Tenths(endPressure) : "",
        hasPressures ? DepthText(rng.between(1100, 2600)) : "0",  // 35 sac, litres a minute
        "1",
        Quoted(suit),
        Quoted(rng.chance(50) ? "boat" : "shore"),
        Quoted(rng.chance(15) ? "night" : ""),
        Quoted(rng.chance(10) ? "teaching" : ""),
        Quoted(""),
        rng.chance(70) ? DepthText(rng.between(200, 1200)) : "",  // 42 weight
        o2 == 0 ? "" : Tenths(o2 * 10),
        "0",
        o2 > 21 ? "1" : "0",
    };
    if (fields.size() != 45) throw std::logic_error("a main-file line needs 45 columns");
    main.line(Join(fields));
    gear.line(id + "," + Quoted(suit));
    for (const auto& text : NoteLines(rng, texts)) notes.line(id + "," + Quoted(text));
    for (std::size_t k = 0; k < depths.size(); ++k) {
      profiles.line(id + "," + std::to_string(k) + "," + DepthText(depths[k]) + ",0,0,0,0,0,0,0");
    }
  }
  main.close();
  gear.close();
  notes.close();
  profiles.close();
}

}  // namespace quellmar::bench

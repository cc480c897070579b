#include "html_out/template_engine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "basic/text.h"
#include "basic/text_file.h"
#include "html_out/html_text.h"
#include "html_out/logbook_paths.h"
#include "html_out/profile_picture.h"
#include "html_out/profile_svg.h"

namespace quellmar {
namespace {

enum class Tag : std::uint8_t {
  Field,  // a field of the dive, through the entry's format function
  Gas,
  Note,
  NoteOrGif,
  Subpage,
  NoteIco,
  ProfileIco,
  ProfileGif,
  ProfileSvg,
  ProfileSvgFile,
  PrevLink,
  NextLink,
  SameSite,
  TotalDiveTime,  // page tags from here on: they work without a dive too
  AverDiveTime,
  TotalMaxDepth,
  TotalSac,
  At,
  DiveCount,
  TotalDiveTimeExact,
  AverDiveTimeExact,
  TotalMaxDepthExact,
  TotalSacExact,
};

bool IsPageTag(Tag tag) { return tag >= Tag::TotalDiveTime; }

using FieldText = std::string (*)(const Dive&);

template <auto Member>
std::string Decimal(const Dive& dive) {
  return IntText(dive.*Member);
}
template <auto Member>
std::string Minutes(const Dive& dive) {
  return SecondsToMinutesText(dive.*Member);
}
template <auto Member>
std::string Text(const Dive& dive) {
  return dive.*Member;
}
std::string Clock(const Dive& dive) { return SecondsToClockText(dive.surfaceInterval); }

// The exact values: the export's own digits, empty where it has none.
template <auto Member>
std::string Exact(const Dive& dive) {
  const auto& value = dive.exact.*Member;
  return value ? value->text() : std::string();
}
// Tank and pressure fields and the SAC hold 0 when nothing was recorded.
template <auto Member>
std::string Recorded(const Dive& dive) {
  const auto& value = dive.exact.*Member;
  return value && value->units > 0 ? value->text() : std::string();
}
// Minutes and seconds, "41:37".
std::string DiveTimeExact(const Dive& dive) {
  const auto& time = dive.exact.diveTime;
  if (!time || time->units < 0) return {};
  const std::int64_t seconds = WholeSeconds(*time);
  const std::int64_t rest = seconds % 60;
  return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}
// 0 is the first dive of a series. From two days on the interval is a break
// between trips, told in days (a clock of "9986:05:06" tells nothing).
std::string SurfaceExact(const Dive& dive) {
  constexpr std::int32_t kDay = 24 * 60 * 60;
  const std::int32_t seconds = dive.surfaceInterval;
  if (seconds <= 0) return {};
  if (seconds < 2 * kDay) return SecondsToClockText(seconds);
  return IntText(seconds / kDay) + " days";
}
// The dive time as the summary writes its times, "01:44:00".
std::string DiveTimeClock(const Dive& dive) {
  const auto& time = dive.exact.diveTime;
  if (!time || time->units < 0) return {};
  return SecondsToClockText(static_cast<std::int32_t>(
      std::min<std::int64_t>(WholeSeconds(*time), std::numeric_limits<std::int32_t>::max())));
}
// 0 and 21 % oxygen, and none given, are air; a mix is named by its whole
// percent where it is one ("32.0" is EAN32). Enriched air is a nitrox name;
// a mix leaner than air is told by its oxygen ("16 % O2").
std::string GasExact(const Dive& dive) {
  const auto& oxygen = dive.exact.oxygen;
  if (!oxygen || oxygen->value() == 0 || oxygen->value() == 21) return "Air";
  const double percent = oxygen->value();
  const std::string digits =
      percent == std::floor(percent) ? IntText(static_cast<std::int32_t>(percent)) : oxygen->text();
  return percent > 21 ? "EAN" + digits : digits + " % O2";
}

struct TagEntry {
  std::string_view name;  // lower case
  Tag tag;
  FieldText field = nullptr;
};

constexpr auto SortedByName(auto table) {
  std::sort(table.begin(), table.end(),
            [](const TagEntry& a, const TagEntry& b) { return a.name < b.name; });
  return table;
}

// clang-format off
constexpr auto kTags = SortedByName(std::array{
    TagEntry{"diveno",        Tag::Field, &Decimal<&Dive::number>},
    TagEntry{"date",          Tag::Field, &Text<&Dive::date>},
    TagEntry{"time",          Tag::Field, &Text<&Dive::time>},
    TagEntry{"series",        Tag::Field, &Minutes<&Dive::series>},
    TagEntry{"diveseries",    Tag::Field, &Minutes<&Dive::diveSeries>},
    TagEntry{"divetime",      Tag::Field, &Minutes<&Dive::diveTime>},
    TagEntry{"surface",       Tag::Field, &Clock},
    TagEntry{"maxdepth",      Tag::Field, &Decimal<&Dive::maxDepth>},
    TagEntry{"avdepth",       Tag::Field, &Decimal<&Dive::averageDepth>},
    TagEntry{"comptypeid",    Tag::Field, &Minutes<&Dive::computerType>},
    TagEntry{"compsernum",    Tag::Field, &Text<&Dive::computerSerial>},
    TagEntry{"diverid",       Tag::Field, &Text<&Dive::diverId>},
    TagEntry{"samplerate",    Tag::Field, &Minutes<&Dive::sampleInterval>},
    TagEntry{"altmode",       Tag::Field, &Minutes<&Dive::altitudeMode>},
    TagEntry{"persmode",      Tag::Field, &Minutes<&Dive::personalMode>},
    TagEntry{"location",      Tag::Field, &Text<&Dive::location>},
    TagEntry{"site",          Tag::Field, &Text<&Dive::site>},
    TagEntry{"weather",       Tag::Field, &Text<&Dive::weather>},
    TagEntry{"visibility",    Tag::Field, &Text<&Dive::visibility>},
    TagEntry{"airtemp",       Tag::Field, &Decimal<&Dive::airTemperature>},
    TagEntry{"maxtemp",       Tag::Field, &Decimal<&Dive::bottomTemperature>},
    TagEntry{"endtemp",       Tag::Field, &Decimal<&Dive::endTemperature>},
    TagEntry{"buddy",         Tag::Field, &Text<&Dive::buddy>},
    TagEntry{"dm",            Tag::Field, &Text<&Dive::diveMaster>},
    TagEntry{"boat",          Tag::Field, &Text<&Dive::boat>},
    TagEntry{"tankname",      Tag::Field, &Text<&Dive::tankName>},
    TagEntry{"tankl",         Tag::Field, &Decimal<&Dive::tankVolume>},
    TagEntry{"workingp",      Tag::Field, &Decimal<&Dive::workingPressure>},
    TagEntry{"startp",        Tag::Field, &Decimal<&Dive::startPressure>},
    TagEntry{"endp",          Tag::Field, &Decimal<&Dive::endPressure>},
    TagEntry{"sac",           Tag::Field, &Decimal<&Dive::sac>},
    TagEntry{"customs",       Tag::Field, &Text<&Dive::customTexts>},
    TagEntry{"weight",        Tag::Field, &Decimal<&Dive::weight>},
    TagEntry{"o2",            Tag::Field, &Decimal<&Dive::oxygen>},
    TagEntry{"compmode",      Tag::Field, &Decimal<&Dive::computerMode>},
    TagEntry{"maxdepth_exact",      Tag::Field, &Exact<&ExactValues::maxDepth>},
    TagEntry{"avdepth_exact",       Tag::Field, &Exact<&ExactValues::averageDepth>},
    TagEntry{"divetime_exact",      Tag::Field, &DiveTimeExact},
    TagEntry{"surface_exact",       Tag::Field, &SurfaceExact},
    TagEntry{"airtemp_exact",       Tag::Field, &Exact<&ExactValues::airTemperature>},
    TagEntry{"maxtemp_exact",       Tag::Field, &Exact<&ExactValues::bottomTemperature>},
    TagEntry{"endtemp_exact",       Tag::Field, &Exact<&ExactValues::endTemperature>},
    TagEntry{"tankl_exact",         Tag::Field, &Recorded<&ExactValues::tankVolume>},
    TagEntry{"workingp_exact",      Tag::Field, &Recorded<&ExactValues::workingPressure>},
    TagEntry{"startp_exact",        Tag::Field, &Recorded<&ExactValues::startPressure>},
    TagEntry{"endp_exact",          Tag::Field, &Recorded<&ExactValues::endPressure>},
    TagEntry{"sac_exact",           Tag::Field, &Recorded<&ExactValues::sac>},
    TagEntry{"weight_exact",        Tag::Field, &Exact<&ExactValues::weight>},
    TagEntry{"gas_exact",           Tag::Field, &GasExact},
    TagEntry{"divetime_clock",      Tag::Field, &DiveTimeClock},
    TagEntry{"comptypeid_exact",    Tag::Field, &Decimal<&Dive::computerType>},
    TagEntry{"samplerate_exact",    Tag::Field, &Decimal<&Dive::sampleInterval>},
    TagEntry{"altmode_exact",       Tag::Field, &Decimal<&Dive::altitudeMode>},
    TagEntry{"persmode_exact",      Tag::Field, &Decimal<&Dive::personalMode>},
    TagEntry{"series_exact",        Tag::Field, &Decimal<&Dive::series>},
    TagEntry{"diveseries_exact",    Tag::Field, &Decimal<&Dive::diveSeries>},
    TagEntry{"gas",           Tag::Gas},
    TagEntry{"note",          Tag::Note},
    TagEntry{"noteorgif",     Tag::NoteOrGif},
    TagEntry{"subpage",       Tag::Subpage},
    TagEntry{"note_ico",      Tag::NoteIco},
    TagEntry{"profile_ico",   Tag::ProfileIco},
    TagEntry{"profile_gif",   Tag::ProfileGif},
    TagEntry{"profile_svg",   Tag::ProfileSvg},
    TagEntry{"profile_svg_file", Tag::ProfileSvgFile},
    TagEntry{"prev_link",     Tag::PrevLink},
    TagEntry{"next_link",     Tag::NextLink},
    TagEntry{"same_site",     Tag::SameSite},
    TagEntry{"totaldivetime", Tag::TotalDiveTime},
    TagEntry{"averdivetime",  Tag::AverDiveTime},
    TagEntry{"totalmaxdepth", Tag::TotalMaxDepth},
    TagEntry{"totalsac",      Tag::TotalSac},
    TagEntry{"at",            Tag::At},
    TagEntry{"divecount",     Tag::DiveCount},
    TagEntry{"totaldivetime_exact", Tag::TotalDiveTimeExact},
    TagEntry{"averdivetime_exact",  Tag::AverDiveTimeExact},
    TagEntry{"totalmaxdepth_exact", Tag::TotalMaxDepthExact},
    TagEntry{"totalsac_exact",      Tag::TotalSacExact},
});
// clang-format on

// Only the ASCII letters fold; every other byte, a blank included, stays.
unsigned char Folded(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// True when key (lower case) sorts before name lowered.
bool KeyBeforeFolded(std::string_view key, std::string_view name) {
  const auto common = std::min(key.size(), name.size());
  for (std::size_t i = 0; i < common; ++i) {
    const auto k = static_cast<unsigned char>(key[i]);
    const auto n = Folded(name[i]);
    if (k != n) return k < n;
  }
  return key.size() < name.size();
}

const TagEntry* FindTag(std::string_view name) {
  const auto* it = std::lower_bound(
      kTags.begin(), kTags.end(), name,
      [](const TagEntry& entry, std::string_view n) { return KeyBeforeFolded(entry.name, n); });
  if (it == kTags.end() || it->name.size() != name.size()) return nullptr;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (static_cast<unsigned char>(it->name[i]) != Folded(name[i])) return nullptr;
  }
  return it;
}

// A tag's value before it is written for its place: text (from the export,
// or the engine's numbers and words), or markup the engine made.
struct Value {
  std::string text;
  bool markup = false;
};

Value Markup(std::string text) { return {std::move(text), true}; }

bool IsNumber(std::string_view text) {
  std::size_t p = !text.empty() && text[0] == '-' ? 1 : 0;
  const std::size_t digits = p;
  while (p < text.size() && text[p] >= '0' && text[p] <= '9') ++p;
  if (p == digits) return false;
  if (p < text.size() && text[p] == '.') {
    const std::size_t fraction = ++p;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') ++p;
    if (p == fraction) return false;
  }
  return p == text.size();
}

// In a script's code, outside any literal, a value is a string literal of
// its own; a number stays a number.
std::string InScript(std::string_view text, ValuePlace::ScriptPart part) {
  using Part = ValuePlace::ScriptPart;
  // A pattern may not start empty: "//" would start a comment.
  if (part == Part::PatternStart && text.empty()) return "(?:)";
  if (part != Part::Code) return TextInScript(text);
  if (IsNumber(text)) return std::string(text);
  std::string literal = "\"";  // appended: GCC 12 warns falsely on "\"" + text
  literal += TextInScript(text);
  literal += '"';
  return literal;
}

// Chosen for an address that may not be followed: a URI that never resolves
// (about:invalid), with this program's name after "#" to tell who wrote it.
constexpr std::string_view kUnsafeAddress = "about:invalid#quellmar";

// The value as the attribute's kind has it, before the value is escaped for
// the attribute.
std::string ForAttributeKind(const Value& value, const ValuePlace& place) {
  switch (place.kind) {
    case ValuePlace::Kind::Address:
      if (place.address == ValuePlace::AddressPart::Rest ||
          IsSafeAddress(value.text, place.address == ValuePlace::AddressPart::Start)) {
        return value.text;
      }
      return std::string(kUnsafeAddress);
    case ValuePlace::Kind::Script:
      return InScript(value.text, place.script);
    case ValuePlace::Kind::Style:
      return TextInStyle(value.text);
    case ValuePlace::Kind::Markup:
      return value.markup ? value.text : KeepHarmlessMarkup(value.text);
    case ValuePlace::Kind::Plain:
      break;
  }
  return value.text;
}

// The value written for its place, so that the browser reads it back as the
// text it is (and the engine's markup as markup in element text only).
std::string Placed(const Value& value, const ValuePlace& place) {
  switch (place.in) {
    case ValuePlace::In::Text:
      return value.markup ? value.text : KeepHarmlessMarkup(value.text);
    case ValuePlace::In::PlainText:
    case ValuePlace::In::Declaration:  // which ends at the first ">"
      return TextInAttribute(value.text);
    case ValuePlace::In::Name:
      return {};  // no value names a tag or an attribute
    case ValuePlace::In::Comment:
      return TextInComment(value.text);
    case ValuePlace::In::Script:
      return InScript(value.text, place.script);
    case ValuePlace::In::Style:
      return TextInStyle(value.text);
    case ValuePlace::In::Attribute:
      break;
  }
  std::string out = TextInAttribute(ForAttributeKind(value, place), place.quoted);
  // An empty value where an unquoted one starts would leave the attribute
  // without one, and the template's next text would become it.
  if (out.empty() && place.valueStart) out = "&#32;";
  return out;
}

bool HasNote(const Dive& dive) { return dive.note.size() >= 2; }
bool HasProfile(const Dive& dive) { return dive.hasProfile(); }

std::string NotePageLink(const std::string& n, std::string_view icon) {
  std::string link = "<a href=\"javascript:nw('" + n + "')\"><img src=\"../pict/";
  link.append(icon);
  link += "\" align=\"right\" border=\"0\"></a>";
  return link;
}

// Makes the dive's picture; false when its content makes that impossible,
// which the history tells once per dive, and the export goes on.
bool MakePicture(FillRun& run, int index) {
  const Dive& dive = run.source.logbook.dives[static_cast<std::size_t>(index)];
  try {
    IndexedImage picture =
        MakeProfilePicture(dive, PixelsPerSample(run.source.options.px), run.files);
    if (picture.width > 0) run.lastPicture = std::move(picture);
    return true;
  } catch (const PictureNotMade& reason) {
    LeavePictureOut(run, dive.number, reason.what());
    return false;
  }
}

// The value of a tag of tables A and B for an existing dive, after its note
// page or picture, when it asks for one, is written.
Value DiveTagValue(FillRun& run, const TagEntry& entry, int index) {
  const Logbook& logbook = run.source.logbook;
  const Dive& dive = logbook.dives[static_cast<std::size_t>(index)];
  const ExportOptions& options = run.source.options;
  switch (entry.tag) {
    case Tag::Field:
      return {entry.field(dive)};
    case Tag::Gas:
      if (dive.oxygen == 0 || dive.oxygen == 21) return {};
      return Markup("<font color=\"#00FF00\">EAN" + IntText(dive.oxygen) + "</font>");
    case Tag::Note:
      return {options.note ? dive.note : std::string()};
    case Tag::NoteOrGif:
      if (!(HasNote(dive) && options.note) && !(HasProfile(dive) && options.gif)) return {};
      WriteNotePage(run, index);
      return Markup(NotePageLink(IntText(dive.number), "nog.gif"));
    case Tag::Subpage:
      WriteNotePage(run, index);
      return Markup(NotePageLink(IntText(dive.number), "nog.gif"));
    case Tag::NoteIco:
      if (!(HasNote(dive) && options.note)) return {};
      WriteNotePage(run, index);
      return Markup(NotePageLink(IntText(dive.number), "note.gif"));
    case Tag::ProfileIco:
      if (!(options.gif && HasProfile(dive) && MakePicture(run, index))) return {};
      return Markup(std::string("<a href=\"d").append(IntText(dive.number)) +
                    ".gif\"><img src=\"../pict/chart.gif\" align=\"right\" border=\"0\"></a>");
    case Tag::ProfileGif:
      if (!(options.gif && HasProfile(dive) && MakePicture(run, index))) return {};
      return Markup(std::string("<img src=\"d").append(IntText(dive.number)) + ".gif\">");
    case Tag::ProfileSvg:
      if (!(options.gif && HasProfile(dive))) return {};
      return Markup(ProfileSvg(dive));
    case Tag::ProfileSvgFile:
      if (!(options.gif && HasProfile(dive) && WriteProfileSvgFile(dive, run.files))) return {};
      return Markup(std::string("<a class=\"profile-file\" href=\"d").append(IntText(dive.number)) +
                    ".svg\"></a>");
    case Tag::PrevLink:
      return Markup(NeighbourLink(logbook, index, -1));
    case Tag::NextLink:
      return Markup(NeighbourLink(logbook, index, +1));
    case Tag::SameSite:
      return Markup(run.source.facts().sameSiteItems(logbook, index));
    default:
      return {};
  }
}

std::string PageTagValue(const FillSource& source, Tag tag) {
  const Summary& summary = source.logbook.summary;
  switch (tag) {
    case Tag::TotalDiveTime:
      return SecondsToClockText(summary.totalDiveTime);
    case Tag::AverDiveTime:
      return SecondsToClockText(summary.averageDiveTime);
    case Tag::TotalMaxDepth:
      return IntText(summary.deepest);
    case Tag::TotalSac:
      return IntText(summary.averageSac);
    case Tag::At:
      return "@";
    case Tag::DiveCount:
      return IntText(static_cast<std::int32_t>(source.logbook.dives.size()));
    case Tag::TotalDiveTimeExact:
      return source.facts().totalDiveTime;
    case Tag::AverDiveTimeExact:
      return source.facts().averageDiveTime;
    case Tag::TotalMaxDepthExact:
      return source.facts().deepest;
    case Tag::TotalSacExact:
      return source.facts().averageSac;
    default:
      return {};
  }
}

bool IsDiveIndex(const Logbook& logbook, int dive) {
  return dive >= 0 && static_cast<std::size_t>(dive) < logbook.dives.size();
}

Value TagText(FillRun& run, std::string_view name, int dive) {
  const TagEntry* entry = FindTag(name);
  const Logbook& logbook = run.source.logbook;
  Value value{"error"};
  // An index outside the logbook is taken like NoDive: no record to read.
  if (!IsDiveIndex(logbook, dive)) {
    value = {};
  } else if (entry != nullptr && !IsPageTag(entry->tag)) {
    value = DiveTagValue(run, *entry, dive);
  }
  if (entry != nullptr && IsPageTag(entry->tag)) value = {PageTagValue(run.source, entry->tag)};
  return value;
}

// Splits the line into text and tags, reading the page on through both.
TemplateLine ReadLine(std::string_view line, PageReader& page) {
  TemplateLine parts;
  const auto addText = [&](std::string_view text) {
    if (text.empty()) return;
    page.read(text);
    parts.push_back({false, std::string(text), {}});
  };
  std::size_t p = 0;
  while (p < line.size()) {
    const auto open = line.find('@', p);
    const auto close = open == std::string_view::npos ? open : line.find('@', open + 1);
    if (close == std::string_view::npos) {
      // An "@" that the line never closes opens no tag: the rest of the
      // line, that "@" included, is copied as plain text.
      addText(line.substr(p));
      break;
    }
    addText(line.substr(p, open - p));
    parts.push_back({true, std::string(line.substr(open + 1, close - open - 1)), page.place()});
    page.readValue();
    p = close + 1;
  }
  return parts;
}

std::string FillParts(FillRun& run, const TemplateLine& line, int dive) {
  std::string out;
  for (const auto& part : line) {
    if (part.isTag) {
      out += Placed(TagText(run, part.text, dive), part.place);
    } else {
      out += part.text;
    }
  }
  return out;
}

}  // namespace

Template ParseTemplate(std::string_view text, const PageReader& start) {
  Template parsed{{}, start};
  for (const auto& line : SplitLines(text)) {
    parsed.lines.push_back(ReadLine(line, parsed.end));
    parsed.end.read("\r\n");
  }
  return parsed;
}

RepeatedTemplate::RepeatedTemplate(std::string_view text, const PageReader& start,
                                   std::size_t fills)
    : end_(start) {
  std::vector<PageReader> starts;
  for (PageReader place = start; readings_.size() < fills;) {
    const auto seen = std::find(starts.begin(), starts.end(), place);
    if (seen != starts.end()) {
      cycleStart_ = static_cast<std::size_t>(seen - starts.begin());
      break;
    }
    starts.push_back(place);
    readings_.push_back(ParseTemplate(text, place));
    place = readings_.back().end;
    cycleStart_ = readings_.size();
  }
  if (fills > 0) end_ = fill(fills - 1).end;
}

const Template& RepeatedTemplate::fill(std::size_t index) const {
  if (index < readings_.size()) return readings_[index];
  const std::size_t cycle = readings_.size() - cycleStart_;
  return readings_[cycleStart_ + (index - cycleStart_) % cycle];
}

std::string TagValue(FillRun& run, std::string_view name, int dive) {
  return Placed(TagText(run, name, dive), ValuePlace{});
}

std::string FillLine(FillRun& run, std::string_view line, int dive) {
  PageReader page;
  return FillParts(run, ReadLine(line, page), dive);
}

void FillTemplate(FillRun& run, const Template& layout, ByteSink& out, int dive) {
  for (const auto& line : layout.lines) {
    std::string filled = FillParts(run, line, dive);
    filled += "\r\n";
    out.write(filled);
  }
}

FillSource::FillSource(const Logbook& book, const ExportOptions& exportOptions,
                       const Template* noteTemplate)
    : logbook(book), options(exportOptions), note(noteTemplate) {}

const LogbookFacts& FillSource::facts() const {
  std::call_once(factsMade_, [this] { facts_.emplace(logbook); });
  return *facts_;
}

FillRun::FillRun(const FillSource& fillSource, FileSet& newFiles, ExportReport& exportReport)
    : source(fillSource), files(newFiles), report(exportReport) {}

void LeavePictureOut(FillRun& run, std::int32_t number, const std::string& reason) {
  auto& leftOut = run.picturesLeftOut;
  if (std::find(leftOut.begin(), leftOut.end(), number) != leftOut.end()) return;
  leftOut.push_back(number);
  run.report.pictureLeftOut(number, reason);
}

void WriteNotePage(FillRun& run, int dive) {
  const Logbook& logbook = run.source.logbook;
  if (!IsDiveIndex(logbook, dive)) return;
  const std::int32_t number = logbook.dives[static_cast<std::size_t>(dive)].number;
  // The note template asking for the page it is filling: that page is being
  // written already and is not reopened, which also ends the recursion.
  auto& open = run.notePagesOpen_;
  if (std::find(open.begin(), open.end(), number) != open.end()) return;

  const Template* note = run.source.note;
  if (note == nullptr) return;
  FileSink page(run.files, DivePageName(number));
  RequireCreated(page);

  struct Writing {
    std::vector<std::int32_t>& pages;
    ~Writing() { pages.pop_back(); }
  } writing{open};
  open.push_back(number);
  FillTemplate(run, *note, page, dive);
  Finish(page);
}

}  // namespace quellmar

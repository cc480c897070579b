#include "html_out/profile_svg.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "basic/decimal.h"
#include "basic/text.h"
#include "html_out/logbook_facts.h"
#include "html_out/output_file.h"

namespace quellmar {
namespace {

// At most this many steps on either scale: with labels of three characters
// the minutes stand apart in the plot of a 360 pixel wide phone.
constexpr int kTimeSteps = 6;
constexpr int kDepthSteps = 5;
// Room below the deepest point for its label, as a share of the depth.
constexpr double kDepthRoom = 1.25;
// A minute label closer to the right end than this share of the width
// would run into the unit written there.
constexpr double kLastTimeLabel = 0.85;

constexpr std::string_view kBelow = R"(dy="1.3em" text-anchor="middle")";
constexpr std::string_view kBelowLeft = R"(dy="1.3em" text-anchor="end")";
constexpr std::string_view kBesideLeft = R"(dx="-.4em" dy=".35em" text-anchor="end")";
constexpr std::string_view kUnderRight = R"(dx=".5em" dy="1.3em")";
constexpr std::string_view kUnderLeft = R"(dx="-.5em" dy="1.3em" text-anchor="end")";

// The opening tag's attributes and what follows it: for the page, which
// styles the SVG, or for a file of its own, which brings its style.
struct Head {
  std::string_view attributes;
  std::string_view style;
};
constexpr Head kPageHead{R"(class="depth-profile" role="img" width="100%" height="240")", ""};
// A picture of 180 by 38 mm at 96 pixels to the inch.
constexpr Head kFileHead{
    R"(xmlns="http://www.w3.org/2000/svg" class="depth-profile" role="img" width="680" height="144" font-family="DejaVu Sans, Arial, sans-serif" font-size="11")",
    R"(<style>)"
    R"(.grid{fill:none;stroke:#b9c6d2;vector-effect:non-scaling-stroke})"
    R"(.area{fill:#dce8f2;stroke:#13315c;stroke-width:1.5;vector-effect:non-scaling-stroke})"
    R"(text{fill:#333}.deepest{fill:#b3261e}text.deepest{fill:#000;font-weight:bold})"
    R"(.plot-box{x:44px;y:6px;width:630px;height:118px})"
    R"(</style>)"};

constexpr std::array<std::int64_t, 12> kMinuteSteps{1,  2,  5,   10,  15,  20,
                                                    30, 60, 120, 180, 360, 720};
constexpr std::array<std::int32_t, 9> kMetreSteps{1, 2, 5, 10, 20, 50, 100, 200, 500};

std::int32_t Centimetres(std::string_view field) {
  const std::optional<Decimal> value = Decimal::Parse(field);
  if (!value) return 0;
  if (value->places <= 2) {
    std::int64_t units = value->units;
    for (int i = value->places; i < 2; ++i) units *= 10;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(units, -2'000'000'000, 2'000'000'000));
  }
  return static_cast<std::int32_t>(std::llround(value->value() * 100));
}

// units / 10^places with its trailing zeros left out: "12.3", "-0.05", "40".
std::string Fixed(std::int64_t units, int places) {
  std::string text = FixedPointText(units, places);
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string Metres(std::int64_t centimetres) { return Fixed(centimetres, 2); }

// A share of a whole as a percentage to the hundredth: "37.5%".
std::string Percent(double part, double whole) {
  return Fixed(whole > 0 ? std::llround(part / whole * 10000) : 0, 2) + "%";
}

// Minutes and seconds, "41:37", as the dive page writes a dive time.
std::string MinutesAndSeconds(std::int64_t seconds) {
  const std::int64_t rest = seconds % 60;
  return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

std::int64_t MinuteStep(std::int64_t seconds) {
  for (const std::int64_t step : kMinuteSteps) {
    if (seconds <= step * 60 * kTimeSteps) return step;
  }
  return (seconds / 60 + kTimeSteps - 1) / kTimeSteps;
}

struct DepthScale {
  std::int32_t step;    // metres between two labels
  std::int32_t bottom;  // metres at the plot's bottom edge
};

DepthScale ScaleFor(std::int32_t deepestCentimetres) {
  const double room = std::max(deepestCentimetres, 400) * kDepthRoom / 100;
  for (const std::int32_t step : kMetreSteps) {
    const auto bottom = static_cast<std::int32_t>(std::ceil(room / step)) * step;
    if (bottom / step <= kDepthSteps) return {step, bottom};
  }
  const auto bottom = static_cast<std::int32_t>(std::ceil(room / 1000)) * 1000;
  return {bottom / kDepthSteps, bottom};
}

// The samples as one closed path: from the first depth a step of 1 to the
// right for each sample, then down to the bottom and back along it.
std::string AreaPath(const std::vector<std::int32_t>& depths, std::int32_t bottom) {
  // Built by appending: GCC 12 warns falsely on "literal" + text.
  std::string d = "M0 ";
  d.reserve(depths.size() * 6 + 32);
  d += Metres(depths.front());
  d += 'l';
  for (std::size_t i = 1; i < depths.size(); ++i) {
    std::string dy = Metres(static_cast<std::int64_t>(depths[i]) - depths[i - 1]);
    // ".3" for "0.3", and no blank before a minus: every byte counts in a
    // profile of thousands of samples.
    if (dy.starts_with("0.")) dy.erase(0, 1);
    if (dy.starts_with("-0.")) dy.erase(1, 1);
    if (i > 1) d += ' ';
    d += '1';
    if (dy.front() != '-') d += ' ';
    d += dy;
  }
  d += 'V';
  d += IntText(bottom);
  d += "H0Z";
  return d;
}

std::string GridPath(const std::vector<std::int32_t>& depths, std::int64_t seconds,
                     std::int64_t minuteStep, const DepthScale& scale) {
  const std::string right = IntText(static_cast<std::int32_t>(depths.size() - 1));
  std::string d;
  for (std::int32_t metres = scale.step; metres < scale.bottom; metres += scale.step) {
    d.append("M0 ").append(IntText(metres)).append("H").append(right);
  }
  const double perSecond = static_cast<double>(depths.size() - 1) / static_cast<double>(seconds);
  for (std::int64_t minute = minuteStep; minute * 60 < seconds; minute += minuteStep) {
    d.append("M").append(
        Fixed(std::llround(static_cast<double>(minute * 60) * perSecond * 100), 2));
    d.append(" 0V").append(IntText(scale.bottom));
  }
  return d;
}

// A label at (x, y), placed beside that point by its offsets and anchor
// (given as attributes, so that the SVG reads right without a style sheet).
std::string Label(std::string_view kind, const std::string& x, const std::string& y,
                  std::string_view placing, std::string_view text) {
  std::string label = "<text class=\"";
  label.append(kind).append("\" x=\"").append(x).append("\" y=\"").append(y).append("\" ");
  label.append(placing).append(">").append(text).append("</text>");
  return label;
}

std::string TimeLabels(std::int64_t seconds, std::int64_t minuteStep) {
  std::string labels;
  for (std::int64_t minute = 0; minute * 60 <= kLastTimeLabel * static_cast<double>(seconds);
       minute += minuteStep) {
    labels +=
        Label("minute", Percent(static_cast<double>(minute * 60), static_cast<double>(seconds)),
              "100%", kBelow, std::to_string(minute));
  }
  return labels + Label("minute unit", "100%", "100%", kBelowLeft, "min");
}

std::string DepthLabels(const DepthScale& scale) {
  std::string labels;
  for (std::int32_t metres = 0; metres <= scale.bottom; metres += scale.step) {
    labels +=
        Label("metre", "0", Percent(metres, scale.bottom), kBesideLeft, IntText(metres) + " m");
  }
  return labels;
}

}  // namespace

std::vector<std::int32_t> ProfileCentimetres(std::string_view profile) {
  std::vector<std::int32_t> depths;
  depths.reserve(profile.size() / 4 + 1);
  // A last field of one character is not read: "12,5" is the one sample 12.
  while (profile.size() >= 2) {
    const std::size_t comma = profile.find(',');
    depths.push_back(Centimetres(profile.substr(0, comma)));
    profile.remove_prefix(comma == std::string_view::npos ? profile.size() : comma + 1);
  }
  return depths;
}

std::int64_t ProfileSeconds(const Dive& dive, std::size_t samples) {
  const std::int64_t steps = samples > 1 ? static_cast<std::int64_t>(samples - 1) : 0;
  const std::int64_t diveTime = dive.exact.diveTime ? WholeSeconds(*dive.exact.diveTime)
                                                    : static_cast<std::int64_t>(dive.diveTime);
  if (diveTime > 0) return diveTime;
  if (dive.sampleInterval > 0) return steps * dive.sampleInterval;
  return steps;
}

namespace {

// The profile's SVG element, opened as head says.
std::string DrawnProfile(const Dive& dive, const Head& head) {
  const std::vector<std::int32_t> depths = ProfileCentimetres(dive.profile);
  if (depths.size() < 2) return {};
  const std::int64_t seconds = std::max<std::int64_t>(1, ProfileSeconds(dive, depths.size()));
  const auto deepest = std::max_element(depths.begin(), depths.end());
  const auto deepestAt = static_cast<std::size_t>(deepest - depths.begin());
  const DepthScale scale = ScaleFor(*deepest);
  const std::int64_t minuteStep = MinuteStep(seconds);
  const auto steps = static_cast<double>(depths.size() - 1);

  const std::int64_t deepestSecond =
      std::llround(static_cast<double>(deepestAt) / steps * static_cast<double>(seconds));
  const std::string words = "Depth profile: deepest " + Metres(*deepest) + " m at " +
                            MinutesAndSeconds(deepestSecond) + " of " + MinutesAndSeconds(seconds) +
                            " min";
  const std::string deepestX = Percent(static_cast<double>(deepestAt), steps);
  const std::string deepestY = Percent(*deepest, scale.bottom * 100.0);
  // The deepest point's label turns toward the middle of the plot.
  const bool leftHalf = 2 * deepestAt < depths.size();

  std::string svg = "<svg ";
  svg += head.attributes;
  svg += " data-seconds=\"" + std::to_string(seconds) + "\">";
  svg += head.style;
  svg += "<title>" + words + "</title>";
  svg +=
      "<svg class=\"plot-box\" x=\"12%\" y=\"4%\" width=\"86%\" height=\"82%\" "
      "overflow=\"visible\">";
  svg += "<svg class=\"samples\" viewBox=\"0 0 " + Fixed(static_cast<std::int64_t>(steps), 0) +
         " " + IntText(scale.bottom) +
         "\" preserveAspectRatio=\"none\" width=\"100%\" height=\"100%\">";
  svg += "<path class=\"grid\" d=\"" + GridPath(depths, seconds, minuteStep, scale) + "\"/>";
  svg += "<path class=\"area\" d=\"" + AreaPath(depths, scale.bottom) + "\"/>";
  svg += "</svg>";
  svg += DepthLabels(scale);
  svg += TimeLabels(seconds, minuteStep);
  svg += "<circle class=\"deepest\" cx=\"" + deepestX + "\" cy=\"" + deepestY + "\" r=\"4\"/>";
  svg += Label("deepest", deepestX, deepestY, leftHalf ? kUnderRight : kUnderLeft,
               Metres(*deepest) + " m");
  svg += "</svg></svg>";
  return svg;
}

}  // namespace

std::string ProfileSvg(const Dive& dive) { return DrawnProfile(dive, kPageHead); }

bool WriteProfileSvgFile(const Dive& dive, FileSet& files) {
  std::string svg = DrawnProfile(dive, kFileHead);
  if (svg.empty()) return false;
  std::string name = "d";  // built by appending: GCC 12 warns falsely on "d" + text
  name += IntText(dive.number);
  name += ".svg";
  FileSink file(files, name);
  RequireCreated(file);
  file.write(svg);
  Finish(file);
  return true;
}

}  // namespace quellmar

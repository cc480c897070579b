// A dive's depth profile as inline SVG for its page: the depth over the dive
// time with a labelled scale of metres and one of minutes, the deepest point
// marked, and a title that tells the same in words.
//
// The SVG scales to any width without a script: the plot stretches while
// the labels keep their size, and there are few enough of them to stand
// apart in a phone's width. The profile is one path in sample steps (x is
// the sample's place, y its depth in metres), so that the page's script can
// read every sample back from it; the outer element carries the dive time
// in seconds (data-seconds) over which the samples are spread, as the GIF
// picture spreads them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "basic/file_set.h"
#include "model/logbook.h"

namespace quellmar {

// The depth samples of a profile text in centimetres, cut as the picture
// cuts them (a last field of one character is not a sample); a field that
// is not a number is 0.
std::vector<std::int32_t> ProfileCentimetres(std::string_view profile);

// The seconds the samples are spread over: the dive time, or, without one,
// the sample interval times the steps between the samples.
std::int64_t ProfileSeconds(const Dive& dive, std::size_t samples);

// The SVG element of the dive's profile, styled by the page; empty when it
// has fewer than two samples, which draw no line.
std::string ProfileSvg(const Dive& dive);

// The same profile as an SVG file of its own, "d" + N + ".svg", styled for
// paper, for a page that shows it as a picture (the printed logbook). Writes
// nothing and returns false when there is no profile to draw; throws
// ExportError when the file cannot be made or written.
bool WriteProfileSvgFile(const Dive& dive, FileSet& files);

}  // namespace quellmar

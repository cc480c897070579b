// How a caption or a path is made to fit its control, decided once for every
// window. The windows are laid out in pixels for one face at 96 DPI; another
// face, or a desktop scaled to 125 %, 150 % or 200 %, draws texts of other
// sizes in controls scaled by other rounding. The windows measure; these
// decide.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quellmar {

struct Extent {
  int width = 0;
  int height = 0;
};

struct CaptionFit {
  Extent size;    // the control's size
  double points;  // its font's size
};

// Texts become no smaller than this, whatever the face.
inline constexpr double kSmallestCaptionPoints = 6.0;

// A control keeps its laid-out size where its caption fits. Where the caption
// needs more, the control grows up to `most`, and where that is not enough its
// font steps down half a point at a time, so that the caption is never cut
// off. needed(points) is the size the caption takes with the font at that size.
CaptionFit FitCaption(Extent laidOut, Extent most, double points,
                      const std::function<Extent(double points)>& needed);

// The text (UTF-8) as it fits into room: whole when it does, else with its
// middle replaced by "…", so that a path keeps its drive and its file name.
// width(text) is the width a text takes.
std::string ElideMiddle(std::string_view text, int room,
                        const std::function<int(const std::string&)>& width);

}  // namespace quellmar

#include "window/caption_fit.h"

#include <algorithm>
#include <vector>

namespace quellmar {
namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // …

Extent Bounded(Extent size, Extent most) {
  return {std::min(size.width, most.width), std::min(size.height, most.height)};
}

Extent Expanded(Extent size, Extent least) {
  return {std::max(size.width, least.width), std::max(size.height, least.height)};
}

// Where each character of a UTF-8 text begins, and its end.
std::vector<std::size_t> CharacterStarts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  starts.push_back(text.size());
  return starts;
}

}  // namespace

CaptionFit FitCaption(Extent laidOut, Extent most, double points,
                      const std::function<Extent(double points)>& needed) {
  const Extent start = Bounded(laidOut, most);
  for (;;) {
    const Extent wanted = needed(points);
    const Extent size = Bounded(Expanded(start, wanted), most);
    const bool fits = wanted.width <= size.width && wanted.height <= size.height;
    if (fits || points - 0.5 < kSmallestCaptionPoints) return {size, points};
    points -= 0.5;
  }
}

std::string ElideMiddle(std::string_view text, int room,
                        const std::function<int(const std::string&)>& width) {
  const std::string whole(text);
  if (width(whole) <= room) return whole;
  const std::vector<std::size_t> starts = CharacterStarts(text);
  const std::size_t count = starts.size() - 1;
  // Of `kept` characters, the first half (rounded up) from the start and the
  // rest from the end.
  const auto elided = [&](std::size_t kept) {
    const std::size_t head = (kept + 1) / 2;
    const std::size_t tail = kept - head;
    return std::string(text.substr(0, starts[head])) + std::string(kEllipsis) +
           std::string(text.substr(starts[count - tail]));
  };
  // The most characters that still fit; the widths grow with the count.
  std::size_t fits = 0;
  std::size_t tooMany = count;
  while (tooMany - fits > 1) {
    const std::size_t middle = fits + (tooMany - fits) / 2;
    (width(elided(middle)) <= room ? fits : tooMany) = middle;
  }
  return elided(fits);
}

}  // namespace quellmar

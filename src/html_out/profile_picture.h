// A dive's depth-profile picture: drawn pixel by pixel in the 216-colour cube
// and written as "d" + dive number + ".gif" into the Output directory.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "main/platform.h"
#include "main/session.h"

namespace quellmar {

// An error that ends the running export; its text is shown in the error box.
class ExportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Pixels per sample: the whole number at the start of the "pixel / profile
// entry" text ("2 px" gives 2); 0 when the text does not start with one.
std::int32_t PixelsPerSample(std::string_view pxText);

// The picture of a profile text drawn at the given scale; indices into the
// colour cube (the palette holds all 256 entries of the file's table).
IndexedImage RenderProfile(std::string_view profile, std::int16_t maxdepth,
                           std::int32_t pixelsPerSample);

// Draws dive dives[index] with the current options and writes its GIF file.
// Throws ExportError when the file cannot be written or the clipboard refuses.
bool MakeProfilePicture(Session& session, int index);

}  // namespace quellmar

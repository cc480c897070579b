#include "html_out/profile_picture.h"

namespace quellmar {

std::int32_t PixelsPerSample(std::string_view) { return 0; }
IndexedImage RenderProfile(std::string_view, std::int16_t, std::int32_t) { return {}; }
bool MakeProfilePicture(Session&, int) { return true; }

}  // namespace quellmar

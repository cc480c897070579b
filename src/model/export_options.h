// The three options of the HTML export, as the window's controls set them.
#pragma once

#include <string>

namespace quellmar {

struct ExportOptions {
  bool note = true;      // "Note"
  bool gif = true;       // "Dive profil GIF"
  std::string px = "1";  // "pixel / profile entry", read as text, as typed
};

}  // namespace quellmar

// What an HTML export reports back to the front-end that started it.
#pragma once

#include <cstddef>

namespace quellmar {

struct ExportResult {
  bool finished = false;  // reached its final question
  // Dives whose profile picture could not be made and was left out; the
  // history names each one and why.
  std::size_t picturesLeftOut = 0;

  explicit operator bool() const { return finished; }
};

}  // namespace quellmar

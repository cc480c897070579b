#include "basic/byte_sink.h"

namespace quellmar {
namespace {

// Gathered bytes are written once they reach this many.
constexpr std::size_t kWriteSize = 256 * 1024;

}  // namespace

void FileSink::write(std::string_view bytes) {
  if (!good()) return;
  pending_.append(bytes);
  if (pending_.size() >= kWriteSize) flush();
}

bool FileSink::flush() {
  const bool written = file_.write(pending_);
  pending_.clear();
  return written;
}

bool FileSink::finish() { return good() && flush() && file_.finish(); }

}  // namespace quellmar

#include "basic/byte_sink.h"

namespace quellmar {
namespace {

// Gathered bytes are written once they reach this many.
constexpr std::size_t kWriteSize = 256 * 1024;

}  // namespace

// A directory is never opened for writing: the system refuses it.
// Windows opens through the wide API, which takes every name the system can hold.
FileSink::FileSink(const std::filesystem::path& path)
#ifdef _WIN32
    : file_(_wfopen(path.c_str(), L"wb")) {
#else
    : file_(std::fopen(path.c_str(), "wb")) {
#endif
  // The sink gathers the bytes itself; a second buffer in the stream would
  // only copy them once more.
  if (file_ != nullptr) std::setvbuf(file_, nullptr, _IONBF, 0);
}

FileSink::~FileSink() { close(); }

void FileSink::write(std::string_view bytes) {
  if (!good()) return;
  pending_.append(bytes);
  if (pending_.size() >= kWriteSize) flush();
}

void FileSink::flush() {
  if (!pending_.empty() &&
      std::fwrite(pending_.data(), 1, pending_.size(), file_) != pending_.size()) {
    failed_ = true;
  }
  pending_.clear();
}

bool FileSink::close() {
  if (file_ == nullptr) return false;
  if (!failed_) flush();
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed && !failed_;
}

}  // namespace quellmar

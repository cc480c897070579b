#include "basic/byte_sink.h"

namespace quellmar {

FileSink::FileSink(const std::filesystem::path& path) {
  std::error_code ec;
  // Opening a directory for writing may "succeed" on some systems; never write into one.
  if (std::filesystem::is_directory(path, ec)) return;
  file_.open(path, std::ios::binary | std::ios::trunc);
}

void FileSink::write(std::string_view bytes) {
  if (file_) file_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileSink::close() {
  if (!file_.is_open()) return false;
  file_.flush();
  const bool ok = static_cast<bool>(file_);
  file_.close();
  return ok && !file_.fail();
}

}  // namespace quellmar

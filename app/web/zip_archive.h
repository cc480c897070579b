// The logbook as one zip file for the browser to download: the files stored
// as they are, without compression (the pictures are GIF already, and a
// stored file is written at the speed of copying), in the order given, with
// CRC-32 checksums and one fixed time, so that the same logbook always gives
// the same bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quellmar::web {

std::uint32_t Crc32(std::string_view bytes);

class ZipArchive {
 public:
  // A folder entry ("Output/"), so that an empty folder is unpacked too.
  void addFolder(std::string_view name);
  // name: the path inside the archive, "/" between folders, UTF-8.
  void addFile(std::string_view name, std::string_view bytes);
  // The whole archive, with its central directory; nothing when it holds more
  // entries or bytes than a zip file without its 64-bit extension can.
  std::optional<std::string> finish();

 private:
  void addEntry(std::string_view name, std::string_view bytes, std::uint32_t mode);

  std::string bytes_;
  std::string directory_;
  std::uint64_t entries_ = 0;
  bool tooLarge_ = false;
};

}  // namespace quellmar::web

#include "zip_archive.h"

#include <array>
#include <limits>

namespace quellmar::web {
namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}
constexpr auto kCrcTable = MakeCrcTable();

constexpr std::uint16_t kVersionNeeded = 20;
// Made on Unix (3): the external attributes then carry the file's mode.
constexpr std::uint16_t kVersionMadeBy = (3 << 8) | kVersionNeeded;
constexpr std::uint16_t kUtf8Names = 0x0800;
constexpr std::uint16_t kStored = 0;
// 1 January 1980, 00:00, the earliest time a zip file holds.
constexpr std::uint16_t kTime = 0;
constexpr std::uint16_t kDate = (1 << 5) | 1;
constexpr std::uint32_t kFileMode = 0100644;
constexpr std::uint32_t kFolderMode = 040755;
constexpr std::uint32_t kMsDosFolder = 0x10;
constexpr std::uint32_t kMost32 = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint64_t kMostEntries = std::numeric_limits<std::uint16_t>::max();

void Put16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (const char byte : bytes)
    c = kCrcTable[(c ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void ZipArchive::addFolder(std::string_view name) {
  addEntry(std::string(name) + "/", {}, kFolderMode);
}

void ZipArchive::addFile(std::string_view name, std::string_view bytes) {
  addEntry(name, bytes, kFileMode);
}

void ZipArchive::addEntry(std::string_view name, std::string_view bytes, std::uint32_t mode) {
  if (bytes.size() > kMost32 || bytes_.size() > kMost32 || name.size() > 0xFFFF) {
    tooLarge_ = true;
    return;
  }
  const std::uint32_t crc = Crc32(bytes);
  const auto size = static_cast<std::uint32_t>(bytes.size());
  const auto offset = static_cast<std::uint32_t>(bytes_.size());
  const auto nameSize = static_cast<std::uint32_t>(name.size());
  // The local header, then the file's bytes.
  Put32(bytes_, 0x04034B50);
  Put16(bytes_, kVersionNeeded);
  Put16(bytes_, kUtf8Names);
  Put16(bytes_, kStored);
  Put16(bytes_, kTime);
  Put16(bytes_, kDate);
  Put32(bytes_, crc);
  Put32(bytes_, size);
  Put32(bytes_, size);
  Put16(bytes_, nameSize);
  Put16(bytes_, 0);
  bytes_ += name;
  bytes_ += bytes;
  // Its entry in the central directory.
  Put32(directory_, 0x02014B50);
  Put16(directory_, kVersionMadeBy);
  Put16(directory_, kVersionNeeded);
  Put16(directory_, kUtf8Names);
  Put16(directory_, kStored);
  Put16(directory_, kTime);
  Put16(directory_, kDate);
  Put32(directory_, crc);
  Put32(directory_, size);
  Put32(directory_, size);
  Put16(directory_, nameSize);
  Put16(directory_, 0);  // extra field
  Put16(directory_, 0);  // comment
  Put16(directory_, 0);  // disk
  Put16(directory_, 0);  // internal attributes
  Put32(directory_, (mode << 16) | (mode == kFolderMode ? kMsDosFolder : 0));
  Put32(directory_, offset);
  directory_ += name;
  ++entries_;
}

std::optional<std::string> ZipArchive::finish() {
  if (tooLarge_ || entries_ > kMostEntries || bytes_.size() + directory_.size() > kMost32) {
    return std::nullopt;
  }
  const auto directoryOffset = static_cast<std::uint32_t>(bytes_.size());
  const auto directorySize = static_cast<std::uint32_t>(directory_.size());
  std::string archive = std::move(bytes_);
  archive += directory_;
  Put32(archive, 0x06054B50);
  Put16(archive, 0);  // this disk
  Put16(archive, 0);  // the directory's disk
  Put16(archive, static_cast<std::uint32_t>(entries_));
  Put16(archive, static_cast<std::uint32_t>(entries_));
  Put32(archive, directorySize);
  Put32(archive, directoryOffset);
  Put16(archive, 0);  // comment
  bytes_.clear();
  directory_.clear();
  entries_ = 0;
  return archive;
}

}  // namespace quellmar::web

#include "bench_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>

namespace quellmar::bench {

MessageAnswer BenchPlatform::showMessage(MessageKind kind, const std::string& text,
                                         MessageButtons buttons, const std::string&) {
  if (kind == MessageKind::Warning) warnings.push_back(text);
  switch (buttons) {
    case MessageButtons::Ok:
      return MessageAnswer::Ok;
    case MessageButtons::OkCancel:
      return MessageAnswer::Cancel;
    case MessageButtons::YesNo:
      return MessageAnswer::No;
  }
  return MessageAnswer::Cancel;
}

ScratchDir::ScratchDir(std::string_view purpose) {
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate =
        base / ("quellmar-bench-" + std::string(purpose) + "-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = std::filesystem::absolute(candidate);
      return;
    }
  }
  throw std::runtime_error("cannot make a scratch directory");
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

ProgramFolder::ProgramFolder(std::string_view purpose, const ExportShape& shape) : dir_(purpose) {
  const std::filesystem::path resources = QUELLMAR_SOURCE_DIR "/resources";
  for (const char* folder : {"html", "pict"}) {
    std::filesystem::copy(resources / folder, dir_.path() / folder,
                          std::filesystem::copy_options::recursive);
  }
  std::filesystem::create_directory(dir_.path() / "data");
  mainFile_ = dir_.path() / "data" / "logbook.csv";
  WriteExport(mainFile_, shape);
}

namespace {

// A file descriptor that closes itself.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

std::size_t CountLines(const char* data, std::size_t size) {
  std::size_t lines = 0;
  const char* end = data + size;
  for (const char* p = data; p < end; ++lines) {
    const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(end - p));
    if (cr == nullptr) return lines + 1;
    p = static_cast<const char*>(cr) + 1;
    if (p < end && *p == '\n') ++p;
  }
  return lines;
}

}  // namespace

std::size_t ReadAndSplitLines(const std::vector<std::filesystem::path>& files) {
  std::size_t lines = 0;
  for (const auto& path : files) {
    Descriptor fd(::open(path.c_str(), O_RDONLY));
    if (fd.get() < 0) throw std::runtime_error("cannot open " + path.string());
    const auto size = static_cast<std::size_t>(std::filesystem::file_size(path));
    const auto buffer = std::make_unique_for_overwrite<char[]>(size);
    std::size_t done = 0;
    while (done < size) {
      const auto got = ::read(fd.get(), buffer.get() + done, size - done);
      if (got <= 0) throw std::runtime_error("cannot read " + path.string());
      done += static_cast<std::size_t>(got);
    }
    lines += CountLines(buffer.get(), size);
  }
  return lines;
}

bool WriteFilesBare(const std::filesystem::path& dir, const std::vector<FileBytes>& files) {
  bool ok = true;
  for (const auto& file : files) {
    const auto path = dir / file.name;
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
    if (fd.get() < 0) return false;
    std::size_t done = 0;
    while (done < file.bytes.size()) {
      const auto put = ::write(fd.get(), file.bytes.data() + done, file.bytes.size() - done);
      if (put <= 0) return false;
      done += static_cast<std::size_t>(put);
    }
    ok = fd.close() && ok;
  }
  return ok;
}

bool SyncFileSystem(const std::filesystem::path& dir) {
  Descriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY));
  return fd.get() >= 0 && ::syncfs(fd.get()) == 0;
}

double Median(std::vector<double> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

std::string CaseName(const char* prefix, const PictureCase& pictureCase) {
  return std::string(prefix) + "/" + std::to_string(pictureCase.samples) + "x" +
         std::to_string(pictureCase.pixelsPerSample) + "px";
}

}  // namespace quellmar::bench

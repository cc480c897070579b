#include "page_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "zip_archive.h"

namespace quellmar::web {
namespace {

namespace fs = std::filesystem;

// The page's side, in the page's script (app/web/page.js): Module.page.
// clang-format off
EM_JS(void, PageMessage, (const char* title, const char* text, int buttons, const char* details), {
  Module.page.showMessage(UTF8ToString(title), UTF8ToString(text), buttons, UTF8ToString(details));
});
EM_JS(void, PageMemo, (const char* text), { Module.page.showMemo(UTF8ToString(text)); });
EM_JS(void, PageDiveList, (const char* text), { Module.page.showDiveList(UTF8ToString(text)); });
EM_JS(void, PageSelection, (int index), { Module.page.showSelectedDive(index); });
EM_JS(void, PageHistory, (const char* line), { Module.page.addHistoryLine(UTF8ToString(line)); });
EM_JS(void, PageFilePanel, (const char* text), { Module.page.showFilePanel(UTF8ToString(text)); });
EM_JS(void, PageProgress, (double max, double position), {
  Module.page.showProgress(max, position);
});
EM_JS(void, PageDownload, (const char* bytes, size_t size, const char* name, const char* type), {
  Module.page.download(HEAPU8.slice(bytes, bytes + size), UTF8ToString(name), UTF8ToString(type));
});
// clang-format on

// The page's dialogs know the three sets of buttons by these numbers.
int ButtonsCode(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return 0;
    case MessageButtons::OkCancel:
      return 1;
    case MessageButtons::YesNo:
      return 2;
  }
  return 0;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

// A file of the memory file system whole; nothing, with the reason, when it
// cannot be read.
std::optional<std::string> ReadBytes(const fs::path& path, std::string& reason) {
  std::ifstream file(path, std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (!file.is_open() || file.bad()) {
    reason = std::strerror(errno);
    return std::nullopt;
  }
  return bytes;
}

// The files below folder, by their paths relative to base in byte order, each
// folder before what it holds.
std::vector<fs::path> FilesBelow(const fs::path& base, const fs::path& folder) {
  std::vector<fs::path> paths{folder.lexically_relative(base)};
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    paths.push_back(entry.path().lexically_relative(base));
  }
  std::sort(paths.begin(), paths.end(), [](const fs::path& a, const fs::path& b) {
    return a.generic_string() < b.generic_string();
  });
  return paths;
}

// Output/ and pict/ of the program folder as one zip file, so that the
// unpacked folder opens as the logbook on disk does.
std::optional<std::string> LogbookZip(const fs::path& base, std::string& reason) {
  ZipArchive zip;
  for (const char* folder : {"Output", "pict"}) {
    std::error_code ec;
    if (!fs::is_directory(base / folder, ec)) continue;
    for (const fs::path& path : FilesBelow(base, base / folder)) {
      if (fs::is_directory(base / path, ec)) {
        zip.addFolder(path.generic_string());
        continue;
      }
      const auto bytes = ReadBytes(base / path, reason);
      if (!bytes) return std::nullopt;
      zip.addFile(path.generic_string(), *bytes);
    }
  }
  auto archive = zip.finish();
  if (!archive) reason = "too large for one zip file";
  return archive;
}

// The hundredth of the progress bar reached.
std::int64_t ProgressStep(const WindowModel& model) {
  const std::int64_t max = model.progressMax();
  return max > 0 ? model.progressPosition() * 100 / max : 0;
}

}  // namespace

MessageAnswer PagePlatform::showMessage(MessageKind kind, const std::string& text,
                                        MessageButtons buttons, const std::string& details) {
  if (buttons == MessageButtons::YesNo) return DefaultAnswer(buttons);
  PageMessage(MessageTitle(kind), text.c_str(), ButtonsCode(buttons), details.c_str());
  return buttons == MessageButtons::OkCancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

void PagePlatform::showError(const std::string& text, const std::string& details) {
  PageMessage("Error", text.c_str(), ButtonsCode(MessageButtons::Ok), details.c_str());
}

bool PagePlatform::openDocument(const fs::path&, std::string& reason) {
  try {
    const auto zip = LogbookZip(kProgramFolder, reason);
    if (!zip) return false;
    Download(*zip, "logbook.zip", "application/zip");
    return true;
  } catch (const fs::filesystem_error& error) {
    reason = error.code().message();
  } catch (const std::bad_alloc&) {
    reason = "out of memory";
  }
  return false;
}

void PageView::memoChanged() { PageMemo(JoinLines(model_.memo()).c_str()); }

void PageView::diveListChanged() { PageDiveList(JoinLines(model_.diveList()).c_str()); }

void PageView::historyAdded(const std::string& line) { PageHistory(line.c_str()); }

void PageView::filePanelChanged() { PageFilePanel(model_.filePanel().c_str()); }

void PageView::progressChanged() {
  pending_ = true;
  if (ProgressStep(model_) != shownStep_) showPending();
}

void PageView::showAll() {
  memoChanged();
  diveListChanged();
  for (const std::string& line : model_.history()) historyAdded(line);
  filePanelChanged();
  pending_ = true;
  showPending();
}

void PageView::showPending() {
  if (!std::exchange(pending_, false)) return;
  shownStep_ = ProgressStep(model_);
  PageProgress(static_cast<double>(model_.progressMax()),
               static_cast<double>(model_.progressPosition()));
  PageSelection(model_.selectedDive());
}

void Download(std::string_view bytes, const char* name, const char* type) {
  PageDownload(bytes.data(), bytes.size(), name, type);
}

bool DownloadFile(const fs::path& file, const char* name, const char* type) {
  std::string reason;
  const auto bytes = ReadBytes(file, reason);
  if (bytes) Download(*bytes, name, type);
  return bytes.has_value();
}

}  // namespace quellmar::web

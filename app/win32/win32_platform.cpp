#include "win32_platform.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>

namespace quellmar::win32 {
namespace {

UINT KindIcon(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return MB_ICONWARNING;
    case MessageKind::Information:
      return MB_ICONINFORMATION;
    case MessageKind::Confirm:
      return MB_ICONQUESTION;
  }
  return 0;
}

// The buttons, with DefaultAnswer's button as the default (No on the clearing
// question: Enter never empties Output).
UINT ButtonSet(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return MB_OK;
    case MessageButtons::OkCancel:
      return MB_OKCANCEL | (DefaultAnswer(buttons) == MessageAnswer::Ok ? 0 : MB_DEFBUTTON2);
    case MessageButtons::YesNo:
      return MB_YESNO | (DefaultAnswer(buttons) == MessageAnswer::Yes ? 0 : MB_DEFBUTTON2);
  }
  return MB_OK;
}

// The program's own text, and below it which file and why.
std::string BoxText(const std::string& text, const std::string& details) {
  return details.empty() ? text : text + "\r\n\r\n" + details;
}

std::filesystem::path ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return std::filesystem::path(path);
    }
    path.resize(path.size() * 2);
  }
}

// A picture as a device-independent bitmap: the header, the colour table and
// the rows from the bottom, each padded to four bytes.
HGLOBAL PackedDib(const IndexedImage& picture) {
  const auto width = static_cast<std::size_t>(picture.width);
  const auto height = static_cast<std::size_t>(picture.height);
  const std::size_t colours = std::min<std::size_t>(picture.palette.size() / 3, 256);
  const std::size_t stride = (width + 3) & ~std::size_t{3};
  const std::size_t header = sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, header + stride * height);
  if (memory == nullptr) return nullptr;
  auto* bytes = static_cast<std::uint8_t*>(GlobalLock(memory));
  auto* info = reinterpret_cast<BITMAPINFOHEADER*>(bytes);
  info->biSize = sizeof(BITMAPINFOHEADER);
  info->biWidth = picture.width;
  info->biHeight = picture.height;
  info->biPlanes = 1;
  info->biBitCount = 8;
  info->biCompression = BI_RGB;
  info->biSizeImage = static_cast<DWORD>(stride * height);
  info->biClrUsed = static_cast<DWORD>(colours);
  auto* table = reinterpret_cast<RGBQUAD*>(bytes + sizeof(BITMAPINFOHEADER));
  for (std::size_t i = 0; i < colours; ++i)
    table[i] =
        RGBQUAD{picture.palette[3 * i + 2], picture.palette[3 * i + 1], picture.palette[3 * i], 0};
  for (std::size_t y = 0; y < height; ++y)
    std::memcpy(bytes + header + (height - 1 - y) * stride, picture.pixels.data() + y * width,
                width);
  GlobalUnlock(memory);
  return memory;
}

}  // namespace

std::string ApplicationTitle() {
  char path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string title(path, length < sizeof path ? length : 0);
  title.erase(0, title.find_last_of("\\/") + 1);  // npos + 1 keeps it all
  if (const auto dot = title.rfind('.'); dot != std::string::npos && dot > 0) title.erase(dot);
  return title;
}

Win32Platform::Win32Platform() : programDir_(ExecutableFolder()) {}

void Win32Platform::prepareModal() {
  if (beforeModal_) beforeModal_();
}

MessageAnswer Win32Platform::showMessage(MessageKind kind, const std::string& text,
                                         MessageButtons buttons, const std::string& details) {
  prepareModal();
  switch (MessageBoxA(owner_, BoxText(text, details).c_str(), MessageTitle(kind),
                      KindIcon(kind) | ButtonSet(buttons))) {
    case IDOK:
      return MessageAnswer::Ok;
    case IDYES:
      return MessageAnswer::Yes;
    case IDNO:
      return MessageAnswer::No;
    default:  // closed, or Escape
      return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
  }
}

void Win32Platform::showError(const std::string& text, const std::string& details) {
  prepareModal();
  MessageBoxA(owner_, BoxText(text, details).c_str(), ApplicationTitle().c_str(),
              MB_ICONERROR | MB_OK);
}

std::optional<std::string> Win32Platform::chooseCsvFile() {
  prepareModal();
  char file[32768] = {};
  // Like the dialog of the last choice: in its folder (the current
  // directory), with its name filled in.
  const std::string name = lastChoice_.substr(lastChoice_.find_last_of("\\/") + 1);
  std::strncpy(file, name.c_str(), sizeof file - 1);
  char folder[MAX_PATH * 4] = {};
  GetCurrentDirectoryA(sizeof folder, folder);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = "CSV\0*.csv\0";
  dialog.lpstrFile = file;
  dialog.lpstrInitialDir = folder;
  dialog.nMaxFile = sizeof file;
  dialog.lpstrTitle = "Suunto CSV Export open";
  dialog.lpstrDefExt = "csv";
  // A typed name of a missing file is passed on: the import reports it.
  dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER;
  if (!GetOpenFileNameA(&dialog)) return std::nullopt;
  lastChoice_ = file;
  // The chosen file's folder becomes the current directory, where the next
  // dialog opens.
  SetCurrentDirectoryA(lastChoice_.substr(0, dialog.nFileOffset).c_str());
  return lastChoice_;
}

void Win32Platform::openDocument(const std::string& target) {
  ShellExecuteA(owner_, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool Win32Platform::copyToClipboard(const IndexedImage& picture) {
  const auto width = static_cast<std::size_t>(picture.width);
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() < width * static_cast<std::size_t>(picture.height))
    return false;
  if (!OpenClipboard(owner_)) return false;
  EmptyClipboard();
  HGLOBAL dib = PackedDib(picture);
  const bool placed = dib != nullptr && SetClipboardData(CF_DIB, dib) != nullptr;
  if (!placed && dib != nullptr) GlobalFree(dib);
  CloseClipboard();
  return placed;
}

std::filesystem::path ExecutableFolder() { return ExecutablePath().parent_path(); }

}  // namespace quellmar::win32

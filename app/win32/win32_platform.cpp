#include "win32_platform.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>

#include "basic/path_text.h"
#include "controls.h"

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

// The error box's title: the program file's name without its extension.
std::wstring ApplicationTitle() {
  std::wstring name(32768, L'\0');
  name.resize(GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
  return std::filesystem::path(name).stem().wstring();
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

void Win32Platform::prepareModal() {
  if (beforeModal_) beforeModal_();
}

MessageAnswer Win32Platform::showMessage(MessageKind kind, const std::string& text,
                                         MessageButtons buttons, const std::string& details) {
  prepareModal();
  switch (MessageBoxW(owner_, WideText(BoxText(text, details)).c_str(),
                      WideText(MessageTitle(kind)).c_str(), KindIcon(kind) | ButtonSet(buttons))) {
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
  MessageBoxW(owner_, WideText(BoxText(text, details)).c_str(), ApplicationTitle().c_str(),
              MB_ICONERROR | MB_OK);
}

// A file dialog: in folder, with name filled in; open or save. The buffer
// holds a long path whole.
std::optional<std::filesystem::path> Win32Platform::chooseFile(const FileDialog& what,
                                                               const std::filesystem::path& folder,
                                                               const std::filesystem::path& name) {
  prepareModal();
  std::wstring file = name.wstring();
  file.resize(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = what.filter;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrTitle = what.title;
  dialog.lpstrDefExt = what.extension;
  dialog.Flags =
      OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | (what.save ? OFN_OVERWRITEPROMPT : 0);
  if (!(what.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return std::nullopt;
  return std::filesystem::path(file.c_str());
}

std::optional<std::filesystem::path> Win32Platform::chooseCsvFile(
    const std::filesystem::path& folder) {
  // Like the dialog of the last choice: with its name filled in. A typed
  // name of a missing file is passed on: the import reports it.
  const auto chosen = chooseFile({L"CSV\0*.csv\0", L"Suunto CSV Export open", L"csv", false},
                                 folder, lastChoice_.filename());
  if (!chosen) return std::nullopt;
  lastChoice_ = *chosen;
  // The chosen file's folder becomes the current directory, where the import
  // finds the companion files.
  std::error_code ec;
  std::filesystem::current_path(lastChoice_.parent_path(), ec);
  return lastChoice_;
}

std::optional<std::filesystem::path> Win32Platform::chooseUddfFile(
    const std::filesystem::path& suggested) {
  return chooseFile({L"UDDF\0*.uddf\0", L"UDDF export", L"uddf", true}, suggested.parent_path(),
                    suggested.filename());
}

bool Win32Platform::openDocument(const std::filesystem::path& document, std::string& reason) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(owner_, nullptr, document.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;  // the shell's sign of success
  reason = SystemReason(GetLastError());
  return false;
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

}  // namespace quellmar::win32

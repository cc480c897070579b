#include "about_dialog.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstddef>
#include <cstring>
#include <span>
#include <utility>

#include "basic/path_text.h"
#include "controls.h"
#include "resource.h"
#include "window/window_layout.h"

namespace quellmar::win32 {
namespace {

bool IsLink(int id) {
  return id == ControlId(ControlRole::EmailLink) || id == ControlId(ControlRole::WebLink);
}

template <typename Interface>
struct Released {
  Interface* pointer = nullptr;
  ~Released() {
    if (pointer != nullptr) pointer->Release();
  }
};

// The stored bytes of a resource, or an empty span.
std::span<const std::byte> StoredResource(HINSTANCE instance, int id, const wchar_t* type) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), type);
  if (found == nullptr) return {};
  const void* stored = LockResource(LoadResource(instance, found));
  if (stored == nullptr) return {};
  return {static_cast<const std::byte*>(stored), SizeofResource(instance, found)};
}

}  // namespace

JpegPicture::JpegPicture(HINSTANCE instance, int id) {
  const auto stored = StoredResource(instance, id, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (stored.empty()) throw StartFailure("Cannot find the about dialog's picture");
  // The stream owns a copy of the bytes and frees it when released.
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, stored.size());
  if (copy == nullptr) throw StartFailure("Cannot load the about dialog's picture");
  std::memcpy(GlobalLock(copy), stored.data(), stored.size());
  GlobalUnlock(copy);
  Released<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream.pointer))) {
    GlobalFree(copy);
    throw StartFailure("Cannot load the about dialog's picture");
  }
  const HRESULT decoded = OleLoadPicture(stream.pointer, static_cast<LONG>(stored.size()), FALSE,
                                         IID_IPicture, reinterpret_cast<void**>(&picture_));
  if (FAILED(decoded)) {
    SetLastError(static_cast<DWORD>(decoded));
    throw StartFailure("Cannot decode the about dialog's picture");
  }
}

JpegPicture::~JpegPicture() { picture_->Release(); }

HBITMAP JpegPicture::draw(int width, int height) const {
  OLE_XSIZE_HIMETRIC pictureWidth = 0;
  OLE_YSIZE_HIMETRIC pictureHeight = 0;
  picture_->get_Width(&pictureWidth);
  picture_->get_Height(&pictureHeight);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  if (bitmap != nullptr) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    // Stretched to the size asked for; HIMETRIC runs upwards, hence the flip.
    const HRESULT drawn = picture_->Render(dc, 0, 0, width, height, 0, pictureHeight, pictureWidth,
                                           -pictureHeight, nullptr);
    SelectObject(dc, old);
    if (FAILED(drawn)) {
      DeleteObject(bitmap);
      bitmap = nullptr;
    }
  }
  DeleteDC(dc);
  return bitmap;
}

AboutDialog::AboutDialog(Platform& platform, HINSTANCE instance)
    : platform_(platform), instance_(instance), picture_(instance, IDR_ABOUT_JPEG) {
  if (StoredResource(instance, IDD_ABOUT_DIALOG, MAKEINTRESOURCEW(5)).empty())  // RT_DIALOG
    throw StartFailure("Cannot find the about dialog");
}

AboutDialog::~AboutDialog() { DeleteObject(drawn_); }

void AboutDialog::showModal(HWND owner) {
  DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_ABOUT_DIALOG), owner, DialogProc,
                  reinterpret_cast<LPARAM>(this));
}

void AboutDialog::openLink(HWND label) {
  std::string reason;  // a link that opens nothing is just a link
  platform_.openDocument(PathFromUtf8(WindowText(label)), reason);
}

void AboutDialog::layOut(UINT dpi) {
  auto fonts = std::make_unique<WindowFonts>(dpi);
  SetClientSize(dialog_, Scaled(kAboutDialogSize.width, dpi), Scaled(kAboutDialogSize.height, dpi));
  PlaceControls(dialog_, kAboutControls, *fonts);
  std::swap(fonts_, fonts);
  const Place& place = FindControl(kAboutControls, ControlRole::Picture).place;
  HBITMAP drawn = picture_.draw(Scaled(place.width, dpi), Scaled(place.height, dpi));
  SendDlgItemMessageW(dialog_, ControlId(ControlRole::Picture), STM_SETIMAGE, IMAGE_BITMAP,
                      reinterpret_cast<LPARAM>(drawn));
  DeleteObject(std::exchange(drawn_, drawn));
}

INT_PTR CALLBACK AboutDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* box = reinterpret_cast<AboutDialog*>(lParam);
    box->dialog_ = dialog;
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  }
  auto* box = reinterpret_cast<AboutDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return box == nullptr ? FALSE : box->handleMessage(message, wParam, lParam);
}

INT_PTR AboutDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowTextW(dialog_, WideText(kAboutTitle).c_str());
      if (!CreateControls(dialog_, kAboutControls)) {
        EndDialog(dialog_, -1);
        return FALSE;
      }
      layOut(GetDpiForWindow(dialog_));
      // Centred on the screen.
      const POINT corner = CentredOnMonitor(dialog_);
      SetWindowPos(dialog_, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      SetFocus(GetDlgItem(dialog_, IDOK));
      return FALSE;  // the focus is set
    }
    case WM_DPICHANGED: {
      // Moved to a monitor of another scale: where the system suggests, laid
      // out anew; the dialog manager's own scaling is not wanted on top.
      const RECT& suggested = *reinterpret_cast<RECT*>(lParam);
      SetWindowPos(dialog_, nullptr, suggested.left, suggested.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      layOut(HIWORD(wParam));
      SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, 0);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) EndDialog(dialog_, IDOK);
      // Escape does not close the dialog: it has no cancel button.
      if (IsLink(LOWORD(wParam)) && HIWORD(wParam) == STN_CLICKED)
        openLink(reinterpret_cast<HWND>(lParam));
      return TRUE;
    case WM_CLOSE:  // the title bar's close button
      EndDialog(dialog_, IDCANCEL);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (IsLink(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)))) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 255));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
      }
      return FALSE;
    case WM_SETCURSOR:
      if (IsLink(GetDlgCtrlID(reinterpret_cast<HWND>(wParam)))) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
        SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      dialog_ = nullptr;
      return FALSE;
  }
  return FALSE;
}

}  // namespace quellmar::win32

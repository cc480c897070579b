#include "about_dialog.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>

#include "basic/path_text.h"
#include "commands/program_texts.h"
#include "controls.h"
#include "resource.h"

namespace quellmar::win32 {
namespace {

constexpr int kPictureSize = 200;

// Inside the bevelled panel at 8, 8: the panel's place plus the control's own.
// clang-format off
const ControlPlace kControls[] = {
  {L"STATIC", "",             SS_ETCHEDFRAME,                 IDC_FRAME_PANEL,   8,   8,   369, 217},
  {L"STATIC", "",             SS_BITMAP | SS_REALSIZECONTROL, IDC_PICTURE,       16,  16,  200, 200},
  {L"STATIC", "Quellmar",     SS_LEFTNOWORDWRAP,              IDC_TITLE_LABEL,   224, 24,  -1,  0},
  {L"STATIC", kAboutVersion,  SS_LEFTNOWORDWRAP,              IDC_VERSION_LABEL, 224, 40,  -1,  0},
  {L"STATIC", kAboutCredit,   SS_LEFTNOWORDWRAP,              IDC_CREDIT_LABEL,  224, 56,  -1,  0},
  {L"STATIC", kAboutComments, SS_LEFT,                        IDC_COMMENT_LABEL, 224, 80,  137, 65},
  {L"BUTTON", "OK",           BS_DEFPUSHBUTTON | WS_TABSTOP,  IDOK,              167, 236, 75,  25},
};
// The e-mail label stands above the web label.
const ControlPlace kLinks[] = {
  {L"STATIC", kEmailAddress,  SS_LEFTNOWORDWRAP | SS_NOTIFY,  IDC_EMAIL_LINK,    224, 152, -1,  0},
  {L"STATIC", kWebAddress,    SS_LEFTNOWORDWRAP | SS_NOTIFY,  IDC_WEB_LINK,      224, 168, -1,  0},
};
// clang-format on

bool IsLink(int id) { return id == IDC_EMAIL_LINK || id == IDC_WEB_LINK; }

template <typename Interface>
struct Released {
  Interface* pointer = nullptr;
  ~Released() {
    if (pointer != nullptr) pointer->Release();
  }
};

}  // namespace

HBITMAP LoadJpegResource(HINSTANCE instance, int id, int width, int height) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (found == nullptr) return nullptr;
  const DWORD size = SizeofResource(instance, found);
  const void* stored = LockResource(LoadResource(instance, found));
  if (stored == nullptr || size == 0) return nullptr;
  // The stream owns a copy of the bytes and frees it when released.
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (copy == nullptr) return nullptr;
  std::memcpy(GlobalLock(copy), stored, size);
  GlobalUnlock(copy);
  Released<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream.pointer))) {
    GlobalFree(copy);
    return nullptr;
  }
  Released<IPicture> picture;
  if (FAILED(OleLoadPicture(stream.pointer, static_cast<LONG>(size), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(&picture.pointer))))
    return nullptr;
  OLE_XSIZE_HIMETRIC pictureWidth = 0;
  OLE_YSIZE_HIMETRIC pictureHeight = 0;
  picture.pointer->get_Width(&pictureWidth);
  picture.pointer->get_Height(&pictureHeight);

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  if (bitmap != nullptr) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    // Stretched to the size asked for; HIMETRIC runs upwards, hence the flip.
    const HRESULT drawn = picture.pointer->Render(dc, 0, 0, width, height, 0, pictureHeight,
                                                  pictureWidth, -pictureHeight, nullptr);
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
    : platform_(platform), instance_(instance) {
  picture_ = LoadJpegResource(instance, IDR_ABOUT_JPEG, kPictureSize, kPictureSize);
  LOGFONTW font{};
  GetObjectW(WindowFont(), sizeof font, &font);
  font.lfWeight = FW_BOLD;
  font.lfUnderline = TRUE;
  linkFont_ = CreateFontIndirectW(&font);
}

AboutDialog::~AboutDialog() {
  DeleteObject(picture_);
  DeleteObject(linkFont_);
}

void AboutDialog::showModal(HWND owner) {
  DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_ABOUT_DIALOG), owner, DialogProc,
                  reinterpret_cast<LPARAM>(this));
}

void AboutDialog::openLink(HWND label) {
  std::string reason;  // a link that opens nothing is just a link
  platform_.openDocument(PathFromUtf8(WindowText(label)), reason);
}

void AboutDialog::buildControls() {
  // Client area 390 by 267, centred on the screen.
  RECT frame{0, 0, 390, 267};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dialog_, GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT desktop{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &desktop, 0);
  SetWindowPos(dialog_, nullptr, desktop.left + (desktop.right - desktop.left - width) / 2,
               desktop.top + (desktop.bottom - desktop.top - height) / 2, width, height,
               SWP_NOZORDER);

  CreateControls(dialog_, kControls, WindowFont());
  CreateControls(dialog_, kLinks, linkFont_);
  if (picture_ != nullptr)
    SendDlgItemMessageW(dialog_, IDC_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(picture_));
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
    case WM_INITDIALOG:
      buildControls();
      SetFocus(GetDlgItem(dialog_, IDOK));
      return FALSE;  // the focus is set
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

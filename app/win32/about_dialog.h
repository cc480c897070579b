// The about dialog: the program's picture, title, version, a comment and two
// link labels (e-mail and web) that open with the desktop's default handler.
// Made once at start, with its picture decoded, and shown modally whenever it
// is asked for.
#pragma once

#include <windows.h>

#include "commands/platform.h"

namespace quellmar::win32 {

class AboutDialog {
 public:
  // Decodes the picture from the program's resources.
  AboutDialog(Platform& platform, HINSTANCE instance);
  ~AboutDialog();
  AboutDialog(const AboutDialog&) = delete;
  AboutDialog& operator=(const AboutDialog&) = delete;

  // Shows the dialog over owner until OK, Enter or the close button ends it.
  void showModal(HWND owner);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void buildControls();
  // Opens the caption of the link label that was clicked.
  void openLink(HWND label);

  Platform& platform_;
  HINSTANCE instance_;
  HBITMAP picture_ = nullptr;  // 200 by 200, or none when it could not be decoded
  HFONT linkFont_ = nullptr;
  HWND dialog_ = nullptr;  // while shown
};

// The JPEG picture stored as the resource id, decoded by the system (OLE)
// and drawn to a bitmap of width by height; nullptr when it cannot be.
HBITMAP LoadJpegResource(HINSTANCE instance, int id, int width, int height);

}  // namespace quellmar::win32

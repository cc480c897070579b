// The about dialog: the program's picture, title, version, a comment and two
// link labels (e-mail and web) that open with the desktop's default handler.
// Made once at start, with its picture decoded, and shown modally, at the
// scale of its monitor, whenever it is asked for.
#pragma once

#include <windows.h>

#include <ocidl.h>

#include <memory>

#include "commands/platform.h"
#include "controls.h"

namespace quellmar::win32 {

// A JPEG picture stored as a resource, decoded by the system (OLE) once and
// drawn at any size.
class JpegPicture {
 public:
  // Throws when the resource is missing or cannot be decoded.
  JpegPicture(HINSTANCE instance, int id);
  ~JpegPicture();
  JpegPicture(const JpegPicture&) = delete;
  JpegPicture& operator=(const JpegPicture&) = delete;

  // A bitmap of width by height, or nullptr when it cannot be drawn.
  HBITMAP draw(int width, int height) const;

 private:
  IPicture* picture_ = nullptr;
};

class AboutDialog {
 public:
  // Decodes the picture from the program's resources; throws when the
  // dialog's resources are missing.
  AboutDialog(Platform& platform, HINSTANCE instance);
  ~AboutDialog();
  AboutDialog(const AboutDialog&) = delete;
  AboutDialog& operator=(const AboutDialog&) = delete;

  // Shows the dialog over owner until OK, Enter or the close button ends it.
  void showModal(HWND owner);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Places everything at the scale of dpi.
  void layOut(UINT dpi);
  // Opens the caption of the link label that was clicked.
  void openLink(HWND label);

  Platform& platform_;
  HINSTANCE instance_;
  JpegPicture picture_;
  HBITMAP drawn_ = nullptr;             // the picture at the dialog's scale
  std::unique_ptr<WindowFonts> fonts_;  // at the dialog's DPI
  HWND dialog_ = nullptr;               // while shown
};

}  // namespace quellmar::win32

// The Win32 platform's own services: the system's message boxes with their
// titles, icons, buttons and default button, and the clipboard picture.
#include <windows.h>

#include <gtest/gtest.h>

#include <dlgs.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "win32_platform.h"
#include "window_test_support.h"

namespace quellmar::testing {
namespace {

using win32::Win32Platform;

struct BoxRow {
  MessageKind kind;
  MessageButtons buttons;
  const char* title;
  int defaultButton;
  int pressed;  // 0: closed by the title bar
  MessageAnswer answer;
};

// clang-format off
const BoxRow kBoxes[] = {
  {MessageKind::Warning,     MessageButtons::Ok,       "Warning",     IDOK, IDOK,  MessageAnswer::Ok},
  {MessageKind::Information, MessageButtons::OkCancel, "Information", IDOK, IDOK,  MessageAnswer::Ok},
  {MessageKind::Information, MessageButtons::OkCancel, "Information", IDOK, 0,     MessageAnswer::Cancel},
  {MessageKind::Confirm,     MessageButtons::YesNo,    "Confirm",     IDNO, IDYES, MessageAnswer::Yes},
  {MessageKind::Confirm,     MessageButtons::YesNo,    "Confirm",     IDNO, IDNO,  MessageAnswer::No},
};
// clang-format on

TEST(Win32PlatformTest, MessageBoxesHaveTheirTitlesButtonsAndDefault) {
  Win32Platform platform;
  for (const BoxRow& row : kBoxes) {
    int defaultButton = 0;
    ModalUser user({[&](HWND box) {
      for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (button != nullptr && (GetWindowLongA(button, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON)
          defaultButton = id;
      }
      if (row.pressed == 0)
        PostMessageA(box, WM_CLOSE, 0, 0);
      else
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(row.pressed, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, row.pressed)));
    }});
    EXPECT_EQ(platform.showMessage(row.kind, "Text\n\rof the box", row.buttons, "details"),
              row.answer);
    EXPECT_EQ(user.titles, std::vector<std::string>{row.title});
    EXPECT_EQ(defaultButton, row.defaultButton) << row.title;
  }
  ModalUser user({[](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }});
  platform.showError("Cannot open clipboard.", {});
  EXPECT_EQ(user.titles, std::vector<std::string>{"quellmar_win32_test"});
}

TEST(Win32PlatformTest, ClipboardHoldsThePictureAsABitmap) {
  Win32Platform platform;
  const IndexedImage picture{3, 2, {0, 1, 2, 2, 1, 0}, {255, 0, 0, 0, 255, 0, 0, 0, 255}};
  ASSERT_TRUE(platform.copyToClipboard(picture));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_DIB);
  ASSERT_NE(data, nullptr);
  const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
  EXPECT_EQ(header->biWidth, 3);
  EXPECT_EQ(header->biHeight, 2);
  EXPECT_EQ(header->biBitCount, 8);
  ASSERT_EQ(header->biClrUsed, 3u);
  const auto* colours = reinterpret_cast<const RGBQUAD*>(header + 1);
  EXPECT_EQ(colours[0].rgbRed, 255);
  EXPECT_EQ(colours[2].rgbBlue, 255);
  // Rows from the bottom, each four bytes long.
  const auto* rows = reinterpret_cast<const std::uint8_t*>(colours + 3);
  EXPECT_EQ(std::memcmp(rows, "\2\1\0\0\0\1\2\0", 8), 0);
  GlobalUnlock(data);
  CloseClipboard();
}

// A name beyond the ANSI code page, typed into the dialog, comes back whole.
TEST(Win32PlatformTest, FileDialogChoosesTheCsvFileAndItsFolder) {
  Win32Platform platform;
  const auto folder = std::filesystem::path(QUELLMAR_SOURCE_DIR "/examples").make_preferred();
  const auto typed = folder / L"Pr\u00E9squ'\u00EEle \u0151.csv";
  wchar_t filter[64] = {};
  ModalUser user({[](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); },
                  [&](HWND dialog) {
                    SendDlgItemMessageW(dialog, cmb1, CB_GETLBTEXT, 0,
                                        reinterpret_cast<LPARAM>(filter));
                    SetDlgItemTextW(dialog, cmb13, typed.c_str());
                    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                  }});
  EXPECT_EQ(platform.chooseCsvFile(folder), std::nullopt);
  const auto chosen = platform.chooseCsvFile(folder);
  EXPECT_EQ(user.titles, (std::vector<std::string>(2, "Suunto CSV Export open")));
  EXPECT_STREQ(filter, L"CSV");
  EXPECT_EQ(chosen, typed);
  EXPECT_EQ(std::filesystem::current_path(), folder);
}

// The shell cannot open a missing file: false, with the system's reason.
TEST(Win32PlatformTest, OpenDocumentFailureHasItsReason) {
  Win32Platform platform;
  std::string reason;
  EXPECT_FALSE(platform.openDocument(
      std::filesystem::path(QUELLMAR_SOURCE_DIR) / "missing" / "logbook.html", reason));
  EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace quellmar::testing

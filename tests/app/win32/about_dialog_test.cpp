// The about dialog: its controls and picture, and what its keys and link
// labels do.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "about_dialog.h"
#include "controls.h"
#include "window/window_layout.h"
#include "window_test_support.h"

namespace quellmar::testing {
namespace {

using enum ControlRole;
using win32::AboutDialog;
using win32::ControlId;

class AboutDialogTest : public ::testing::Test {
 protected:
  // Shows the dialog modally, with steps playing the user.
  void show(std::vector<std::function<void(HWND)>> steps) {
    ModalUser user(std::move(steps));
    about.showModal(nullptr);
    EXPECT_TRUE(user.done());
  }

  AnsweringPlatform platform{{}};
  AboutDialog about{platform, GetModuleHandleW(nullptr)};
};

const std::vector<ControlRow> kControls = LaidOutControls(kAboutControls);

TEST_F(AboutDialogTest, ControlsStandAtTheirPlacesWithTheDecodedPicture) {
  show({[](HWND dialog) {
    EXPECT_EQ(Text(dialog), "About");
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 390);
    EXPECT_EQ(client.bottom, 267);
    ExpectControls(dialog, kControls);
    // The picture: 200 by 200, and not of one colour.
    auto picture = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageW(dialog, ControlId(Picture), STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(picture, nullptr);
    BITMAP info{};
    GetObjectA(picture, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 200);
    EXPECT_EQ(info.bmHeight, 200);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture);
    EXPECT_NE(GetPixel(dc, 100, 5), GetPixel(dc, 100, 195)) << "sky above, sea floor below";
    SelectObject(dc, old);
    DeleteDC(dc);
    EndDialog(dialog, IDOK);
  }});
}

// At the desktop's scale, and after a move to a monitor of 150 %.
TEST_F(AboutDialogTest, ScaledToItsMonitor) {
  const auto expectScaled = [](HWND dialog, UINT dpi) {
    SCOPED_TRACE(dpi);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, win32::Scaled(390, dpi));
    EXPECT_EQ(client.bottom, win32::Scaled(267, dpi));
    ExpectScaledControls(dialog, kControls, dpi);
    BITMAP picture{};
    GetObjectW(reinterpret_cast<HBITMAP>(
                   SendDlgItemMessageW(dialog, ControlId(Picture), STM_GETIMAGE, IMAGE_BITMAP, 0)),
               sizeof picture, &picture);
    EXPECT_EQ(picture.bmWidth, win32::Scaled(200, dpi));
  };
  show({[&](HWND dialog) {
    expectScaled(dialog, DesktopDpi());
    RECT suggested{10, 10, 20, 20};
    SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    expectScaled(dialog, 144);
    EndDialog(dialog, IDOK);
  }});
}

TEST_F(AboutDialogTest, EnterClosesEscapeDoesNotLinksOpenTheirCaption) {
  bool openAfterEscape = false;
  bool openAfterLinks = false;
  const auto click = [](HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  };
  show({[](HWND) { PressKey(VK_ESCAPE); },
        [&](HWND dialog) {
          openAfterEscape = IsWindowVisible(dialog);
          click(dialog, ControlId(EmailLink));
          click(dialog, ControlId(WebLink));
          openAfterLinks = IsWindowVisible(dialog);
          PressKey(VK_RETURN);
        }});
  EXPECT_TRUE(openAfterEscape);
  EXPECT_TRUE(openAfterLinks);
  EXPECT_EQ(platform.recorder.opened,
            (std::vector<std::filesystem::path>{kEmailAddress, kWebAddress}));
  // The title bar's close button closes it too, and it shows again.
  show({[](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }});
}

}  // namespace
}  // namespace quellmar::testing

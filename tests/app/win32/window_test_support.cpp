#include "window_test_support.h"

#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "controls.h"

namespace quellmar::testing {
namespace {

ModalUser* current = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (IsWindowVisible(window) && lstrcmpA(name, "#32770") == 0) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

ModalUser::ModalUser(std::vector<std::function<void(HWND)>> steps) : steps_(std::move(steps)) {
  current = this;
  timer_ = SetTimer(nullptr, 0, 50, Tick);
}

ModalUser::~ModalUser() {
  KillTimer(nullptr, timer_);
  current = nullptr;
}

void CALLBACK ModalUser::Tick(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = ShownDialog();
  if (current == nullptr || current->done() || dialog == nullptr) return;
  current->titles.push_back(Text(dialog));
  current->steps_[current->next_++](dialog);
}

HWND ShownDialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

void PressKey(WPARAM key) {
  HWND focus = GetFocus();
  PostMessageW(focus, WM_KEYDOWN, key, 1);
  PostMessageW(focus, WM_KEYUP, key, 1 | (3u << 30));
}

void PumpUntil(const std::function<bool()>& done) {
  const ULONGLONG end = GetTickCount64() + 10000;
  MSG msg;
  while (!done() && GetTickCount64() < end) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

std::string Text(HWND window) { return win32::WindowText(window); }

std::vector<ControlRow> LaidOutControls(std::span<const ControlLayout> controls) {
  std::vector<ControlRow> rows;
  for (const ControlLayout& control : controls) {
    const Place place = PlaceInWindow(controls, control);
    const bool combo = control.kind == ControlKind::ComboBox;
    const bool captioned =
        !combo && control.kind != ControlKind::LineEdit && control.kind != ControlKind::List;
    rows.push_back({win32::ControlId(control.role), nullptr, captioned ? control.caption : nullptr,
                    place.left, place.top, place.width,
                    combo || place.width < 0 ? -1 : place.height});
  }
  return rows;
}

void ExpectControls(HWND parent, std::span<const ControlRow> rows) {
  for (const ControlRow& row : rows) {
    SCOPED_TRACE(row.id);
    HWND control = GetDlgItem(parent, row.id);
    ASSERT_NE(control, nullptr);
    char name[64] = {};
    GetClassNameA(control, name, sizeof name);
    if (row.className != nullptr) {
      EXPECT_STREQ(name, row.className);
    }
    if (row.text != nullptr) {
      std::string text = row.text;
      std::erase(text, '&');  // the windows show no mnemonic
      EXPECT_EQ(Text(control), text);
    }
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&place), 2);
    const int width = row.width < 0 ? place.right - place.left : row.width;
    const int height = row.height < 0 ? place.bottom - place.top : row.height;
    EXPECT_EQ((std::array<LONG, 4>{place.left, place.top, place.right - place.left,
                                   place.bottom - place.top}),
              (std::array<LONG, 4>{row.left, row.top, width, height}));
  }
}

void ExpectScaledControls(HWND parent, std::span<const ControlRow> rows, UINT dpi) {
  using win32::Scaled;
  for (const ControlRow& row : rows) {
    SCOPED_TRACE(row.id);
    HWND control = GetDlgItem(parent, row.id);
    ASSERT_NE(control, nullptr);
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, Scaled(row.left, dpi));
    EXPECT_EQ(place.top, Scaled(row.top, dpi));
    const Extent size{place.right - place.left, place.bottom - place.top};
    // A control at an edge may lose the pixel that rounding gives its size.
    if (row.width >= 0) {
      EXPECT_GE(size.width, Scaled(row.width, dpi) - 1);
    }
    if (row.height >= 0) {
      EXPECT_GE(size.height, Scaled(row.height, dpi) - 1);
    }
    const Extent caption = win32::CaptionExtent(control, dpi);
    EXPECT_LE(caption.width, size.width) << Text(control);
    EXPECT_LE(caption.height, size.height) << Text(control);
    // Every text in a font of the window's own (the tool bar has none).
    HFONT shown = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (shown == nullptr && caption.width == 0) continue;
    LOGFONTW font{};
    GetObjectW(shown, sizeof font, &font);
    EXPECT_GE(-font.lfHeight, MulDiv(6, static_cast<int>(dpi), 72));
    EXPECT_LE(-font.lfHeight, MulDiv(8, static_cast<int>(dpi), 72) + 1);
  }
}

UINT DesktopDpi() {
  const UINT dpi = GetDpiForSystem();
  if (const char* set = std::getenv("QUELLMAR_TEST_DPI")) {
    EXPECT_EQ(dpi, static_cast<UINT>(std::atoi(set))) << "the desktop's LogPixels";
  }
  return dpi;
}

}  // namespace quellmar::testing

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES |
                                                     ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const int result = RUN_ALL_TESTS();
  OleUninitialize();
  return result;
}

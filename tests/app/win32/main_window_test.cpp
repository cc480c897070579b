// The Windows main window, driven by its own messages: its controls and
// menus, a whole open, options and export, the model's texts through the
// wide API, the history box, the dive list of a large logbook, and the about
// dialog at start.
#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <iterator>
#include <stdexcept>
#include <string>

#include "about_dialog.h"
#include "commands/session.h"
#include "controls.h"
#include "main_window.h"
#include "resource.h"
#include "support/temp_dir.h"
#include "window/window_layout.h"
#include "window_test_support.h"

namespace quellmar::testing {
namespace {

namespace fs = std::filesystem;
using enum ControlRole;
using enum WindowCommand;
using win32::CommandId;
using win32::ControlId;
using win32::MainWindow;
using win32::Utf8Text;

std::string ItemText(HWND list, int row) {
  wchar_t text[512] = {};
  LVITEMW item{};
  item.pszText = text;
  item.cchTextMax = static_cast<int>(std::size(text));
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return Utf8Text(text);
}

std::string HistoryLine(HWND box, int index) {
  wchar_t text[512] = {};
  SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return Utf8Text(text);
}

std::string MenuText(HMENU menu, std::size_t position) {
  wchar_t caption[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), caption, 64, MF_BYPOSITION);
  return Utf8Text(caption);
}

std::string FilePanel(HWND bar) {
  wchar_t text[512] = {};
  SendMessageW(bar, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
  return Utf8Text(text);
}

// A program folder in the folder of a user whose name is beyond the ANSI code
// page, as %LOCALAPPDATA% is.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    fs::create_directories(program);
    fs::copy(fs::path(QUELLMAR_RUN_DIR) / "html", program / "html", fs::copy_options::recursive);
    fs::copy(fs::path(QUELLMAR_RUN_DIR) / "pict", program / "pict", fs::copy_options::recursive);
  }
  HWND item(int id) const { return GetDlgItem(window.handle(), id); }
  void run(int command) { SendMessageW(window.handle(), WM_COMMAND, command, 0); }

  TempDir base;
  const fs::path program = base.path() / L"Dvo\u0159\u00E1k" / L"Quellmar";
  AnsweringPlatform platform{program};
  Session session{platform};
  MainWindow window{session, GetModuleHandleW(nullptr)};
};

// The bars, then the controls of the client area.
std::vector<ControlRow> MainWindowControls() {
  std::vector<ControlRow> rows{
      {IDC_TOOL_BAR, "ToolbarWindow32", nullptr, kToolBarPlace.left, kToolBarPlace.top,
       kToolBarPlace.width, kToolBarPlace.height},
      {IDC_STATUS_BAR, "msctls_statusbar32", nullptr, kStatusBarPlace.left, kStatusBarPlace.top,
       kStatusBarPlace.width, kStatusBarPlace.height}};
  const std::vector<ControlRow> client = LaidOutControls(kMainWindowControls);
  rows.insert(rows.end(), client.begin(), client.end());
  return rows;
}

TEST_F(MainWindowTest, ControlsStandAtTheirPlaces) {
  EXPECT_EQ(Text(window.handle()), "Quellmar  v1.2");
  RECT client{};
  GetClientRect(window.handle(), &client);
  EXPECT_EQ(client.right, 542);
  EXPECT_EQ(client.bottom, 384);
  const auto style = GetWindowLongW(window.handle(), GWL_STYLE);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0) << "no maximize, no resizing";
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);

  ExpectControls(window.handle(), MainWindowControls());
  const ControlRow bar[] = {{IDC_PROGRESS_BAR, "msctls_progress32", nullptr, 352, 370, 186, 10}};
  ExpectControls(item(IDC_STATUS_BAR), bar);
  EXPECT_EQ(IsDlgButtonChecked(window.handle(), ControlId(NoteBox)), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(window.handle(), ControlId(GifBox)), BST_CHECKED);
  EXPECT_EQ(Text(item(ControlId(PixelsEdit))), "1");
}

// At the desktop's scale, and after a move to monitors of other scales.
TEST_F(MainWindowTest, ScaledToItsMonitor) {
  const auto expectScaled = [this](UINT dpi) {
    SCOPED_TRACE(dpi);
    RECT client{};
    GetClientRect(window.handle(), &client);
    EXPECT_EQ(client.right, win32::Scaled(542, dpi));
    EXPECT_EQ(client.bottom, win32::Scaled(384, dpi));
    ExpectScaledControls(window.handle(), MainWindowControls(), dpi);
    // The credit fits its panel of the status bar.
    HWND bar = item(IDC_STATUS_BAR);
    RECT credit{};
    SendMessageW(bar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&credit));
    const auto font = reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0));
    EXPECT_LE(win32::TextExtent(font, "Quellmar team").width, credit.right - credit.left);
    // A long path, measured in the bar's font, loses its middle to fit its panel.
    RECT panel{};
    SendMessageW(bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&panel));
    EXPECT_NE(FilePanel(bar).find("x\u2026x"), std::string::npos);
    EXPECT_LE(win32::TextExtent(font, FilePanel(bar)).width, panel.right - panel.left);
  };
  session.window.setFilePanel("C:\\Users\\" + std::string(200, 'x') + "\\log.csv");
  EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
            DPI_AWARENESS_PER_MONITOR_AWARE);
  const UINT desktop = DesktopDpi();
  expectScaled(desktop);
  for (UINT dpi : {144u, 96u, desktop}) {
    RECT suggested{10, 10, 20, 20};
    SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    expectScaled(dpi);
  }
}

TEST_F(MainWindowTest, MenusAndKeysSendTheCommands) {
  HMENU bar = GetMenu(window.handle());
  ASSERT_EQ(GetMenuItemCount(bar), std::ssize(kMenus));
  for (std::size_t m = 0; m < std::size(kMenus); ++m) {
    const Menu& menu = kMenus[m];
    EXPECT_EQ(MenuText(bar, m), menu.caption);
    HMENU items = GetSubMenu(bar, static_cast<int>(m));
    ASSERT_EQ(GetMenuItemCount(items), std::ssize(menu.items));
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
      const MenuItem& item = menu.items[i];
      SCOPED_TRACE(item.name);
      const std::string key = item.key == 0 ? "" : std::string("\tCtrl+") + item.key;
      EXPECT_EQ(MenuText(items, i), item.separator() ? "" : item.caption + key);
      EXPECT_EQ(static_cast<int>(GetMenuItemID(items, static_cast<int>(i))),
                item.separator() ? 0 : CommandId(item.command));
    }
  }
  // The key a caption names sends its item's command: Ctrl+B views the logbook.
  std::array<BYTE, 256> keys{};
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys.data());
  MSG press{window.handle(), WM_KEYDOWN, 'B', 1, 0, {}};
  EXPECT_TRUE(window.handleKey(press));
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys.data());
  EXPECT_EQ(platform.recorder.opened, std::vector<fs::path>{program / "Output" / "logbook.html"});
}

// The sample in a folder of Polish letters, named in Greek: opened, shown,
// exported and viewed under its real names.
TEST_F(MainWindowTest, OpensExportsAndClosesTheSample) {
  const fs::path folder = base.path() / L"\u0141\u00F3d\u017A";
  const std::wstring name = L"\u039A\u03B1\u03C4\u03B1\u03B4\u03CD\u03C3\u03B5\u03B9\u03C2";
  fs::create_directories(folder);
  for (const wchar_t* suffix : {L".csv", L"$DGE.CSV", L"$NOT.CSV", L"$PRO.CSV"})
    fs::copy_file(fs::path(QUELLMAR_SOURCE_DIR "/examples") / (L"logbook" + std::wstring(suffix)),
                  folder / (name + suffix));
  const fs::path sample = folder / (name + L".csv");
  {
    ModalUser user({[&](HWND dialog) {
      SetDlgItemTextW(dialog, cmb13, sample.c_str());
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }});
    run(CommandId(OpenCsv));
  }
  ASSERT_TRUE(session.logbook.has_value());
  EXPECT_EQ(session.window.memo()[1], Utf8Text(sample.native()));
  std::string memo;
  for (const std::string& line : session.window.memo()) memo += (memo.empty() ? "" : "\r\n") + line;
  EXPECT_EQ(Text(item(ControlId(InfoMemo))), memo);
  EXPECT_EQ(SendMessageW(item(ControlId(DiveList)), LVM_GETITEMCOUNT, 0, 0), 24);
  EXPECT_EQ(ItemText(item(ControlId(DiveList)), 23), session.window.diveList()[23]);
  EXPECT_EQ(SendMessageW(item(ControlId(HistoryBox)), CB_GETCOUNT, 0, 0),
            static_cast<LRESULT>(session.window.history().size()));
  const std::string panel = FilePanel(item(IDC_STATUS_BAR));  // all of it, or its ends
  EXPECT_TRUE(panel.ends_with(Utf8Text(name) + ".csv")) << panel;

  // The options as a user sets them: notes off, two pixels per entry.
  SendMessageW(item(ControlId(NoteBox)), BM_CLICK, 0, 0);
  SetWindowTextW(item(ControlId(PixelsEdit)), L"2");
  EXPECT_FALSE(session.window.options.note);
  EXPECT_TRUE(session.window.options.gif);
  EXPECT_EQ(session.window.options.px, "2");

  platform.recorder.answers = {MessageAnswer::Yes, MessageAnswer::Cancel};
  run(CommandId(ExportHtml));
  EXPECT_TRUE(platform.recorder.errors.empty());
  EXPECT_TRUE(fs::exists(program / "Output" / "logbook.html"));
  EXPECT_TRUE(fs::exists(program / "Output" / "d1.gif"));
  EXPECT_EQ(SendMessageW(item(ControlId(DiveList)), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                         LVNI_SELECTED),
            23);
  // The last picture stays on the clipboard.
  ASSERT_TRUE(OpenClipboard(window.handle()));
  const bool picture = IsClipboardFormatAvailable(CF_DIB);
  CloseClipboard();
  EXPECT_TRUE(picture);

  run(CommandId(ViewHtml));
  EXPECT_EQ(platform.recorder.opened, std::vector<fs::path>{program / "Output" / "logbook.html"});
  run(CommandId(CloseCsv));
  EXPECT_EQ(SendMessageW(item(ControlId(DiveList)), LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(FilePanel(item(IDC_STATUS_BAR)), "No CSV file");
}

// Letters of windows-1252 and beyond it, as the model holds them (UTF-8).
TEST_F(MainWindowTest, ShowsTheModelsTextsThroughTheWideApi) {
  const std::string text = "Pr\xC3\xA9squ'\xC3\xAEle \xE2\x82\xAC \xC5\x91";  // é î € ő
  session.window.addMemoLine(text);
  session.window.addMemoLine(text);
  session.window.setDiveList({text});
  session.window.addHistory(text);
  session.window.setFilePanel(text);
  EXPECT_EQ(Text(item(ControlId(InfoMemo))), text + "\r\n" + text);
  EXPECT_EQ(ItemText(item(ControlId(DiveList)), 0), text);
  EXPECT_EQ(HistoryLine(item(ControlId(HistoryBox)), 0), text);
  EXPECT_EQ(FilePanel(item(IDC_STATUS_BAR)), text);
}

TEST_F(MainWindowTest, LeavingTheHistoryPutsHistoryBack) {
  ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
  SetFocus(item(ControlId(HistoryBox)));
  SetWindowTextW(item(ControlId(HistoryBox)), L"typed");
  SendMessageW(window.handle(), WM_COMMAND, MAKEWPARAM(ControlId(HistoryBox), CBN_EDITCHANGE),
               reinterpret_cast<LPARAM>(item(ControlId(HistoryBox))));
  EXPECT_EQ(session.window.historyEdit(), "typed");
  SetFocus(item(ControlId(InfoMemo)));
  EXPECT_EQ(Text(item(ControlId(HistoryBox))), "History");
  ShowWindow(window.handle(), SW_HIDE);
}

TEST_F(MainWindowTest, ListsAHundredThousandDives) {
  std::vector<std::string> lines(100000);
  for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = std::to_string(i + 1) + ". Dive site";
  session.window.setDiveList(lines);
  HWND list = item(ControlId(DiveList));
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 100000);
  EXPECT_EQ(ItemText(list, 99999), "100000. Dive site");
  session.window.selectDive(99999);
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 99999);
  EXPECT_GT(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 99000) << "scrolled to the selection";
}

TEST_F(MainWindowTest, ShowingTheWindowShowsTheAboutDialogThenOpensTheStartFile) {
  win32::AboutDialog about(platform, GetModuleHandleW(nullptr));
  window.setAboutDialog(&about);
  window.controller().setStartFile(QUELLMAR_SOURCE_DIR "/examples/logbook.csv");
  ModalUser user({[](HWND) { PressKey(VK_RETURN); }});
  ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
  PumpUntil([&] { return session.logbook.has_value(); });
  EXPECT_EQ(user.titles, std::vector<std::string>{"About"});
  EXPECT_TRUE(session.logbook.has_value());
  ShowWindow(window.handle(), SW_HIDE);
}

// A program file without the window's resources: the about dialog names
// what is missing, and why, before anything is shown.
TEST(StartFailure, MissingResourcesAreNamed) {
  AnsweringPlatform platform{{}};
  try {
    win32::AboutDialog about(platform, GetModuleHandleW(L"kernel32.dll"));
    ADD_FAILURE() << "made without its picture";
  } catch (const std::runtime_error& error) {
    EXPECT_TRUE(std::string(error.what()).starts_with("Cannot find the about dialog's picture: "))
        << error.what();
  }
}

}  // namespace
}  // namespace quellmar::testing

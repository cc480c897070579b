// The Windows main window, driven by its own messages: its controls and
// menus, a whole open, options and export, the history box, the dive list of
// a large logbook, and the about dialog at start.
#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <iterator>
#include <tuple>

#include "about_box.h"
#include "commands/session.h"
#include "main_window.h"
#include "resource.h"
#include "support/temp_dir.h"
#include "window_test_support.h"

namespace quellmar::testing {
namespace {

namespace fs = std::filesystem;
using win32::TForm1;

std::string ItemText(HWND list, int row) {
  char text[512] = {};
  LVITEMA item{};
  item.iSubItem = 0;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    fs::copy(fs::path(QUELLMAR_RUN_DIR) / "html", base.path() / "html",
             fs::copy_options::recursive);
    fs::copy(fs::path(QUELLMAR_RUN_DIR) / "pict", base.path() / "pict",
             fs::copy_options::recursive);
  }
  HWND item(int id) const { return GetDlgItem(form.handle(), id); }
  void run(int command) { SendMessageA(form.handle(), WM_COMMAND, command, 0); }

  TempDir base;
  AnsweringPlatform platform{base.path()};
  Session session{platform};
  TForm1 form{session, GetModuleHandleA(nullptr)};
};

// clang-format off
const ControlRow kControls[] = {
  {IDC_TOOLBAR,     "ToolbarWindow32",   nullptr,                  0,   0,   542, 29},
  {IDC_INFORMATION, "Button",            " Logbook informations ", 8,   32,  337, 129},
  {IDC_MEMO,        "Edit",              "",                       16,  56,  321, 97},
  {IDC_OPTIONS,     "Button",            " HTML options ",         352, 32,  185, 129},
  {IDC_NOTE,        "Button",            "Note",                   360, 56,  169, 17},
  {IDC_GIF,         "Button",            "Dive profil GIF",        360, 72,  169, 17},
  {IDC_PX,          "Edit",              "1",                      360, 90,  25,  21},
  {IDC_PX_LABEL,    "Static",            "pixel / profile entry",  392, 96,  -1,  -1},
  {IDC_DIVES_LABEL, "Static",            "Logged dives:",          8,   168, -1,  -1},
  {IDC_DIVES,       "SysListView32",     nullptr,                  8,   184, 529, 153},
  {IDC_HISTORY,     "ComboBox",          "History",                0,   344, 543, -1},
  {IDC_STATUSBAR,   "msctls_statusbar32", nullptr,                 0,   365, 542, 19},
};
// clang-format on

TEST_F(MainWindowTest, ControlsStandAtTheirPlaces) {
  EXPECT_EQ(Text(form.handle()), "Quellmar  v1.2");
  RECT client{};
  GetClientRect(form.handle(), &client);
  EXPECT_EQ(client.right, 542);
  EXPECT_EQ(client.bottom, 384);
  const auto style = GetWindowLongA(form.handle(), GWL_STYLE);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0) << "no maximize, no resizing";
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);

  ExpectControls(form.handle(), kControls);
  const ControlRow bar[] = {{IDC_PROGRESSBAR, "msctls_progress32", nullptr, 352, 370, 186, 10}};
  ExpectControls(item(IDC_STATUSBAR), bar);
  EXPECT_EQ(SendMessageA(item(IDC_NOTE), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(item(IDC_GIF), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(MainWindowTest, MenusAndKeysSendTheCommands) {
  struct MenuRow {
    int menu, position;
    const char* caption;
    int command;  // 0: a separator
  };
  // clang-format off
  const MenuRow rows[] = {
    {-1, 0, "&File", -1},                   {-1, 1, "&Logbook", -1},                {-1, 2, "&Help", -1},
    {0, 0, "&Open CSV\tCtrl+O", IDM_OPEN},  {0, 1, "&Close CSV", IDM_CLOSE},        {0, 2, "", 0},
    {0, 3, "&Quit\tCtrl+Q", IDM_QUIT},      {1, 0, "HTML &export\tCtrl+E", IDM_HTML_EXPORT},
    {1, 1, "HTML &view\tCtrl+B", IDM_HTML_VIEW}, {2, 0, "&About", IDM_ABOUT},
  };
  // clang-format on
  HMENU bar = GetMenu(form.handle());
  for (const MenuRow& row : rows) {
    HMENU menu = row.menu < 0 ? bar : GetSubMenu(bar, row.menu);
    char caption[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(row.position), caption, sizeof caption, MF_BYPOSITION);
    EXPECT_STREQ(caption, row.caption);
    EXPECT_EQ(static_cast<int>(GetMenuItemID(menu, row.position)), row.command);
  }
  // Ctrl with O, Q, E and B.
  HACCEL keys = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
  std::array<ACCEL, 4> table{};
  ASSERT_EQ(CopyAcceleratorTableA(keys, table.data(), 4), 4);
  const ACCEL expected[] = {{FVIRTKEY | FCONTROL, 'O', IDM_OPEN},
                            {FVIRTKEY | FCONTROL, 'Q', IDM_QUIT},
                            {FVIRTKEY | FCONTROL, 'E', IDM_HTML_EXPORT},
                            {FVIRTKEY | FCONTROL, 'B', IDM_HTML_VIEW}};
  for (std::size_t i = 0; i < table.size(); ++i)
    EXPECT_EQ(std::tie(table[i].fVirt, table[i].key, table[i].cmd),
              std::tie(expected[i].fVirt, expected[i].key, expected[i].cmd));
}

TEST_F(MainWindowTest, OpensExportsAndClosesTheSample) {
  const std::string sample =
      fs::path(QUELLMAR_SOURCE_DIR "/examples/logbook.csv").make_preferred().string();
  {
    ModalUser user({[&](HWND dialog) {
      SetDlgItemTextA(dialog, cmb13, sample.c_str());
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }});
    run(IDM_OPEN);
  }
  ASSERT_TRUE(session.logbook.loaded);
  EXPECT_EQ(platform.recorder.messages.back().text, "CSV file imported.\n\rNext step: HTML Export");
  std::string memo;
  for (const std::string& line : session.window.memo()) memo += (memo.empty() ? "" : "\r\n") + line;
  EXPECT_EQ(Text(item(IDC_MEMO)), memo);
  EXPECT_EQ(SendMessageA(item(IDC_DIVES), LVM_GETITEMCOUNT, 0, 0), 24);
  EXPECT_EQ(ItemText(item(IDC_DIVES), 23), session.window.diveList()[23]);
  EXPECT_EQ(SendMessageA(item(IDC_HISTORY), CB_GETCOUNT, 0, 0),
            static_cast<LRESULT>(session.window.history().size()));
  EXPECT_EQ(Text(item(IDC_HISTORY)), "History");
  char panel[512] = {};
  SendMessageA(item(IDC_STATUSBAR), SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(panel));
  EXPECT_EQ(panel, session.window.filePanel());
  EXPECT_EQ(session.window.filePanel(), sample);

  // The options as a user sets them: notes off, two pixels per entry.
  SendMessageA(item(IDC_NOTE), BM_CLICK, 0, 0);
  SetWindowTextA(item(IDC_PX), "2");
  EXPECT_FALSE(session.window.options.note);
  EXPECT_TRUE(session.window.options.gif);
  EXPECT_EQ(session.window.options.px, "2");

  platform.recorder.answers = {MessageAnswer::Yes, MessageAnswer::Cancel};
  run(IDM_HTML_EXPORT);
  EXPECT_TRUE(platform.recorder.errors.empty());
  EXPECT_EQ(platform.recorder.messages.back().text,
            "HTML write finished.\n\rMay I show You the logbook.html ?");
  EXPECT_TRUE(fs::exists(base.path() / "Output" / "logbook.html"));
  EXPECT_TRUE(fs::exists(base.path() / "Output" / "d1.gif"));
  EXPECT_EQ(SendMessageA(item(IDC_DIVES), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED),
            23);
  // The last picture stays on the clipboard.
  ASSERT_TRUE(OpenClipboard(form.handle()));
  const bool picture = IsClipboardFormatAvailable(CF_DIB);
  CloseClipboard();
  EXPECT_TRUE(picture);

  run(IDM_HTML_VIEW);
  ASSERT_EQ(platform.recorder.opened.size(), 1u);
  run(IDM_CLOSE);
  EXPECT_EQ(SendMessageA(item(IDC_DIVES), LVM_GETITEMCOUNT, 0, 0), 0);
  SendMessageA(item(IDC_STATUSBAR), SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(panel));
  EXPECT_STREQ(panel, "No CSV file");

  run(IDM_HTML_EXPORT);
  EXPECT_EQ(platform.recorder.messages.back(),
            (ShownMessage{MessageKind::Warning, "Not opened CSV file", MessageButtons::Ok}));
  EXPECT_EQ(session.window.history().back(), sample + " html conver request without CSV file");
}

TEST_F(MainWindowTest, LeavingTheHistoryPutsHistoryBack) {
  ShowWindow(form.handle(), SW_SHOWNOACTIVATE);
  SetFocus(item(IDC_HISTORY));
  SetWindowTextA(item(IDC_HISTORY), "typed");
  SendMessageA(form.handle(), WM_COMMAND, MAKEWPARAM(IDC_HISTORY, CBN_EDITCHANGE),
               reinterpret_cast<LPARAM>(item(IDC_HISTORY)));
  EXPECT_EQ(session.window.historyEdit(), "typed");
  SetFocus(item(IDC_MEMO));
  EXPECT_EQ(Text(item(IDC_HISTORY)), "History");
  EXPECT_EQ(session.window.historyEdit(), "History");
  ShowWindow(form.handle(), SW_HIDE);
}

TEST_F(MainWindowTest, ListsAHundredThousandDives) {
  std::vector<std::string> lines(100000);
  for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = std::to_string(i + 1) + ". Dive site";
  session.window.setDiveList(lines);
  HWND list = item(IDC_DIVES);
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 100000);
  EXPECT_EQ(ItemText(list, 99999), "100000. Dive site");
  session.window.selectDive(99999);
  EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 99999);
  EXPECT_GT(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 99000) << "scrolled to the selection";
}

TEST_F(MainWindowTest, ShowingTheWindowShowsTheAboutDialogThenOpensTheStartFile) {
  win32::TAboutBox about(platform, GetModuleHandleA(nullptr));
  form.setAboutBox(&about);
  form.setStartFile(QUELLMAR_SOURCE_DIR "/examples/logbook.csv");
  ModalUser user({[](HWND) { PressKey(VK_RETURN); }});
  ShowWindow(form.handle(), SW_SHOWNOACTIVATE);
  PumpUntil([&] { return session.logbook.loaded; });
  EXPECT_EQ(user.titles, std::vector<std::string>{"About"});
  EXPECT_TRUE(session.logbook.loaded);
  ShowWindow(form.handle(), SW_HIDE);
}

}  // namespace
}  // namespace quellmar::testing

#include "main_window.h"

#include <commctrl.h>

#include <cstring>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "about_dialog.h"
#include "basic/display_text.h"
#include "commands/program_texts.h"
#include "commands/tool_images.h"
#include "controls.h"
#include "resource.h"

namespace quellmar::win32 {
namespace {

constexpr wchar_t kClassName[] = L"QuellmarMainWindow";
constexpr int kClientWidth = 542;
constexpr int kClientHeight = 384;
constexpr UINT kWindowShownMessage = WM_APP + 1;

constexpr DWORD kTab = WS_TABSTOP;

// The controls of the client area; those inside a group box stand at the
// group box's place plus their own.
// clang-format off
const ControlPlace kControls[] = {
  {L"BUTTON",     " Logbook informations ", BS_GROUPBOX,                              IDC_INFO_GROUP,      8,   32,  337, 129},
  {L"EDIT",       "",                       ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | kTab,
                                                                                      IDC_INFO_MEMO,       16,  56,  321, 97},
  {L"BUTTON",     " HTML options ",         BS_GROUPBOX,                              IDC_OPTIONS_GROUP,   352, 32,  185, 129},
  {L"BUTTON",     "Note",                   BS_AUTOCHECKBOX | kTab,                   IDC_NOTE_BOX,        360, 56,  169, 17},
  {L"BUTTON",     "Dive profil GIF",        BS_AUTOCHECKBOX | kTab,                   IDC_GIF_BOX,         360, 72,  169, 17},
  {L"EDIT",       "",                       ES_AUTOHSCROLL | WS_BORDER | kTab,        IDC_PIXELS_EDIT,     360, 90,  25,  21},
  {L"STATIC",     "pixel / profile entry",  SS_LEFTNOWORDWRAP,                        IDC_PIXELS_LABEL,    392, 96,  -1,  0},
  {L"STATIC",     "Logged dives:",          SS_LEFTNOWORDWRAP,                        IDC_DIVE_LIST_LABEL, 8,   168, -1,  0},
  {WC_LISTVIEWW,  "",                       LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
                                            LVS_SHOWSELALWAYS | WS_BORDER | kTab,     IDC_DIVE_LIST,       8,   184, 529, 153},
  // The height includes the dropped-down list; the closed box is 21 high.
  {L"COMBOBOX",   "",                       CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | kTab,
                                                                                      IDC_HISTORY_BOX,     0,   344, 543, 200},
};

struct Hint {
  int id;
  const wchar_t* text;
};
const Hint kToolHints[] = {
  {IDM_OPEN_CSV,    L"CSV Open"},
  {IDM_CLOSE_CSV,   L"CSV Close"},
  {IDM_EXPORT_HTML, L"HTML export"},
  {IDM_VIEW_HTML,   L"Html preview"},
};
const std::pair<int, const char*> kControlHints[] = {
  {IDC_NOTE_BOX,    "Check this for insert dive notes to the html"},
  {IDC_GIF_BOX,     "Check this for the profile GIF pictures"},
  {IDC_PIXELS_EDIT, "1 entry (depent of the computer settings) 10-20-30 sec"},
};
// clang-format on

const wchar_t* ToolHint(UINT_PTR id) {
  for (const Hint& hint : kToolHints)
    if (static_cast<UINT_PTR>(hint.id) == id) return hint.text;
  return nullptr;
}

// A 32-bit bitmap with premultiplied alpha, as menus and image lists take it.
HBITMAP ToolBitmap(ToolImage image) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kToolImageSize;
  info.bmiHeader.biHeight = -kToolImageSize;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  const ToolImagePixels pixels = DrawToolImage(image);
  std::memcpy(bits, pixels.data(), sizeof pixels);
  return bitmap;
}

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetText(HWND window, const std::string& text) {
  SetWindowTextW(window, WideText(text).c_str());
}

}  // namespace

MainWindow::MainWindow(Session& session, HINSTANCE instance)
    : session_(session), instance_(instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUELLMAR));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly when a second window is made

  // Fixed single border, system menu and minimize button: no maximize, no resizing.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, TRUE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT desktop{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &desktop, 0);
  HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAIN_MENU));
  if (menu == nullptr) throw StartFailure("Cannot load the main window's menu");
  window_ = CreateWindowExW(0, kClassName, WideText(kMainWindowTitle).c_str(), style,
                            desktop.left + (desktop.right - desktop.left - width) / 2,
                            desktop.top + (desktop.bottom - desktop.top - height) / 2, width,
                            height, nullptr, menu, instance, this);
  if (window_ == nullptr) {
    const auto failure = StartFailure("Cannot create the main window");
    DestroyMenu(menu);
    throw failure;
  }
  accelerators_ = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
  if (accelerators_ == nullptr) throw StartFailure("Cannot load the main window's keys");

  for (ToolImage image :
       {ToolImage::Open, ToolImage::Close, ToolImage::HtmlExport, ToolImage::HtmlView})
    toolImages_[static_cast<std::size_t>(image)] = ToolBitmap(image);
  buildMenuImages();
  buildToolBar();
  buildControls();
  buildStatusBar();

  controller_.emplace(session_, static_cast<MainWindowView&>(*this));
}

MainWindow::~MainWindow() {
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  if (toolImageList_ != nullptr) ImageList_Destroy(toolImageList_);
  for (HBITMAP image : toolImages_) DeleteObject(image);
}

void MainWindow::buildMenuImages() {
  const std::pair<int, ToolImage> items[] = {{IDM_OPEN_CSV, ToolImage::Open},
                                             {IDM_CLOSE_CSV, ToolImage::Close},
                                             {IDM_EXPORT_HTML, ToolImage::HtmlExport},
                                             {IDM_VIEW_HTML, ToolImage::HtmlView}};
  for (auto [id, image] : items) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = toolImages_[static_cast<std::size_t>(image)];
    SetMenuItemInfoW(GetMenu(window_), static_cast<UINT>(id), FALSE, &item);
  }
}

void MainWindow::buildToolBar() {
  HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                             WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                 CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                             0, 0, kClientWidth, 29, window_,
                             reinterpret_cast<HMENU>(INT_PTR{IDC_TOOL_BAR}), instance_, nullptr);
  SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  toolImageList_ = ImageList_Create(16, 16, ILC_COLOR32, 4, 0);
  for (HBITMAP image : toolImages_) ImageList_Add(toolImageList_, image, nullptr);
  SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolImageList_));
  SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(23, 22));

  // Separator, Open, Close, separator, Make HTML, HTML view; separators 8 wide.
  const auto button = [](ToolImage image, int id) {
    return TBBUTTON{static_cast<int>(image), id, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1};
  };
  const TBBUTTON separator{8, 0, 0, BTNS_SEP, {}, 0, -1};
  const TBBUTTON buttons[] = {separator,
                              button(ToolImage::Open, IDM_OPEN_CSV),
                              button(ToolImage::Close, IDM_CLOSE_CSV),
                              separator,
                              button(ToolImage::HtmlExport, IDM_EXPORT_HTML),
                              button(ToolImage::HtmlView, IDM_VIEW_HTML)};
  SendMessageW(bar, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
  SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(23, 22));
}

void MainWindow::buildControls() {
  if (!CreateControls(window_, kControls, WindowFont()))
    throw StartFailure("Cannot create the main window's controls");
  infoMemo_ = GetDlgItem(window_, IDC_INFO_MEMO);
  SendMessageW(infoMemo_, EM_SETLIMITTEXT, 0, 0);  // as long as memory allows
  diveList_ = GetDlgItem(window_, IDC_DIVE_LIST);
  historyBox_ = GetDlgItem(window_, IDC_HISTORY_BOX);

  const ExportOptions& chosen = session_.window.options;
  CheckDlgButton(window_, IDC_NOTE_BOX, chosen.note ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(window_, IDC_GIF_BOX, chosen.gif ? BST_CHECKED : BST_UNCHECKED);
  SetText(GetDlgItem(window_, IDC_PIXELS_EDIT), Utf8FromWindows1252(chosen.px));

  // One column as wide as the list; lines come from the window model as they
  // are drawn, so a logbook of any size is listed at once.
  ListView_SetExtendedListViewStyle(diveList_, LVS_EX_FULLROWSELECT);
  RECT inside{};
  GetClientRect(diveList_, &inside);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = inside.right - GetSystemMetrics(SM_CXVSCROLL);
  SendMessageW(diveList_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

  hints_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                           nullptr, instance_, nullptr);
  for (const auto& [id, text] : kControlHints) addHint(GetDlgItem(window_, id), text);
}

void MainWindow::buildStatusBar() {
  statusBar_ =
      CreateWindowExW(0, STATUSCLASSNAMEW, nullptr,
                      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | SBT_TOOLTIPS | CCS_NORESIZE |
                          CCS_NOPARENTALIGN | CCS_NODIVIDER,
                      0, kClientHeight - 19, kClientWidth, 19, window_,
                      reinterpret_cast<HMENU>(INT_PTR{IDC_STATUS_BAR}), instance_, nullptr);
  SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
  // The credit panel 90 wide, the file panel 200 wide, then the empty rest.
  const int edges[] = {90, 290, -1};
  SendMessageW(statusBar_, SB_SETPARTS, std::size(edges), reinterpret_cast<LPARAM>(edges));
  SendMessageW(statusBar_, SB_SETTEXTW, 0,
               reinterpret_cast<LPARAM>(WideText(kCreditPanelText).c_str()));

  // Over the empty right-hand part of the status bar.
  progressBar_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 352, 5, 186,
                                 10, statusBar_, reinterpret_cast<HMENU>(INT_PTR{IDC_PROGRESS_BAR}),
                                 instance_, nullptr);
}

void MainWindow::addHint(HWND control, const std::string& text) {
  std::wstring wide = WideText(text);  // copied by the tooltip
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = wide.data();
  SendMessageW(hints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool MainWindow::handleKey(MSG& msg) {
  if (window_ == nullptr) return false;
  if (TranslateAcceleratorW(window_, accelerators_, &msg)) return true;
  return IsDialogMessageW(window_, &msg) != FALSE;
}

// Messages.

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->handleMessage(message, wParam, lParam);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      onNotify(*reinterpret_cast<NMHDR*>(lParam));
      return 0;
    case WM_SHOWWINDOW:
      // Every time the window is shown (not when it comes back from the task
      // bar), once it is on screen.
      if (wParam && lParam == 0) PostMessageW(window_, kWindowShownMessage, 0, 0);
      break;
    case kWindowShownMessage:
      controller_->windowShown();
      return 0;
    case WM_CLOSE:
      if (controller_->mayClose()) DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      if (quitWhenClosed_) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::onCommand(int id, int code) {
  switch (id) {
    case IDM_OPEN_CSV:
      return controller_->openCsv();
    case IDM_CLOSE_CSV:
      return controller_->closeCsv();
    case IDM_QUIT:
      return controller_->quit();
    case IDM_EXPORT_HTML:
      return controller_->exportHtml();
    case IDM_VIEW_HTML:
      return controller_->viewHtml();
    case IDM_EXPORT_UDDF:
      return controller_->exportUddf();
    case IDM_ABOUT:
      return controller_->showAbout();
    // The export reads the options whenever a tag needs them.
    case IDC_NOTE_BOX:
      if (code == BN_CLICKED) session_.window.options.note = Checked(GetDlgItem(window_, id));
      return;
    case IDC_GIF_BOX:
      if (code == BN_CLICKED) session_.window.options.gif = Checked(GetDlgItem(window_, id));
      return;
    case IDC_PIXELS_EDIT:
      if (code == EN_CHANGE)
        session_.window.options.px = Windows1252FromUtf8(WindowText(GetDlgItem(window_, id)));
      return;
    case IDC_HISTORY_BOX:
      if (code == CBN_EDITCHANGE) controller_->historyTyped(WindowText(historyBox_));
      if (code == CBN_SELCHANGE) {
        // The box lists the history's lines in their order.
        const auto index = SendMessageW(historyBox_, CB_GETCURSEL, 0, 0);
        const auto& lines = session_.window.history();
        if (index >= 0 && static_cast<std::size_t>(index) < lines.size())
          controller_->historyTyped(lines[static_cast<std::size_t>(index)]);
      }
      if (code == CBN_KILLFOCUS) controller_->historyLeft();
      return;
  }
}

void MainWindow::onNotify(NMHDR& header) {
  if (header.hwndFrom == diveList_ && header.code == LVN_GETDISPINFOW) {
    const auto& lines = session_.window.diveList();
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
    if ((item.mask & LVIF_TEXT) == 0 || item.cchTextMax <= 0 || item.iItem < 0 ||
        static_cast<std::size_t>(item.iItem) >= lines.size())
      return;
    const std::wstring line = WideText(lines[static_cast<std::size_t>(item.iItem)]);
    lstrcpynW(item.pszText, line.c_str(), item.cchTextMax);
  } else if (header.code == TTN_GETDISPINFOW) {
    // The tool buttons' hints.
    if (const wchar_t* hint = ToolHint(header.idFrom))
      reinterpret_cast<NMTTDISPINFOW&>(header).lpszText = const_cast<wchar_t*>(hint);
  }
}

// Drawing.

void MainWindow::showMemo(const std::vector<std::string>& lines) {
  std::string shown;
  for (const std::string& line : lines) shown += (shown.empty() ? "" : "\r\n") + line;
  SetText(infoMemo_, shown);
}

void MainWindow::appendMemoLine(const std::string& line) {
  const auto end = GetWindowTextLengthW(infoMemo_);
  SendMessageW(infoMemo_, EM_SETSEL, end, end);
  SendMessageW(infoMemo_, EM_REPLACESEL, FALSE,
               reinterpret_cast<LPARAM>(WideText("\r\n" + line).c_str()));
}

void MainWindow::showDiveList(std::size_t count) {
  SendMessageW(diveList_, LVM_SETITEMCOUNT, count, 0);
  InvalidateRect(diveList_, nullptr, TRUE);
}

void MainWindow::showSelectedDive(int index) {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(diveList_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
               reinterpret_cast<LPARAM>(&state));
  if (index < 0) return;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(diveList_, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&state));
  SendMessageW(diveList_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

// Adding a line does not change what the closed box shows.
void MainWindow::addHistoryLine(const std::string& line) {
  SendMessageW(historyBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(line).c_str()));
}

void MainWindow::showHistoryText(const std::string& text) { SetText(historyBox_, text); }

void MainWindow::showFilePanel(const std::string& text) {
  const std::wstring wide = WideText(text);
  SendMessageW(statusBar_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(wide.c_str()));
  SendMessageW(statusBar_, SB_SETTIPTEXTW, 1, reinterpret_cast<LPARAM>(wide.c_str()));
}

void MainWindow::showProgress(BarRange bar) {
  SendMessageW(progressBar_, PBM_SETRANGE32, 0, bar.maximum);
  SendMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(bar.position), 0);
}

// The status bar's hint, so that both panels keep their texts.
void MainWindow::showProgramFolder(const std::string& text) { addHint(statusBar_, text); }

// Repaints what changed, and whatever the desktop asks for, without taking
// user input, so that the window does not pass for hung during long work.
void MainWindow::repaintNow() {
  MSG paint;
  while (PeekMessageW(&paint, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageW(&paint);
}

void MainWindow::showAboutDialog() {
  if (aboutDialog_ != nullptr) aboutDialog_->showModal(window_);
}

void MainWindow::closeWindow() {
  if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
}

}  // namespace quellmar::win32

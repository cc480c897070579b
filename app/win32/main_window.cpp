#include "main_window.h"

#include <commctrl.h>

#include <cstdint>
#include <iterator>
#include <utility>

#include "about_dialog.h"
#include "basic/display_text.h"
#include "commands/program_texts.h"
#include "commands/tool_images.h"
#include "resource.h"

namespace quellmar::win32 {
namespace {

constexpr wchar_t kClassName[] = L"QuellmarMainWindow";
constexpr int kClientWidth = 542;
constexpr int kClientHeight = 384;
constexpr int kStatusBarHeight = 19;
constexpr UINT kWindowShownMessage = WM_APP + 1;

constexpr DWORD kTab = WS_TABSTOP;

// The controls of the client area at 96 DPI; those inside a group box stand
// at the group box's place plus their own, and may grow up to its right edge
// (535) where their captions need it, the labels of the client area up to
// its right edge (540).
// clang-format off
const ControlPlace kControls[] = {
  {L"BUTTON",     " Logbook informations ", BS_GROUPBOX,                              IDC_INFO_GROUP,      8,   32,  337, 129},
  {L"EDIT",       "",                       ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | kTab,
                                                                                      IDC_INFO_MEMO,       16,  56,  321, 97},
  {L"BUTTON",     " HTML options ",         BS_GROUPBOX,                              IDC_OPTIONS_GROUP,   352, 32,  185, 129},
  {L"BUTTON",     "Note",                   BS_AUTOCHECKBOX | kTab,                   IDC_NOTE_BOX,        360, 56,  169, 17, {175, 0}},
  {L"BUTTON",     "Dive profil GIF",        BS_AUTOCHECKBOX | kTab,                   IDC_GIF_BOX,         360, 72,  169, 17, {175, 0}},
  {L"EDIT",       "",                       ES_AUTOHSCROLL | WS_BORDER | kTab,        IDC_PIXELS_EDIT,     360, 90,  25,  21},
  {L"STATIC",     "pixel / profile entry",  SS_LEFTNOWORDWRAP,                        IDC_PIXELS_LABEL,    392, 96,  -1,  0,  {143, 0}},
  {L"STATIC",     "Logged dives:",          SS_LEFTNOWORDWRAP,                        IDC_DIVE_LIST_LABEL, 8,   168, -1,  0,  {532, 0}},
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

// The status bar's panels: the credit 90 wide, the file panel 200 wide, then
// the empty rest under the progress bar.
enum Panel { kCreditPanel, kFilePanel };
constexpr int kPanelEdges[] = {90, 290};

const wchar_t* ToolHint(UINT_PTR id) {
  for (const Hint& hint : kToolHints)
    if (static_cast<UINT_PTR>(hint.id) == id) return hint.text;
  return nullptr;
}

// A 32-bit bitmap with premultiplied alpha, as menus and image lists take it,
// size pixels square: the 16-pixel picture with each pixel repeated, so that
// it stays sharp.
HBITMAP ToolBitmap(ToolImage image, int size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  const ToolImagePixels pixels = DrawToolImage(image);
  auto* drawn = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      drawn[y * size + x] = pixels[static_cast<std::size_t>(
          y * kToolImageSize / size * kToolImageSize + x * kToolImageSize / size)];
  return bitmap;
}

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetText(HWND window, const std::string& text) {
  SetWindowTextW(window, WideText(text).c_str());
}

HWND MakeChild(const wchar_t* className, DWORD style, HWND parent, int id) {
  return CreateWindowExW(0, className, nullptr, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(INT_PTR{id}),
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                         nullptr);
}

}  // namespace

MainWindow::MainWindow(Session& session, HINSTANCE instance)
    : session_(session), instance_(instance) {
  try {
    build();
  } catch (...) {
    release();
    throw;
  }
  controller_.emplace(session_, static_cast<MainWindowView&>(*this));
}

MainWindow::~MainWindow() { release(); }

void MainWindow::build() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_QUELLMAR));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly when a second window is made

  HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_MAIN_MENU));
  if (menu == nullptr) throw StartFailure("Cannot load the main window's menu");
  // Fixed single border, system menu and minimize button: no maximize, no
  // resizing. Its size comes with its layout.
  window_ =
      CreateWindowExW(0, kClassName, WideText(kMainWindowTitle).c_str(),
                      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                      CW_USEDEFAULT, kClientWidth, kClientHeight, nullptr, menu, instance_, this);
  if (window_ == nullptr) {
    const auto failure = StartFailure("Cannot create the main window");
    DestroyMenu(menu);
    throw failure;
  }
  accelerators_ = LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(IDR_ACCELERATORS));
  if (accelerators_ == nullptr) throw StartFailure("Cannot load the main window's keys");

  buildToolBar();
  buildControls();
  buildStatusBar();
  layOut(GetDpiForWindow(window_));
  // Centred on the desktop.
  const POINT corner = CentredOnMonitor(window_);
  SetWindowPos(window_, nullptr, corner.x, corner.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::release() {
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    window_ = nullptr;
  }
  if (toolImageList_ != nullptr) ImageList_Destroy(toolImageList_);
  for (HBITMAP image : toolImages_) DeleteObject(image);
  toolImageList_ = nullptr;
  toolImages_ = {};
}

void MainWindow::buildToolBar() {
  toolBar_ =
      MakeChild(TOOLBARCLASSNAMEW,
                TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                window_, IDC_TOOL_BAR);
  if (toolBar_ == nullptr) throw StartFailure("Cannot create the tool bar");
  SendMessageW(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
}

void MainWindow::buildControls() {
  if (!CreateControls(window_, kControls))
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
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  SendMessageW(diveList_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

  hints_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                           nullptr, instance_, nullptr);
  for (const auto& [id, text] : kControlHints) addHint(GetDlgItem(window_, id), text);
}

void MainWindow::buildStatusBar() {
  statusBar_ = MakeChild(STATUSCLASSNAMEW,
                         WS_CLIPCHILDREN | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                         window_, IDC_STATUS_BAR);
  // Over the empty right-hand part of the status bar.
  progressBar_ = MakeChild(PROGRESS_CLASSW, 0, statusBar_, IDC_PROGRESS_BAR);
  if (statusBar_ == nullptr || progressBar_ == nullptr)
    throw StartFailure("Cannot create the status bar");
  SendMessageW(statusBar_, SB_SETTEXTW, kCreditPanel,
               reinterpret_cast<LPARAM>(WideText(kCreditPanelText).c_str()));
  // Each panel has a hint of its own: the program folder over the credit,
  // the whole path over the file panel.
  addPanelHint(kCreditPanel);
  addPanelHint(kFilePanel);
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

// A hint over a panel of the status bar, placed and given its text later.
void MainWindow::addPanelHint(int panel) {
  wchar_t none[] = L"";
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = statusBar_;
  tool.uId = static_cast<UINT_PTR>(panel);
  tool.lpszText = none;
  SendMessageW(hints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// Layout.

void MainWindow::layOut(UINT dpi) {
  auto fonts = std::make_unique<WindowFonts>(dpi);
  SetClientSize(window_, Scaled(kClientWidth, dpi), Scaled(kClientHeight, dpi));
  layOutToolImages(dpi);
  layOutToolBar(dpi);
  PlaceControls(window_, kControls, *fonts);
  SendMessageW(toolBar_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts->font()), TRUE);
  RECT inside{};
  GetClientRect(diveList_, &inside);
  SendMessageW(diveList_, LVM_SETCOLUMNWIDTH, 0,
               inside.right - GetSystemMetricsForDpi(SM_CXVSCROLL, dpi));
  // The controls leave the old fonts before they go.
  std::swap(fonts_, fonts);
  layOutStatusBar();
}

// The images of the menus and the tool bar, at the size of the scale.
void MainWindow::layOutToolImages(UINT dpi) {
  const int size = Scaled(kToolImageSize, dpi);
  std::array<HBITMAP, 4> images{};
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32, 4, 0);
  const std::pair<int, ToolImage> items[] = {{IDM_OPEN_CSV, ToolImage::Open},
                                             {IDM_CLOSE_CSV, ToolImage::Close},
                                             {IDM_EXPORT_HTML, ToolImage::HtmlExport},
                                             {IDM_VIEW_HTML, ToolImage::HtmlView}};
  for (auto [id, image] : items) {
    HBITMAP& bitmap = images[static_cast<std::size_t>(image)];
    bitmap = ToolBitmap(image, size);
    ImageList_Add(list, bitmap, nullptr);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = bitmap;
    SetMenuItemInfoW(GetMenu(window_), static_cast<UINT>(id), FALSE, &item);
  }
  SendMessageW(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
  if (toolImageList_ != nullptr) ImageList_Destroy(toolImageList_);
  for (HBITMAP image : toolImages_) DeleteObject(image);
  toolImageList_ = list;
  toolImages_ = images;
}

// Separator, Open, Close, separator, Make HTML, HTML view; buttons 23 wide,
// separators 8 wide. The buttons are made again, as a separator keeps the
// width it was made with.
void MainWindow::layOutToolBar(UINT dpi) {
  SetWindowPos(toolBar_, nullptr, 0, 0, Scaled(kClientWidth, dpi), Scaled(29, dpi),
               SWP_NOZORDER | SWP_NOACTIVATE);
  while (SendMessageW(toolBar_, TB_BUTTONCOUNT, 0, 0) > 0)
    SendMessageW(toolBar_, TB_DELETEBUTTON, 0, 0);
  const auto button = [](ToolImage image, int id) {
    return TBBUTTON{static_cast<int>(image), id, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1};
  };
  const TBBUTTON separator{Scaled(8, dpi), 0, 0, BTNS_SEP, {}, 0, -1};
  const TBBUTTON buttons[] = {separator,
                              button(ToolImage::Open, IDM_OPEN_CSV),
                              button(ToolImage::Close, IDM_CLOSE_CSV),
                              separator,
                              button(ToolImage::HtmlExport, IDM_EXPORT_HTML),
                              button(ToolImage::HtmlView, IDM_VIEW_HTML)};
  const LPARAM size = MAKELPARAM(Scaled(23, dpi), Scaled(22, dpi));
  SendMessageW(toolBar_, TB_SETBUTTONSIZE, 0, size);
  SendMessageW(toolBar_, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
  SendMessageW(toolBar_, TB_SETBUTTONSIZE, 0, size);
}

void MainWindow::layOutStatusBar() {
  const UINT dpi = fonts_->dpi();
  // At the bottom edge.
  const int top = Scaled(kClientHeight - kStatusBarHeight, dpi);
  const int height = Scaled(kClientHeight, dpi) - top;
  SetWindowPos(statusBar_, nullptr, 0, top, Scaled(kClientWidth, dpi), height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  const int edges[] = {Scaled(kPanelEdges[0], dpi), Scaled(kPanelEdges[1], dpi), -1};
  SendMessageW(statusBar_, SB_SETPARTS, std::size(edges), reinterpret_cast<LPARAM>(edges));
  // One font for the bar, in which the credit fits its panel.
  const Extent credit{edges[0] - Scaled(6, dpi), height};
  const CaptionFit fit = FitCaption(credit, credit, 8.0, [this](double points) {
    return TextExtent(fonts_->font(points), kCreditPanelText);
  });
  SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->font(fit.points)), TRUE);
  SetWindowPos(progressBar_, nullptr, Scaled(352, dpi), Scaled(5, dpi), Scaled(186, dpi),
               Scaled(10, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  for (int panel : {kCreditPanel, kFilePanel}) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = statusBar_;
    tool.uId = static_cast<UINT_PTR>(panel);
    SendMessageW(statusBar_, SB_GETRECT, static_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(&tool.rect));
    SendMessageW(hints_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  drawFilePanel();
}

// The path as it fits the panel, losing its middle where it is too long.
void MainWindow::drawFilePanel() {
  RECT panel{};
  SendMessageW(statusBar_, SB_GETRECT, kFilePanel, reinterpret_cast<LPARAM>(&panel));
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(statusBar_, WM_GETFONT, 0, 0));
  const std::string shown =
      ElideMiddle(filePanelText_, panel.right - panel.left - Scaled(6, fonts_->dpi()),
                  [font](const std::string& text) { return TextExtent(font, text).width; });
  SendMessageW(statusBar_, SB_SETTEXTW, kFilePanel,
               reinterpret_cast<LPARAM>(WideText(shown).c_str()));
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
    case WM_DPICHANGED: {
      // Moved to a monitor of another scale: where the system suggests, laid
      // out anew.
      const RECT& suggested = *reinterpret_cast<RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      layOut(HIWORD(wParam));
      return 0;
    }
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
  filePanelText_ = text;
  drawFilePanel();
  setPanelHint(kFilePanel, text);
}

void MainWindow::showProgress(BarRange bar) {
  SendMessageW(progressBar_, PBM_SETRANGE32, 0, bar.maximum);
  SendMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(bar.position), 0);
}

void MainWindow::showProgramFolder(const std::string& text) { setPanelHint(kCreditPanel, text); }

void MainWindow::setPanelHint(int panel, const std::string& text) {
  std::wstring wide = WideText(text);  // copied by the tooltip
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = statusBar_;
  tool.uId = static_cast<UINT_PTR>(panel);
  tool.lpszText = wide.data();
  SendMessageW(hints_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

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

#include "main_window.h"

#include <commctrl.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "about_dialog.h"
#include "resource.h"
#include "window/program_texts.h"
#include "window/tool_images.h"
#include "window/window_layout.h"

namespace quellmar::win32 {
namespace {

constexpr wchar_t kClassName[] = L"QuellmarMainWindow";
constexpr UINT kWindowShownMessage = WM_APP + 1;

// The status bar's parts: its panels, from the left.
enum Part { kCreditPart, kFilePart };

// The menus, each item's caption followed by its key.
HMENU MakeMenus() {
  HMENU bar = CreateMenu();
  for (const Menu& menu : kMenus) {
    HMENU items = CreatePopupMenu();
    for (const MenuItem& item : menu.items) {
      if (item.separator()) {
        AppendMenuW(items, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      std::string caption = item.caption;
      if (item.key != 0) caption += std::string("\tCtrl+") + item.key;
      AppendMenuW(items, MF_STRING, CommandId(item.command), WideText(caption).c_str());
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(items), WideText(menu.caption).c_str());
  }
  return bar;
}

// The keys of the menu items, with Ctrl.
HACCEL MakeKeys() {
  std::vector<ACCEL> keys;
  for (const Menu& menu : kMenus)
    for (const MenuItem& item : menu.items)
      if (item.key != 0)
        keys.push_back({FVIRTKEY | FCONTROL, static_cast<WORD>(item.key),
                        static_cast<WORD>(CommandId(item.command))});
  return CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
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

void Check(HWND box, bool on) {
  SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

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
  layOutStatusBar();
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

  HMENU menu = MakeMenus();
  // Fixed single border, system menu and minimize button: no maximize, no
  // resizing. Its size comes with its layout.
  window_ = CreateWindowExW(0, kClassName, WideText(kMainWindowTitle).c_str(),
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                            CW_USEDEFAULT, kMainWindowSize.width, kMainWindowSize.height, nullptr,
                            menu, instance_, this);
  if (window_ == nullptr) {
    const auto failure = StartFailure("Cannot create the main window");
    DestroyMenu(menu);
    throw failure;
  }
  accelerators_ = MakeKeys();
  if (accelerators_ == nullptr) throw StartFailure("Cannot make the main window's keys");

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
  if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
  if (toolImageList_ != nullptr) ImageList_Destroy(toolImageList_);
  for (HBITMAP image : toolImages_) DeleteObject(image);
  accelerators_ = nullptr;
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
  if (!CreateControls(window_, kMainWindowControls))
    throw StartFailure("Cannot create the main window's controls");
  infoMemo_ = control(ControlRole::InfoMemo);
  SendMessageW(infoMemo_, EM_SETLIMITTEXT, 0, 0);  // as long as memory allows
  diveList_ = control(ControlRole::DiveList);
  historyBox_ = control(ControlRole::HistoryBox);

  // One column as wide as the list; lines come from the window model as they
  // are drawn, so a logbook of any size is listed at once.
  ListView_SetExtendedListViewStyle(diveList_, LVS_EX_FULLROWSELECT);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  SendMessageW(diveList_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

  hints_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                           nullptr, instance_, nullptr);
  for (const ControlLayout& shown : kMainWindowControls)
    if (*shown.hint != '\0') addHint(control(shown.role), shown.hint);
}

void MainWindow::buildStatusBar() {
  statusBar_ = MakeChild(STATUSCLASSNAMEW,
                         WS_CLIPCHILDREN | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                         window_, IDC_STATUS_BAR);
  // Over the empty right-hand part of the status bar.
  progressBar_ = MakeChild(PROGRESS_CLASSW, 0, statusBar_, IDC_PROGRESS_BAR);
  if (statusBar_ == nullptr || progressBar_ == nullptr)
    throw StartFailure("Cannot create the status bar");
  SendMessageW(statusBar_, SB_SETTEXTW, kCreditPart,
               reinterpret_cast<LPARAM>(WideText(kCreditPanel.text).c_str()));
  // Each panel has a hint of its own: the program folder over the credit,
  // the whole path over the file panel.
  addPanelHint(kCreditPart);
  addPanelHint(kFilePart);
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
  SetClientSize(window_, Scaled(kMainWindowSize.width, dpi), Scaled(kMainWindowSize.height, dpi));
  layOutToolImages(dpi);
  layOutToolBar(dpi);
  PlaceControls(window_, kMainWindowControls, *fonts);
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
  for (std::size_t image = 0; image < images.size(); ++image) {
    images[image] = ToolBitmap(static_cast<ToolImage>(image), size);
    ImageList_Add(list, images[image], nullptr);
  }
  for (const Menu& menu : kMenus)
    for (const MenuItem& shown : menu.items) {
      if (!shown.image) continue;
      MENUITEMINFOW item{};
      item.cbSize = sizeof item;
      item.fMask = MIIM_BITMAP;
      item.hbmpItem = images[static_cast<std::size_t>(*shown.image)];
      SetMenuItemInfoW(GetMenu(window_), CommandId(shown.command), FALSE, &item);
    }
  SendMessageW(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
  if (toolImageList_ != nullptr) ImageList_Destroy(toolImageList_);
  for (HBITMAP image : toolImages_) DeleteObject(image);
  toolImageList_ = list;
  toolImages_ = images;
}

// The buttons are made again, as a separator keeps the width it was made with.
void MainWindow::layOutToolBar(UINT dpi) {
  SetWindowPos(toolBar_, nullptr, Scaled(kToolBarPlace.left, dpi), Scaled(kToolBarPlace.top, dpi),
               Scaled(kToolBarPlace.width, dpi), Scaled(kToolBarPlace.height, dpi),
               SWP_NOZORDER | SWP_NOACTIVATE);
  while (SendMessageW(toolBar_, TB_BUTTONCOUNT, 0, 0) > 0)
    SendMessageW(toolBar_, TB_DELETEBUTTON, 0, 0);
  std::vector<TBBUTTON> buttons;
  for (const ToolButton& tool : kToolBar)
    buttons.push_back(tool.separator()
                          ? TBBUTTON{Scaled(kToolSeparatorWidth, dpi), 0, 0, BTNS_SEP, {}, 0, -1}
                          : TBBUTTON{static_cast<int>(tool.image),
                                     CommandId(tool.command),
                                     TBSTATE_ENABLED,
                                     BTNS_BUTTON,
                                     {},
                                     0,
                                     -1});
  const LPARAM size =
      MAKELPARAM(Scaled(kToolButtonSize.width, dpi), Scaled(kToolButtonSize.height, dpi));
  SendMessageW(toolBar_, TB_SETBUTTONSIZE, 0, size);
  SendMessageW(toolBar_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageW(toolBar_, TB_SETBUTTONSIZE, 0, size);
}

void MainWindow::layOutStatusBar() {
  const UINT dpi = fonts_->dpi();
  // Down to the bottom edge.
  const int top = Scaled(kStatusBarPlace.top, dpi);
  const int height = Scaled(kMainWindowSize.height, dpi) - top;
  SetWindowPos(statusBar_, nullptr, Scaled(kStatusBarPlace.left, dpi), top,
               Scaled(kStatusBarPlace.width, dpi), height, SWP_NOZORDER | SWP_NOACTIVATE);
  const int edges[] = {Scaled(kCreditPanel.width, dpi),
                       Scaled(kCreditPanel.width + kFilePanel.width, dpi), -1};
  SendMessageW(statusBar_, SB_SETPARTS, std::size(edges), reinterpret_cast<LPARAM>(edges));
  const double scale = dpi / 96.0;
  const double points = StatusBarPoints({edges[0], height}, scale, [this](double size) {
    return TextExtent(fonts_->font(size), kCreditPanel.text);
  });
  HFONT font = fonts_->font(points);
  SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  // In the status bar.
  SetWindowPos(progressBar_, nullptr, Scaled(kProgressBarPlace.left, dpi),
               Scaled(kProgressBarPlace.top - kStatusBarPlace.top, dpi),
               Scaled(kProgressBarPlace.width, dpi), Scaled(kProgressBarPlace.height, dpi),
               SWP_NOZORDER | SWP_NOACTIVATE);
  for (int panel : {kCreditPart, kFilePart}) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = statusBar_;
    tool.uId = static_cast<UINT_PTR>(panel);
    SendMessageW(statusBar_, SB_GETRECT, static_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(&tool.rect));
    SendMessageW(hints_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  if (!controller_) return;  // measured once the controller is made
  RECT panel{};
  SendMessageW(statusBar_, SB_GETRECT, kFilePart, reinterpret_cast<LPARAM>(&panel));
  controller_->filePanelMeasured(panel.right - panel.left, scale, [font](const std::string& text) {
    return TextExtent(font, text).width;
  });
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
  if (id >= kFirstCommandId && id < kFirstControlId)
    return controller_->perform(static_cast<WindowCommand>(id - kFirstCommandId));
  switch (id) {
    case ControlId(ControlRole::NoteBox):
      if (code == BN_CLICKED) controller_->noteChanged(Checked(GetDlgItem(window_, id)));
      return;
    case ControlId(ControlRole::GifBox):
      if (code == BN_CLICKED) controller_->gifChanged(Checked(GetDlgItem(window_, id)));
      return;
    case ControlId(ControlRole::PixelsEdit):
      if (code == EN_CHANGE) controller_->pixelsTyped(WindowText(GetDlgItem(window_, id)));
      return;
    case ControlId(ControlRole::HistoryBox):
      if (code == CBN_EDITCHANGE) controller_->historyTyped(WindowText(historyBox_));
      if (code == CBN_SELCHANGE)
        controller_->historyChosen(static_cast<int>(SendMessageW(historyBox_, CB_GETCURSEL, 0, 0)));
      // The box keeps the focus while its list is down; no focus left is
      // another program's.
      if (code == CBN_KILLFOCUS)
        controller_->historyLeft(GetFocus() == nullptr ? FocusTo::OtherProgram
                                                       : FocusTo::OtherControl);
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
    auto& hint = reinterpret_cast<NMTTDISPINFOW&>(header);
    for (const ToolButton& tool : kToolBar)
      if (!tool.separator() && static_cast<UINT_PTR>(CommandId(tool.command)) == header.idFrom)
        lstrcpynW(hint.szText, WideText(tool.hint).c_str(), std::size(hint.szText));
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

void MainWindow::showOptions(const ShownOptions& options) {
  Check(control(ControlRole::NoteBox), options.note);
  Check(control(ControlRole::GifBox), options.gif);
  SetText(control(ControlRole::PixelsEdit), options.pixels);
}

void MainWindow::showFilePanel(const std::string& shown, const std::string& whole) {
  SendMessageW(statusBar_, SB_SETTEXTW, kFilePart,
               reinterpret_cast<LPARAM>(WideText(shown).c_str()));
  setPanelHint(kFilePart, whole);
}

void MainWindow::showProgress(BarRange bar) {
  SendMessageW(progressBar_, PBM_SETRANGE32, 0, bar.maximum);
  SendMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(bar.position), 0);
}

void MainWindow::showProgramFolder(const std::string& text) { setPanelHint(kCreditPart, text); }

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

void MainWindow::openMenu() { SendMessageW(window_, WM_SYSCOMMAND, SC_KEYMENU, 0); }

void MainWindow::closeWindow() {
  if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
}

}  // namespace quellmar::win32

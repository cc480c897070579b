#include "main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "about_box.h"
#include "commands/commands.h"
#include "controls.h"
#include "model/program_texts.h"
#include "resource.h"
#include "tool_images.h"

namespace quellmar::win32 {
namespace {

constexpr char kClassName[] = "QuellmarForm1";
constexpr char kHistoryEdit[] = "History";
constexpr int kClientWidth = 542;
constexpr int kClientHeight = 384;
constexpr UINT kFormShowMessage = WM_APP + 1;

constexpr DWORD kTab = WS_TABSTOP;

// The controls of the client area; those inside a group box stand at the
// group box's place plus their own.
// clang-format off
const ControlPlace kControls[] = {
  {"BUTTON",    " Logbook informations ", BS_GROUPBOX,                              IDC_INFORMATION, 8,   32,  337, 129},
  {"EDIT",      "",                       ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | kTab,
                                                                                    IDC_MEMO,        16,  56,  321, 97},
  {"BUTTON",    " HTML options ",         BS_GROUPBOX,                              IDC_OPTIONS,     352, 32,  185, 129},
  {"BUTTON",    "Note",                   BS_AUTOCHECKBOX | kTab,                   IDC_NOTE,        360, 56,  169, 17},
  {"BUTTON",    "Dive profil GIF",        BS_AUTOCHECKBOX | kTab,                   IDC_GIF,         360, 72,  169, 17},
  {"EDIT",      "",                       ES_AUTOHSCROLL | WS_BORDER | kTab,        IDC_PX,          360, 90,  25,  21},
  {"STATIC",    "pixel / profile entry",  SS_LEFTNOWORDWRAP,                        IDC_PX_LABEL,    392, 96,  -1,  0},
  {"STATIC",    "Logged dives:",          SS_LEFTNOWORDWRAP,                        IDC_DIVES_LABEL, 8,   168, -1,  0},
  {WC_LISTVIEWA, "",                      LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
                                          LVS_SHOWSELALWAYS | WS_BORDER | kTab,     IDC_DIVES,       8,   184, 529, 153},
  // The height includes the dropped-down list; the closed box is 21 high.
  {"COMBOBOX",  "",                       CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | kTab,
                                                                                    IDC_HISTORY,     0,   344, 543, 200},
};

struct Hint {
  int id;
  const char* text;
};
const Hint kToolHints[] = {
  {IDM_OPEN,        "CSV Open"},
  {IDM_CLOSE,       "CSV Close"},
  {IDM_HTML_EXPORT, "HTML export"},
  {IDM_HTML_VIEW,   "Html preview"},
};
const Hint kControlHints[] = {
  {IDC_NOTE, "Check this for insert dive notes to the html"},
  {IDC_GIF,  "Check this for the profile GIF pictures"},
  {IDC_PX,   "1 entry (depent of the computer settings) 10-20-30 sec"},
};
// clang-format on

const char* ToolHint(UINT_PTR id) {
  for (const Hint& hint : kToolHints)
    if (static_cast<UINT_PTR>(hint.id) == id) return hint.text;
  return nullptr;
}

bool Checked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

TForm1::TForm1(Session& session, HINSTANCE instance) : session_(session), instance_(instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_QUELLMAR));
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExA(&windowClass);  // fails harmlessly when a second window is made

  // Fixed single border, system menu and minimize button: no maximize, no resizing.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, TRUE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT desktop{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &desktop, 0);
  window_ =
      CreateWindowExA(0, kClassName, kMainWindowTitle, style,
                      desktop.left + (desktop.right - desktop.left - width) / 2,
                      desktop.top + (desktop.bottom - desktop.top - height) / 2, width, height,
                      nullptr, LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINMENU)), instance, this);
  if (window_ == nullptr) throw std::runtime_error("Cannot create the main window");
  accelerators_ = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));

  imageList1_ = MakeToolImages();
  buildMenuImages();
  buildToolBar();
  buildControls();
  buildStatusBar();
  buildHints();

  session_.window.setListener(this);
  for (const std::string& line : session_.window.history()) historyAdded(line);
  memoChanged();
  diveListChanged();
  filePanelChanged();
  progressPending_ = true;
  showPending();
}

TForm1::~TForm1() {
  session_.window.setListener(nullptr);
  if (window_ != nullptr) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  if (toolImages_ != nullptr) ImageList_Destroy(toolImages_);
  for (HBITMAP image : imageList1_) DeleteObject(image);
}

void TForm1::buildMenuImages() {
  const std::pair<int, ToolImage> items[] = {{IDM_OPEN, kOpenImage},
                                             {IDM_CLOSE, kCloseImage},
                                             {IDM_HTML_EXPORT, kHtmlExportImage},
                                             {IDM_HTML_VIEW, kHtmlViewImage}};
  for (auto [id, image] : items) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = imageList1_[static_cast<std::size_t>(image)];
    SetMenuItemInfoA(GetMenu(window_), static_cast<UINT>(id), FALSE, &item);
  }
}

void TForm1::buildToolBar() {
  HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                             WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                 CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                             0, 0, kClientWidth, 29, window_,
                             reinterpret_cast<HMENU>(INT_PTR{IDC_TOOLBAR}), instance_, nullptr);
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  toolImages_ = ImageList_Create(16, 16, ILC_COLOR32, 4, 0);
  for (HBITMAP image : imageList1_) ImageList_Add(toolImages_, image, nullptr);
  SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolImages_));
  SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(23, 22));

  // Separator, Open, Close, separator, Make HTML, HTML view; separators 8 wide.
  const auto button = [](int image, int id) {
    return TBBUTTON{image, id, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1};
  };
  const TBBUTTON separator{8, 0, 0, BTNS_SEP, {}, 0, -1};
  const TBBUTTON buttons[] = {separator,
                              button(kOpenImage, IDM_OPEN),
                              button(kCloseImage, IDM_CLOSE),
                              separator,
                              button(kHtmlExportImage, IDM_HTML_EXPORT),
                              button(kHtmlViewImage, IDM_HTML_VIEW)};
  SendMessageA(bar, TB_ADDBUTTONSA, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
  SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(23, 22));
}

void TForm1::buildControls() {
  CreateControls(window_, kControls, WindowFont());
  memo_ = GetDlgItem(window_, IDC_MEMO);
  SendMessageA(memo_, EM_SETLIMITTEXT, 0, 0);  // as long as memory allows
  diveList_ = GetDlgItem(window_, IDC_DIVES);
  history_ = GetDlgItem(window_, IDC_HISTORY);

  const ExportOptions& chosen = session_.window.options;
  SendDlgItemMessageA(window_, IDC_NOTE, BM_SETCHECK, chosen.note ? BST_CHECKED : BST_UNCHECKED, 0);
  SendDlgItemMessageA(window_, IDC_GIF, BM_SETCHECK, chosen.gif ? BST_CHECKED : BST_UNCHECKED, 0);
  SetDlgItemTextA(window_, IDC_PX, chosen.px.c_str());

  // One column as wide as the list; lines come from the window model as they
  // are drawn, so a logbook of any size is listed at once.
  ListView_SetExtendedListViewStyle(diveList_, LVS_EX_FULLROWSELECT);
  RECT inside{};
  GetClientRect(diveList_, &inside);
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  column.cx = inside.right - GetSystemMetrics(SM_CXVSCROLL);
  SendMessageA(diveList_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));

  SetWindowTextA(history_, kHistoryEdit);
}

void TForm1::buildStatusBar() {
  statusBar_ = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | SBT_TOOLTIPS |
                                   CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                               0, kClientHeight - 19, kClientWidth, 19, window_,
                               reinterpret_cast<HMENU>(INT_PTR{IDC_STATUSBAR}), instance_, nullptr);
  SendMessageA(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
  // The credit panel 90 wide, the file panel 200 wide, then the empty rest.
  const int edges[] = {90, 290, -1};
  SendMessageA(statusBar_, SB_SETPARTS, std::size(edges), reinterpret_cast<LPARAM>(edges));
  SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(kCreditPanelText));

  // Over the empty right-hand part of the status bar.
  progressBar_ = CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, 352, 5, 186,
                                 10, statusBar_, reinterpret_cast<HMENU>(INT_PTR{IDC_PROGRESSBAR}),
                                 instance_, nullptr);
  SendMessageA(progressBar_, PBM_SETRANGE32, 0, 100);
}

void TForm1::buildHints() {
  hints_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                           nullptr, instance_, nullptr);
  for (const Hint& hint : kControlHints) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window_, hint.id));
    tool.lpszText = const_cast<char*>(hint.text);
    SendMessageA(hints_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void TForm1::showProgramFolder(const std::string& text) {
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(statusBar_);
  tool.lpszText = const_cast<char*>(text.c_str());  // copied by the tooltip
  SendMessageA(hints_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

bool TForm1::handleKey(MSG& msg) {
  if (window_ == nullptr) return false;
  if (TranslateAcceleratorA(window_, accelerators_, &msg)) return true;
  return IsDialogMessageA(window_, &msg) != FALSE;
}

// Handlers.

template <typename Command>
void TForm1::runCommand(Command command) {
  const CommandRunner::End end = commands_.run(command);
  if (end == CommandRunner::End::Ignored) return;
  showPending();
  if (end == CommandRunner::End::CloseNow) PostMessageA(window_, WM_CLOSE, 0, 0);
}

void TForm1::TBOpenClick() {
  runCommand([this] { OpenCsvCommand(session_); });
}

void TForm1::MFile_quitClick() { SendMessageA(window_, WM_CLOSE, 0, 0); }

void TForm1::TBCloseClick() {
  runCommand([this] { CloseCsvCommand(session_); });
}

void TForm1::CB_historyExit() {
  SetWindowTextA(history_, kHistoryEdit);
  session_.window.setHistoryEdit(kHistoryEdit);
}

void TForm1::MList_htmlClick() {
  runCommand([this] { ExportHtmlCommand(session_); });
}

void TForm1::MHelp_aboutClick() {
  if (aboutBox_ != nullptr) aboutBox_->showModal(window_);
}

void TForm1::FormShow() {
  if (aboutBox_ != nullptr) aboutBox_->showModal(window_);
  if (!startWarning_.empty()) {
    session_.platform.showMessage(MessageKind::Warning, std::exchange(startWarning_, {}),
                                  MessageButtons::Ok);
  }
  if (startFile_) {
    const std::string path = *std::exchange(startFile_, std::nullopt);
    runCommand([this, &path] { OpenCsvPathCommand(session_, path); });
  }
}

void TForm1::List_viewClick() {
  runCommand([this] { ViewHtmlCommand(session_); });
}

// Messages.

LRESULT CALLBACK TForm1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<TForm1*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    form->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TForm1*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return form->handleMessage(message, wParam, lParam);
}

LRESULT TForm1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return notify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_NOTIFYFORMAT:
      return NFR_ANSI;  // the texts are bytes of the ANSI code page
    case WM_SHOWWINDOW:
      // Every time the window is shown (not when it comes back from the task
      // bar), the about dialog is shown over it, once the window is on screen.
      if (wParam && lParam == 0) PostMessageA(window_, kFormShowMessage, 0, 0);
      break;
    case kFormShowMessage:
      FormShow();
      return 0;
    case WM_CLOSE:
      // A close asked for while an import or export runs waits for its end;
      // otherwise nothing is saved or asked.
      if (commands_.mayClose()) DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      if (quitWhenClosed_) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

void TForm1::command(int id, int code) {
  switch (id) {
    case IDM_OPEN:
      return TBOpenClick();
    case IDM_CLOSE:
      return TBCloseClick();
    case IDM_QUIT:
      return MFile_quitClick();
    case IDM_HTML_EXPORT:
      return MList_htmlClick();
    case IDM_HTML_VIEW:
      return List_viewClick();
    case IDM_ABOUT:
      return MHelp_aboutClick();
    // The export reads the options whenever a tag needs them.
    case IDC_NOTE:
      if (code == BN_CLICKED) session_.window.options.note = Checked(GetDlgItem(window_, id));
      return;
    case IDC_GIF:
      if (code == BN_CLICKED) session_.window.options.gif = Checked(GetDlgItem(window_, id));
      return;
    case IDC_PX:
      if (code == EN_CHANGE) session_.window.options.px = WindowText(GetDlgItem(window_, id));
      return;
    case IDC_HISTORY:
      if (code == CBN_EDITCHANGE) session_.window.setHistoryEdit(WindowText(history_));
      if (code == CBN_SELCHANGE) {
        // The box lists the history's lines in their order.
        const auto index = SendMessageA(history_, CB_GETCURSEL, 0, 0);
        const auto& lines = session_.window.history();
        if (index >= 0 && static_cast<std::size_t>(index) < lines.size())
          session_.window.setHistoryEdit(lines[static_cast<std::size_t>(index)]);
      }
      if (code == CBN_KILLFOCUS) CB_historyExit();
      return;
  }
}

LRESULT TForm1::notify(NMHDR& header) {
  if (header.hwndFrom == diveList_ &&
      (header.code == LVN_GETDISPINFOA || header.code == LVN_GETDISPINFOW)) {
    const auto& lines = session_.window.diveList();
    // The A and W forms of the item differ only in the text's character type.
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
    if ((item.mask & LVIF_TEXT) == 0 || item.cchTextMax <= 0 || item.iItem < 0 ||
        static_cast<std::size_t>(item.iItem) >= lines.size())
      return 0;
    const std::string& line = lines[static_cast<std::size_t>(item.iItem)];
    if (header.code == LVN_GETDISPINFOA) {
      lstrcpynA(item.pszText, line.c_str(), item.cchTextMax);
    } else {
      auto* wide = reinterpret_cast<wchar_t*>(item.pszText);
      const int written = MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()),
                                              wide, item.cchTextMax - 1);
      wide[std::max(written, 0)] = L'\0';
    }
    return 0;
  }
  if (header.code == TTN_GETDISPINFOA || header.code == TTN_GETDISPINFOW) {
    // The tool buttons' hints.
    const char* hint = ToolHint(header.idFrom);
    if (hint == nullptr) return 0;
    if (header.code == TTN_GETDISPINFOA) {
      reinterpret_cast<NMTTDISPINFOA&>(header).lpszText = const_cast<char*>(hint);
    } else {
      auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
      MultiByteToWideChar(CP_ACP, 0, hint, -1, info.szText,
                          static_cast<int>(std::size(info.szText)));
      info.lpszText = info.szText;
    }
  }
  return 0;
}

// The window model's changes.

void TForm1::memoChanged() {
  const auto& lines = session_.window.memo();
  if (lines.size() == memoLinesShown_ + 1 && !lines.empty()) {
    const std::string added = (memoLinesShown_ == 0 ? "" : "\r\n") + lines.back();
    const auto end = GetWindowTextLengthA(memo_);
    SendMessageA(memo_, EM_SETSEL, end, end);
    SendMessageA(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
  } else {
    std::string shown;
    for (std::size_t i = 0; i < lines.size(); ++i) shown += (i == 0 ? "" : "\r\n") + lines[i];
    SetWindowTextA(memo_, shown.c_str());
  }
  memoLinesShown_ = lines.size();
}

void TForm1::diveListChanged() {
  SendMessageA(diveList_, LVM_SETITEMCOUNT, session_.window.diveList().size(), 0);
  InvalidateRect(diveList_, nullptr, TRUE);
  selectionPending_ = false;
}

void TForm1::diveSelected(int) {
  selectionPending_ = true;
  followWork();
}

void TForm1::historyAdded(const std::string& line) {
  // Adding a line does not change what the closed box shows.
  SendMessageA(history_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void TForm1::filePanelChanged() {
  const std::string& text = session_.window.filePanel();
  SendMessageA(statusBar_, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(statusBar_, SB_SETTIPTEXTA, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void TForm1::progressChanged() {
  progressPending_ = true;
  followWork();
}

void TForm1::followWork() {
  const CommandRunner::Show show = commands_.onChange();
  if (show == CommandRunner::Show::Later) return;
  showPending();
  if (show != CommandRunner::Show::Repaint) return;
  // During a command: repaints what changed since the last time, and whatever
  // the desktop asks for, without taking user input, so that the window does
  // not pass for hung during long work.
  MSG paint;
  while (PeekMessageA(&paint, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageA(&paint);
}

void TForm1::showPending() {
  if (window_ == nullptr) return;
  if (progressPending_) {
    progressPending_ = false;
    const BarRange bar = ProgressBarRange(session_.window);
    SendMessageA(progressBar_, PBM_SETRANGE32, 0, bar.maximum);
    SendMessageA(progressBar_, PBM_SETPOS, static_cast<WPARAM>(bar.position), 0);
  }
  if (selectionPending_) {
    selectionPending_ = false;
    const int index = session_.window.selectedDive();
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(diveList_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
    if (index >= 0 && static_cast<std::size_t>(index) < session_.window.diveList().size()) {
      state.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageA(diveList_, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&state));
      SendMessageA(diveList_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    }
  }
}

}  // namespace quellmar::win32

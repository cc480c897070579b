// What the two desktop windows show, and where, described once for both:
// the main window's menus, tool bar, controls and status bar, and the about
// dialog's controls. A window makes its parts from these tables in their
// order, which is the order Tab goes, and sends each menu item's, tool
// button's and key's command to its MainWindowController
// (window/main_window_controller.h). Places and sizes
// are pixels at 96 DPI; the windows scale them.
#pragma once

#include <functional>
#include <optional>
#include <span>

#include "window/caption_fit.h"
#include "window/program_texts.h"
#include "window/tool_images.h"

namespace quellmar {

// What a menu item, a tool button or a key asks for.
enum class WindowCommand {
  OpenCsv,
  CloseCsv,
  ExportHtml,
  ViewHtml,
  ExportUddf,
  ShowAbout,
  Quit,
  OpenMenu,
};

struct Place {
  int left, top, width, height;
};

// The menus.

struct MenuItem {
  const char* name;     // the name a window knows it by
  const char* caption;  // UTF-8, "&" before the mnemonic; nullptr: a separator
  WindowCommand command = {};
  char key = 0;                         // with Ctrl: 'O' is Ctrl+O; 0: none
  std::optional<ToolImage> image = {};  // the tool button's, beside the caption

  bool separator() const { return caption == nullptr; }
};

struct Menu {
  const char* name;
  const char* caption;
  std::span<const MenuItem> items;
};

// clang-format off
inline constexpr MenuItem kFileMenu[] = {
  {"openCsvItem",   "&Open CSV",  WindowCommand::OpenCsv,  'O', ToolImage::Open},
  {"closeCsvItem",  "&Close CSV", WindowCommand::CloseCsv, 0,   ToolImage::Close},
  {"quitSeparator", nullptr},
  {"quitItem",      "&Quit",      WindowCommand::Quit,     'Q'},
};
inline constexpr MenuItem kLogbookMenu[] = {
  {"exportHtmlItem", "HTML &export",       WindowCommand::ExportHtml, 'E', ToolImage::HtmlExport},
  {"viewHtmlItem",   "HTML &view",         WindowCommand::ViewHtml,   'B', ToolImage::HtmlView},
  {"exportUddfItem", "&UDDF export\u2026", WindowCommand::ExportUddf, 'U'},
};
inline constexpr MenuItem kHelpMenu[] = {
  {"aboutItem", "&About", WindowCommand::ShowAbout},
};
inline constexpr Menu kMenus[] = {
  {"fileMenu",    "&File",    kFileMenu},
  {"logbookMenu", "&Logbook", kLogbookMenu},
  {"helpMenu",    "&Help",    kHelpMenu},
};
// clang-format on

// The main window: its client area, the tool bar at its top and the status
// bar at its bottom.

inline constexpr Extent kMainWindowSize = {542, 384};
inline constexpr Place kToolBarPlace = {0, 0, 542, 29};
inline constexpr Extent kToolButtonSize = {23, 22};
inline constexpr int kToolSeparatorWidth = 8;

struct ToolButton {
  const char* name;
  const char* caption;  // not shown: the button shows its image
  const char* hint;     // nullptr: a separator
  ToolImage image = {};
  WindowCommand command = {};

  bool separator() const { return hint == nullptr; }
};

// clang-format off
inline constexpr ToolButton kToolBar[] = {
  {"fileToolSeparator", nullptr, nullptr},
  {"openButton",        "Open",      "CSV Open",     ToolImage::Open,       WindowCommand::OpenCsv},
  {"closeButton",       "Close",     "CSV Close",    ToolImage::Close,      WindowCommand::CloseCsv},
  {"htmlToolSeparator", nullptr, nullptr},
  {"exportButton",      "Make HTML", "HTML export",  ToolImage::HtmlExport, WindowCommand::ExportHtml},
  {"viewButton",        "",          "Html preview", ToolImage::HtmlView,   WindowCommand::ViewHtml},
};
// clang-format on

struct StatusPanel {
  const char* name;
  int width;
  const char* text;
};

// From the left: the credit, then the path of the open export.
inline constexpr Place kStatusBarPlace = {0, 365, 542, 19};
inline constexpr StatusPanel kCreditPanel = {"creditPanel", 90, kCreditPanelText};
inline constexpr StatusPanel kFilePanel = {"filePanel", 200, ""};
// What a panel's frame and the indent of its text take of its width.
inline constexpr int kPanelTextMargin = 6;
// Over the empty right-hand part of the status bar.
inline constexpr Place kProgressBarPlace = {352, 370, 186, 10};

// The controls of the client area and of the about dialog.

enum class ControlKind {
  GroupBox,       // a frame with its caption in its top line
  Memo,           // lines of text, with a vertical scroll bar; Tab leaves it
  CheckBox,       // a box to tick, with its caption beside it
  LineEdit,       // one line of text
  Label,          // one line, as wide as its caption
  WrappedLabel,   // word-wrapped at its width
  List,           // one column of lines, one of them selected
  ComboBox,       // an edit field over a list that drops down
  Frame,          // a bevelled panel
  Picture,        // an image stretched to its size
  Link,           // an address, blue, bold and underlined, opened by a click
  DefaultButton,  // the push button that Enter presses
};

// What each control is there for; the windows find their controls by it.
enum class ControlRole {
  InfoGroup,
  InfoMemo,
  OptionsGroup,
  NoteBox,
  GifBox,
  PixelsEdit,
  PixelsLabel,
  DiveListLabel,
  DiveList,
  HistoryBox,
  FramePanel,
  Picture,
  TitleLabel,
  VersionLabel,
  CreditLabel,
  CommentLabel,
  EmailLink,
  WebLink,
  OkButton,
};

struct ControlLayout {
  ControlRole role;
  ControlKind kind;
  const char* name;          // the name a window knows it by
  const char* caption = "";  // UTF-8, "&" before the mnemonic
  const char* hint = "";
  // In the box it stands in, else in the window; a width of -1: as wide and
  // high as its caption.
  Place place = {};
  // The most it may grow to where its caption needs it: a width or height of
  // 0 keeps its own.
  Extent room = {};
  std::optional<ControlRole> in = {};     // the group box or frame it stands in
  std::optional<ControlRole> buddy = {};  // the control a label's mnemonic leads to
};

// The labels and check boxes may grow up to the right edge of their box or
// window, short of the line drawn there.
inline constexpr ControlLayout kMainWindowControls[] = {
    {.role = ControlRole::InfoGroup,
     .kind = ControlKind::GroupBox,
     .name = "infoGroup",
     .caption = " Logbook informations ",
     .place = {8, 32, 337, 129}},
    {.role = ControlRole::InfoMemo,
     .kind = ControlKind::Memo,
     .name = "infoMemo",
     .place = {8, 24, 321, 97},
     .in = ControlRole::InfoGroup},
    {.role = ControlRole::OptionsGroup,
     .kind = ControlKind::GroupBox,
     .name = "optionsGroup",
     .caption = " HTML options ",
     .place = {352, 32, 185, 129}},
    {.role = ControlRole::NoteBox,
     .kind = ControlKind::CheckBox,
     .name = "noteBox",
     .caption = "&Note",
     .hint = "Check this for insert dive notes to the html",
     .place = {8, 24, 169, 17},
     .room = {175, 0},
     .in = ControlRole::OptionsGroup},
    {.role = ControlRole::GifBox,
     .kind = ControlKind::CheckBox,
     .name = "gifBox",
     .caption = "Dive profil &GIF",
     .hint = "Check this for the profile GIF pictures",
     .place = {8, 40, 169, 17},
     .room = {175, 0},
     .in = ControlRole::OptionsGroup},
    {.role = ControlRole::PixelsEdit,
     .kind = ControlKind::LineEdit,
     .name = "pixelsEdit",
     .hint = "1 entry (depent of the computer settings) 10-20-30 sec",
     .place = {8, 58, 25, 21},
     .in = ControlRole::OptionsGroup},
    {.role = ControlRole::PixelsLabel,
     .kind = ControlKind::Label,
     .name = "pixelsLabel",
     .caption = "&pixel / profile entry",
     .place = {40, 64, -1, 0},
     .room = {143, 0},
     .in = ControlRole::OptionsGroup,
     .buddy = ControlRole::PixelsEdit},
    {.role = ControlRole::DiveListLabel,
     .kind = ControlKind::Label,
     .name = "diveListLabel",
     .caption = "Logged &dives:",
     .place = {8, 168, -1, 0},
     .room = {532, 0},
     .buddy = ControlRole::DiveList},
    {.role = ControlRole::DiveList,
     .kind = ControlKind::List,
     .name = "diveList",
     .place = {8, 184, 529, 153}},
    {.role = ControlRole::HistoryBox,
     .kind = ControlKind::ComboBox,
     .name = "historyBox",
     .place = {0, 344, 543, 21}},
};

inline constexpr char kAboutTitle[] = "About";
inline constexpr Extent kAboutDialogSize = {390, 267};

// The labels may grow up to the frame's right edge, the comment down to the
// e-mail link, which stands above the web link.
inline constexpr ControlLayout kAboutControls[] = {
    {.role = ControlRole::FramePanel,
     .kind = ControlKind::Frame,
     .name = "framePanel",
     .place = {8, 8, 369, 217}},
    {.role = ControlRole::Picture,
     .kind = ControlKind::Picture,
     .name = "picture",
     .place = {8, 8, 200, 200},
     .in = ControlRole::FramePanel},
    {.role = ControlRole::TitleLabel,
     .kind = ControlKind::Label,
     .name = "titleLabel",
     .caption = "Quellmar",
     .place = {216, 16, -1, 0},
     .room = {151, 0},
     .in = ControlRole::FramePanel},
    {.role = ControlRole::VersionLabel,
     .kind = ControlKind::Label,
     .name = "versionLabel",
     .caption = kAboutVersion,
     .place = {216, 32, -1, 0},
     .room = {151, 0},
     .in = ControlRole::FramePanel},
    {.role = ControlRole::CreditLabel,
     .kind = ControlKind::Label,
     .name = "creditLabel",
     .caption = kAboutCredit,
     .place = {216, 48, -1, 0},
     .room = {151, 0},
     .in = ControlRole::FramePanel},
    {.role = ControlRole::CommentLabel,
     .kind = ControlKind::WrappedLabel,
     .name = "commentLabel",
     .caption = kAboutComments,
     .place = {216, 72, 137, 65},
     .room = {137, 70},
     .in = ControlRole::FramePanel},
    {.role = ControlRole::EmailLink,
     .kind = ControlKind::Link,
     .name = "emailLink",
     .caption = kEmailAddress,
     .place = {216, 144, -1, 0},
     .room = {151, 0},
     .in = ControlRole::FramePanel},
    {.role = ControlRole::WebLink,
     .kind = ControlKind::Link,
     .name = "webLink",
     .caption = kWebAddress,
     .place = {216, 160, -1, 0},
     .room = {151, 0},
     .in = ControlRole::FramePanel},
    {.role = ControlRole::OkButton,
     .kind = ControlKind::DefaultButton,
     .name = "okButton",
     .caption = "OK",
     .place = {167, 236, 75, 25}},
};

// The one font of the status bar, at most 8 points: the largest in which the
// credit fits its panel, given the panel's size and the window's scale as in
// MainWindowController::filePanelMeasured, and textSize(points), the size of
// the credit in the font of that size.
double StatusBarPoints(Extent creditPanel, double scale,
                       const std::function<Extent(double points)>& textSize);

// The most a control may grow to where its caption needs it: its room, at the
// window's scale (1.5 at 150 %), where the table gives one, else its size as
// laid out; a control laid out as large as its caption may grow down.
Extent CaptionRoom(const ControlLayout& control, Extent laidOut, double scale);

// The control of that role among controls, which hold it.
const ControlLayout& FindControl(std::span<const ControlLayout> controls, ControlRole role);

// The control's place in the window: its own place in the box it stands in
// moved by the box's place.
Place PlaceInWindow(std::span<const ControlLayout> controls, const ControlLayout& control);

}  // namespace quellmar

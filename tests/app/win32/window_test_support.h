// What the Windows window's tests share: a platform whose modal boxes the
// test answers, a stand-in user for the real modal windows, and a look at a
// control's place in its window.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "support/test_platform.h"
#include "win32_platform.h"
#include "window/window_layout.h"

namespace quellmar::testing {

// The real Win32 platform (file choice of a start file, clipboard) with the
// message boxes, the error box and the shell answered and recorded by the
// window-less test platform instead.
class AnsweringPlatform : public win32::Win32Platform {
 public:
  explicit AnsweringPlatform(std::filesystem::path programDir) : recorder(std::move(programDir)) {}

  MessageAnswer showMessage(MessageKind kind, const std::string& text, MessageButtons buttons,
                            const std::string& details) override {
    return recorder.showMessage(kind, text, buttons, details);
  }
  void showError(const std::string& text, const std::string& details) override {
    recorder.showError(text, details);
  }
  std::optional<std::filesystem::path> chooseUddfFile(const std::filesystem::path&) override {
    return std::nullopt;
  }
  bool openDocument(const std::filesystem::path& document, std::string& reason) override {
    return recorder.openDocument(document, reason);
  }
  std::filesystem::path programDirectory() const override { return recorder.programDirectory(); }

  TestPlatform recorder;
};

// Plays the user of the modal windows that the code under test shows: each
// step runs, a moment apart, on the modal window of this thread that is up
// then (a dialog box or a message box).
class ModalUser {
 public:
  explicit ModalUser(std::vector<std::function<void(HWND)>> steps);
  ~ModalUser();
  ModalUser(const ModalUser&) = delete;
  ModalUser& operator=(const ModalUser&) = delete;

  bool done() const { return next_ == steps_.size(); }
  std::vector<std::string> titles;  // of the window each step found

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  std::vector<std::function<void(HWND)>> steps_;
  std::size_t next_ = 0;
  UINT_PTR timer_ = 0;
};

// The modal window of this thread that is shown now, or nullptr.
HWND ShownDialog();
// A key pressed on the window that has the focus.
void PressKey(WPARAM key);
// Handles the waiting messages of this thread until done() or a time out.
void PumpUntil(const std::function<bool()>& done);
std::string Text(HWND window);  // UTF-8

struct ControlRow {
  int id;
  const char* className;         // nullptr: not checked
  const char* text;              // nullptr: not checked; "&" marks no mnemonic
  int left, top, width, height;  // in the window's client area; -1: as the text needs
};
// The controls as their table lays them out in the window, with their
// captions; the text of an edit field or a combo box is not checked, and a
// combo box is as high as its list dropped down.
std::vector<ControlRow> LaidOutControls(std::span<const ControlLayout> controls);

// Checks the controls of parent (found by id): class, text and place.
void ExpectControls(HWND parent, std::span<const ControlRow> rows);

// The same controls at the scale of dpi: each at its place scaled, at least its
// size scaled (but for rounding), its caption fitting it, in a font of 6 to 8
// points at dpi.
void ExpectScaledControls(HWND parent, std::span<const ControlRow> rows, UINT dpi);

// The desktop's DPI, which the scaling test runs set (QUELLMAR_TEST_DPI) and
// check that wine took.
UINT DesktopDpi();

}  // namespace quellmar::testing

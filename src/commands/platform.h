// The services of the desktop that the program's logic needs: message boxes,
// the file dialog's choice, the shell's "open with the default application",
// the clipboard and the program's own directory. The Qt program implements
// them with Qt; the command line and the tests without a window.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "basic/indexed_image.h"

namespace quellmar {

enum class MessageKind { Warning, Information, Confirm };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Title of a message box of the given kind: "Warning", "Information", "Confirm".
const char* MessageTitle(MessageKind kind);

// The button that a box of these buttons has as its default, the one that
// Enter presses: No for Yes and No (the only such question empties the Output
// directory, which must never happen by default), OK otherwise.
MessageAnswer DefaultAnswer(MessageButtons buttons);

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box with DefaultAnswer(buttons) as its default button;
  // returns the button pressed (closing the box counts as Cancel or No). Texts
  // are UTF-8. The text is the program's own; details, when not empty, say which file and
  // the system's reason ("PATH: Permission denied"), or where the logbook
  // was written, and are shown beside it (a box's details, a second line).
  virtual MessageAnswer showMessage(MessageKind kind, const std::string& text,
                                    MessageButtons buttons, const std::string& details = {}) = 0;

  // The error box for an error that ended a command; the text already has its
  // closing full stop. Details as for showMessage.
  virtual void showError(const std::string& text, const std::string& details = {}) = 0;

  // The CSV file chosen in the file-open dialog, which opens in folder; nothing
  // when cancelled.
  virtual std::optional<std::filesystem::path> chooseCsvFile(
      const std::filesystem::path& folder) = 0;

  // Where to save the UDDF file, from a save dialog that starts at the
  // suggested path; nothing when cancelled. The dialog asks before it lets
  // an existing file be chosen.
  virtual std::optional<std::filesystem::path> chooseUddfFile(
      const std::filesystem::path& suggested) = 0;

  // Hands a document or an address to the desktop's default application,
  // without waiting for it; false, with the system's reason, when the
  // desktop refuses it.
  virtual bool openDocument(const std::filesystem::path& document, std::string& reason) = 0;

  // Puts a profile picture on the system clipboard; false when the clipboard
  // cannot be opened. Without a clipboard this does nothing and succeeds.
  virtual bool copyToClipboard(const IndexedImage& picture) = 0;

  // The folder of templates (html/), icons (pict/) and the Output directory.
  virtual std::filesystem::path programDirectory() const = 0;
};

}  // namespace quellmar

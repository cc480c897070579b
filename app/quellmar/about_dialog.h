// The about dialog: the program's picture, title, version, a comment and two
// link labels (e-mail and web) that open with the desktop's default handler.
// Made once at start, hidden, and shown modally whenever it is asked for.
#pragma once

#include <QDialog>

#include "commands/platform.h"

class QPushButton;

namespace quellmar {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  AboutDialog(Platform& platform, QWidget* parent);

 protected:
  // Escape does not close the dialog: it has no cancel button.
  void keyPressEvent(QKeyEvent* event) override;
  // Each showing begins on OK, so that Enter closes the dialog.
  void showEvent(QShowEvent* event) override;

 private:
  // Opens the caption of the link label that sent the click.
  void openLink();

  Platform& platform_;
  QPushButton* okButton_ = nullptr;
};

}  // namespace quellmar

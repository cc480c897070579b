// What the two windows share: their font, the way a control gets its name,
// the rule that every caption fits its control, and the controls made from
// the windows' description (window/window_layout.h).
#pragma once

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QSize>
#include <QString>
#include <map>
#include <span>

#include "window/window_layout.h"

namespace quellmar {

// 8 points, in the face the windows were laid out for or one of its width.
QFont WindowFont();

// Gives the control the name that tests and styles find it by.
template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

// The caption of the control fitted by the windows' one rule (FitCaption in
// window/caption_fit.h): it grows up to `most`, then its font steps down.
void FitCaption(QWidget* control, QSize most);

// Makes the controls in their order, each in the box it stands in or else in
// parent, at its place and with its caption fitted; they are found by role.
std::map<ControlRole, QWidget*> MakeControls(std::span<const ControlLayout> controls,
                                             QWidget* parent);

// A label whose caption is an address; a click on it, or Space or Enter while
// it has the focus, reports the click.
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  LinkLabel(const QString& caption, QWidget* parent);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

// A panel drawn with a lowered outer and a raised inner bevel.
class BevelPanel : public QFrame {
 public:
  using QFrame::QFrame;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace quellmar

// What the two windows share: their font, the way a control gets its name
// and a label its place, and the rule that every caption fits its control.
#pragma once

#include <QFont>
#include <QLabel>
#include <QSize>
#include <QString>

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
// commands/caption_fit.h): it grows up to `most`, then its font steps down.
void FitCaption(QWidget* control, QSize most);

// A label with its top-left corner at left, top, as wide as its caption and at
// most as far as its parent's right edge.
QLabel* PlacedLabel(const char* name, const QString& caption, int left, int top, QWidget* parent);

// The widest a control at its place may grow: up to its parent's right edge,
// short of the frame drawn there, at its own height.
QSize RoomToTheRight(const QWidget* control);

}  // namespace quellmar

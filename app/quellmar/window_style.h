// What the two windows share: their font, and the way a control gets its
// name and a label its place.
#pragma once

#include <QFont>
#include <QLabel>
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

// A label with its top-left corner at left, top, as wide as its caption.
QLabel* PlacedLabel(const char* name, const QString& caption, int left, int top, QWidget* parent);

}  // namespace quellmar

#include "window_style.h"

#include <QStringList>

namespace quellmar {

QFont WindowFont() {
  // The windows were laid out for MS Sans Serif; where the desktop lacks it,
  // a face of the same width takes its place.
  QFont font(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                         QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
  font.setPointSize(8);
  return font;
}

QLabel* PlacedLabel(const char* name, const QString& caption, int left, int top, QWidget* parent) {
  auto* label = Named(new QLabel(caption, parent), name);
  label->move(left, top);
  label->adjustSize();
  return label;
}

}  // namespace quellmar

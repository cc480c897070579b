#include "window_style.h"

#include <QCheckBox>
#include <QStringList>

#include "commands/caption_fit.h"

namespace quellmar {
namespace {

// The line a frame or bevel draws at a parent's edge.
constexpr int kParentEdge = 2;

// The size a control needs to show its whole caption: a label's size hint
// (for a word-wrapped label, the height its text takes at its width), a
// check box's width and its text's height.
QSize CaptionSize(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    if (label->wordWrap()) return {label->width(), label->heightForWidth(label->width())};
    return label->sizeHint();
  }
  if (const auto* box = qobject_cast<const QCheckBox*>(control))
    return {box->sizeHint().width(), box->fontMetrics().height()};
  return {};
}

}  // namespace

QFont WindowFont() {
  // The windows were laid out for MS Sans Serif; where the desktop lacks it,
  // a face of the same width takes its place.
  QFont font(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                         QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
  font.setPointSize(8);
  return font;
}

void FitCaption(QWidget* control, QSize most) {
  const auto sized = [control](double points) {
    QFont font = control->font();
    font.setPointSizeF(points);
    control->setFont(font);
    const QSize needed = CaptionSize(control);
    return Extent{needed.width(), needed.height()};
  };
  const CaptionFit fit =
      quellmar::FitCaption({control->width(), control->height()}, {most.width(), most.height()},
                           control->font().pointSizeF(), sized);
  sized(fit.points);
  control->resize(fit.size.width, fit.size.height);
}

QSize RoomToTheRight(const QWidget* control) {
  const QWidget* parent = control->parentWidget();
  return {parent->width() - kParentEdge - control->x(), control->height()};
}

QLabel* PlacedLabel(const char* name, const QString& caption, int left, int top, QWidget* parent) {
  auto* label = Named(new QLabel(caption, parent), name);
  label->move(left, top);
  label->adjustSize();
  FitCaption(label, RoomToTheRight(label));
  return label;
}

}  // namespace quellmar

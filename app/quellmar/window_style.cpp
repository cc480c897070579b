#include "window_style.h"

#include <qdrawutil.h>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "window/caption_fit.h"

namespace quellmar {
namespace {

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

QWidget* MakeWidget(ControlKind kind, const QString& caption, QWidget* parent) {
  switch (kind) {
    case ControlKind::GroupBox:
      return new QGroupBox(caption, parent);
    case ControlKind::Memo: {
      auto* memo = new QPlainTextEdit(parent);
      memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      memo->setTabChangesFocus(true);  // Tab leads on to the next control, as everywhere else
      return memo;
    }
    case ControlKind::CheckBox:
      return new QCheckBox(caption, parent);
    case ControlKind::LineEdit:
      return new QLineEdit(parent);
    case ControlKind::Label:
      return new QLabel(caption, parent);
    case ControlKind::WrappedLabel: {
      auto* label = new QLabel(caption, parent);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::List: {
      auto* list = new QListView(parent);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->setEditTriggers(QAbstractItemView::NoEditTriggers);
      list->setUniformItemSizes(true);  // keeps a list of any length fast
      return list;
    }
    case ControlKind::ComboBox: {
      auto* box = new QComboBox(parent);
      box->setEditable(true);
      box->setInsertPolicy(QComboBox::NoInsert);  // only the program adds lines
      return box;
    }
    case ControlKind::Frame:
      return new BevelPanel(parent);
    case ControlKind::Picture: {
      auto* picture = new QLabel(parent);
      picture->setScaledContents(true);
      return picture;
    }
    case ControlKind::Link:
      return new LinkLabel(caption, parent);
    case ControlKind::DefaultButton: {
      auto* button = new QPushButton(caption, parent);
      button->setDefault(true);
      return button;
    }
  }
  return nullptr;
}

QWidget* MakeControl(const ControlLayout& control, QWidget* parent) {
  QWidget* made =
      Named(MakeWidget(control.kind, QString::fromUtf8(control.caption), parent), control.name);
  made->setToolTip(QString::fromUtf8(control.hint));
  const Place& place = control.place;
  made->move(place.left, place.top);
  if (place.width < 0)
    made->adjustSize();
  else
    made->resize(place.width, place.height);
  if (*control.caption != '\0') {
    const Extent most = CaptionRoom(control, {made->width(), made->height()}, 1.0);
    FitCaption(made, {most.width, most.height});
  }
  return made;
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

std::map<ControlRole, QWidget*> MakeControls(std::span<const ControlLayout> controls,
                                             QWidget* parent) {
  std::map<ControlRole, QWidget*> made;
  for (const ControlLayout& control : controls)
    made[control.role] = MakeControl(control, control.in ? made.at(*control.in) : parent);
  for (const ControlLayout& control : controls)
    if (control.buddy)
      static_cast<QLabel*>(made.at(control.role))->setBuddy(made.at(*control.buddy));
  return made;
}

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  QFont font = this->font();
  font.setBold(true);
  font.setUnderline(true);
  setFont(font);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, Qt::blue);
  setPalette(colours);
  setCursor(Qt::PointingHandCursor);
  // Reached by Tab and opened by Space or Enter, as a link in a browser.
  setFocusPolicy(Qt::TabFocus);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit clicked();
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      emit clicked();
      break;
    default:
      QLabel::keyPressEvent(event);
  }
}

void LinkLabel::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  QStyleOptionFocusRect focus;
  focus.initFrom(this);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

void BevelPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  qDrawShadePanel(&painter, rect(), palette(), true, 1);
  qDrawShadePanel(&painter, rect().adjusted(1, 1, -1, -1), palette(), false, 1);
}

}  // namespace quellmar

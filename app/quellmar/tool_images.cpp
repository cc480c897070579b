#include "tool_images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace quellmar {
namespace {

QIcon Draw(const std::function<void(QPainter&)>& paint) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  paint(painter);
  painter.end();
  return QIcon(pixmap);
}

// A yellow folder, the common sign for opening a file.
void Folder(QPainter& p) {
  p.setPen(QPen(QColor(0x8a, 0x6a, 0x1a), 1));
  p.setBrush(QColor(0xf2, 0xc2, 0x4b));
  QPainterPath back;
  back.moveTo(1.5, 3.5);
  back.lineTo(6.5, 3.5);
  back.lineTo(8, 5);
  back.lineTo(14.5, 5);
  back.lineTo(14.5, 13.5);
  back.lineTo(1.5, 13.5);
  back.closeSubpath();
  p.drawPath(back);
  p.setBrush(QColor(0xff, 0xdc, 0x73));
  p.drawPolygon(QPolygonF({{1.5, 13.5}, {3.5, 7.5}, {15.5, 7.5}, {14.5, 13.5}}));
}

// A sheet of paper with the HTML angle brackets on it.
void Page(QPainter& p, const QColor& mark) {
  p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1));
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygonF({{2.5, 0.5}, {10, 0.5}, {13.5, 4}, {13.5, 15.5}, {2.5, 15.5}}));
  p.setPen(QPen(mark, 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({{6.5, 6.5}, {4, 9}, {6.5, 11.5}}));
  p.drawPolyline(QPolygonF({{9.5, 6.5}, {12, 9}, {9.5, 11.5}}));
}

}  // namespace

std::array<QIcon, 4> MakeToolImages() {
  std::array<QIcon, 4> images;
  images[kOpenImage] = Draw(Folder);
  images[kCloseImage] = Draw([](QPainter& p) {
    Folder(p);
    p.setPen(QPen(QColor(0xc0, 0x10, 0x10), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 7), QPointF(14, 13));
    p.drawLine(QPointF(14, 7), QPointF(8, 13));
  });
  images[kHtmlExportImage] = Draw([](QPainter& p) {
    Page(p, QColor(0x10, 0x60, 0xc0));
    p.setPen(QPen(QColor(0x10, 0x90, 0x20), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(1, 3), QPointF(7, 3));
    p.drawPolyline(QPolygonF({{5, 1}, {7, 3}, {5, 5}}));
  });
  images[kHtmlViewImage] = Draw([](QPainter& p) {
    Page(p, QColor(0x10, 0x60, 0xc0));
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.6));
    p.setBrush(QColor(0xcf, 0xe8, 0xff, 0xc0));
    p.drawEllipse(QPointF(9, 10), 3.6, 3.6);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11.8, 12.8), QPointF(14.8, 15.2));
  });
  return images;
}

}  // namespace quellmar

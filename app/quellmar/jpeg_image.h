// Decodes a JPEG image with libjpeg, for the about dialog's picture.
#pragma once

#include <QByteArray>
#include <QImage>

namespace quellmar {

// The decoded picture in RGB, or a null image when the bytes are not a JPEG
// image that libjpeg can read.
QImage DecodeJpeg(const QByteArray& bytes);

}  // namespace quellmar

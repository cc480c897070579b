// Decoding JPEG pictures with libjpeg: the about picture built into the
// program, a grey-scale picture, and bytes that are no picture at all.
#include "jpeg_image.h"

#include <gtest/gtest.h>

#include <QFile>

#include "support/temp_dir.h"

namespace quellmar {
namespace {

QByteArray Stored(const QString& name) {
  QFile file(name);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
  return file.readAll();
}

TEST(DecodeJpeg, AboutPictureIsTheSeaAboveTheSand) {
  const QImage picture = DecodeJpeg(Stored(QStringLiteral(":/about/about.jpg")));
  ASSERT_EQ(picture.size(), QSize(200, 200));
  const QColor water = picture.pixelColor(20, 150);
  const QColor sand = picture.pixelColor(100, 196);
  EXPECT_GT(water.blue(), water.red() + 40);
  EXPECT_GT(sand.red(), sand.blue() + 40);
}

TEST(DecodeJpeg, GreyScalePictureComesOutInRgb) {
  // grayscale_4x2.jpg: mid grey with a white top-left pixel (ImageMagick).
  const QImage picture =
      DecodeJpeg(Stored(QStringLiteral(QUELLMAR_WINDOW_TEST_DATA "/grayscale_4x2.jpg")));
  ASSERT_EQ(picture.size(), QSize(4, 2));
  const QColor grey = picture.pixelColor(3, 1);
  EXPECT_NEAR(grey.red(), 128, 12);
  EXPECT_EQ(grey.red(), grey.green());
  EXPECT_EQ(grey.green(), grey.blue());
  EXPECT_GT(picture.pixelColor(0, 0).red(), grey.red());
}

TEST(DecodeJpeg, BytesThatAreNoJpegGiveNoPicture) {
  // clang-format off
  const QByteArray cases[] = {
    QByteArray(),
    QByteArray("GIF89a not a jpeg"),
    QByteArray("\xFF\xD8\xFF", 3),                    // a start marker, then nothing
    Stored(QStringLiteral(":/desktop/quellmar.png")),  // a PNG picture
  };
  // clang-format on
  for (const QByteArray& bytes : cases) EXPECT_TRUE(DecodeJpeg(bytes).isNull());
}

TEST(DecodeJpeg, CutOffPictureDoesNotCrash) {
  const QByteArray whole = Stored(QStringLiteral(":/about/about.jpg"));
  for (qsizetype length : {qsizetype{20}, whole.size() / 3, whole.size() - 2}) {
    const QImage picture = DecodeJpeg(whole.left(length));
    EXPECT_TRUE(picture.isNull() || picture.size() == QSize(200, 200)) << length;
  }
}

}  // namespace
}  // namespace quellmar

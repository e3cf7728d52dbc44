// Picture files for tests, written with QImage into a directory that lives as long as the test.
#ifndef TALLYJET_TESTS_PICTURE_FILES_H
#define TALLYJET_TESTS_PICTURE_FILES_H

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <string>

class PictureFiles {
 public:
  // Writes the picture as a PNG file named name and answers its path.
  std::string Save(const QImage& picture, const QString& name) {
    const QString path = dir_.filePath(name + ".png");
    EXPECT_TRUE(picture.save(path)) << name.toStdString();
    return path.toStdString();
  }

  // The path of a file that does not exist.
  std::string Missing() const { return dir_.filePath("missing.png").toStdString(); }

  QString Path(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

// A picture of one colour.
inline QImage Filled(int width, int height, QRgb colour) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.fill(colour);
  return picture;
}

#endif  // TALLYJET_TESTS_PICTURE_FILES_H

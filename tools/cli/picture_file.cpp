#include "picture_file.h"

#include <QImageReader>

#include "failure.h"
#include "input_file.h"
#include "tallyjet.h"

bool ReadPictureSize(const std::string& path, PictureSize* size) {
  if (!CheckRegularFile(path)) return false;
  QImageReader reader(QString::fromLocal8Bit(path.c_str()));
  const QSize read = reader.size();
  if (!read.isValid()) {
    Complain("cannot read the picture " + path + ": " + reader.errorString().toStdString());
    return false;
  }
  *size = {read.width(), read.height()};
  const long pixels = static_cast<long>(size->width) * size->height;
  if (pixels > TALLYJET_MAX_PICTURE_PIXELS || size->width > TALLYJET_MAX_PICTURE_WIDTH) {
    Complain("the picture " + path + " is " + std::to_string(size->width) + " x " +
             std::to_string(size->height) + " dots; the library takes at most " +
             std::to_string(TALLYJET_MAX_PICTURE_PIXELS) + " dots (4096 x 4096)");
    return false;
  }
  return true;
}

#include "picture_file.h"

#include <QImageReader>

#include "failure.h"
#include "input_file.h"

bool ReadPictureSize(const std::string& path, PictureSize* size) {
  if (!CheckRegularFile(path)) return false;
  QImageReader reader(QString::fromLocal8Bit(path.c_str()));
  const QSize read = reader.size();
  if (!read.isValid()) {
    Complain("cannot read the picture " + path + ": " + reader.errorString().toStdString());
    return false;
  }
  *size = {read.width(), read.height()};
  return true;
}

#include "picture_decoding.h"

#include <sys/stat.h>

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>
#include <QImageReader>
#include <QSize>
#include <QString>
#include <utility>

#include "quiet_decoding.h"
#include "tallyjet.h"

namespace {

// Only a regular file is handed to the image library: a FIFO would block in open, and a device
// such as /dev/zero is a stream without end.
bool IsRegularFile(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

// The picture as it would look on white paper: a transparent pixel is white, a half-transparent
// one as light as the paper showing through makes it. Opaque pixels keep their exact colour.
QImage OverWhite(QImage picture) {
  if (!picture.hasAlphaChannel()) return picture;
  picture = std::move(picture).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < picture.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < picture.width(); ++x) {
      const int paper = 255 - qAlpha(line[x]);  // premultiplied: each colour is at most alpha
      line[x] = qRgb(qRed(line[x]) + paper, qGreen(line[x]) + paper, qBlue(line[x]) + paper);
    }
  }
  picture.reinterpretAsFormat(QImage::Format_RGB32);  // every pixel is opaque now
  return picture;
}

}  // namespace

// A file of a few hundred kilobytes can describe gigabytes of pixels and a picture many times
// the paper's width.
bool WithinPictureLimits(const QSize& size) {
  return size.width() >= 1 && size.height() >= 1 && size.width() <= TALLYJET_MAX_PICTURE_WIDTH &&
         qint64{size.width()} * size.height() <= TALLYJET_MAX_PICTURE_PIXELS;
}

namespace {

// A GIF's header: signature and version, then the logical screen's width and height (16 bits
// each, least significant byte first).
constexpr int kGifHeaderBytes = 10;
constexpr int kGifScreenAt = 6;

int LittleEndian16(const QByteArray& bytes, int at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

// The size of the picture decoding will make. Qt reports a GIF's first frame, but may paint it on
// a canvas as large as the logical screen its header gives: the larger of the two counts.
QSize DecodedSize(QImageReader* reader) {
  const QSize reported = reader->size();
  QIODevice* device = reader->device();
  if (!reported.isValid() || reader->format() != "gif" || device == nullptr) return reported;
  const qint64 at = device->pos();
  if (!device->seek(0)) return QSize();
  const QByteArray header = device->peek(kGifHeaderBytes);
  if (!device->seek(at) || header.size() < kGifHeaderBytes) return QSize();
  return reported.expandedTo(
      QSize(LittleEndian16(header, kGifScreenAt), LittleEndian16(header, kGifScreenAt + 2)));
}

// The size comes from the picture's header, before a pixel is decoded; a header that gives none
// belongs to a broken picture.
QImage Decode(QImageReader* reader, const QuietDecoding& quiet) {
  if (!WithinPictureLimits(DecodedSize(reader))) return QImage();
  QImage loaded = reader->read();
  // A JPEG cut short decodes with its rest grey: it is as broken as a PNG cut short.
  if (loaded.isNull() || quiet.EndedEarly()) return QImage();
  return OverWhite(std::move(loaded));
}

}  // namespace

QImage DecodeOnWhite(const char* path) {
  if (path == nullptr || !IsRegularFile(path)) return QImage();
  const QuietDecoding quiet;
  QImageReader reader(QString::fromUtf8(path));
  return Decode(&reader, quiet);
}

// The bytes are read where they lie, not copied.
QImage DecodeOnWhite(const void* data, int length) {
  if (data == nullptr || length < 1) return QImage();
  const QuietDecoding quiet;
  const QByteArray bytes = QByteArray::fromRawData(static_cast<const char*>(data), length);
  QBuffer buffer;
  buffer.setData(bytes);
  if (!buffer.open(QIODevice::ReadOnly)) return QImage();
  QImageReader reader(&buffer);
  return Decode(&reader, quiet);
}

#include "glyphs.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>
#include <algorithm>

namespace vprinter {
namespace {

// A monospaced face, stretched to fill the cell: its advance to the cell's width, its ascent
// and descent to the cell's height.
QFont FaceFor(const TextStyle& style) {
  QFont face("DejaVu Sans Mono");
  face.setStyleHint(QFont::Monospace);
  face.setPixelSize(20);
  face.setBold(style.emphasis || style.doubleStrike);
  face.setItalic(style.italic);
  return face;
}

// The character drawn stretched over a cell of width x height dots, underlined by underline dots.
QImage DrawCell(const QString& character, const TextStyle& style, int width, int height,
                int underline, int columns) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(style.reverse ? Qt::black : Qt::white);
  QPainter painter(&image);
  const QFont face = FaceFor(style);
  const QFontMetricsF metrics(face);
  painter.setFont(face);
  painter.setPen(style.reverse ? Qt::white : Qt::black);
  painter.scale(width / (columns * metrics.horizontalAdvance(QLatin1Char('M'))),
                height / metrics.height());
  painter.drawText(QPointF(0, metrics.ascent()), character);
  painter.resetTransform();
  if (underline > 0 && !style.reverse) {
    painter.fillRect(0, height - underline, width, underline, Qt::black);
  }
  return image;
}

// The image with blank dots added left and right.
QImage Spaced(const QImage& image, int left, int right) {
  if (left <= 0 && right <= 0) return image;
  QImage spaced(image.width() + std::max(0, left) + std::max(0, right), image.height(),
                QImage::Format_RGB32);
  spaced.fill(Qt::white);
  QPainter painter(&spaced);
  painter.drawImage(std::max(0, left), 0, image);
  return spaced;
}

}  // namespace

Cell CellOf(int font) { return font == 0 ? Cell{12, 24} : Cell{9, 17}; }

QImage DrawCharacter(const QString& character, const TextStyle& style) {
  const Cell cell = CellOf(style.font);
  return DrawCell(character, style, cell.width * style.widthScale, cell.height * style.heightScale,
                  style.underline, 1);
}

QImage DrawTextCharacter(const QString& character, const TextStyle& style, bool wide) {
  QImage image;
  if (wide) {
    const int side = CellOf(style.font).height;
    const int mode = style.kanjiPrintMode;
    const int width = side * std::max(style.widthScale, (mode & 0x04) != 0 ? 2 : 1);
    const int height = side * std::max(style.heightScale, (mode & 0x08) != 0 ? 2 : 1);
    const int underline = std::max(style.kanjiUnderline, (mode & 0x80) != 0 ? 1 : 0);
    image = DrawCell(character, style, width, height, underline, 2);
    image = Spaced(image, style.kanjiLeft, style.kanjiRight);
  } else {
    image = Spaced(DrawCharacter(character, style), 0, style.charSpacing * style.widthScale);
  }
  return style.rotated ? image.transformed(QTransform().rotate(90)) : image;
}

}  // namespace vprinter

#include "glyphs.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

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

}  // namespace

Cell CellOf(int font) { return font == 0 ? Cell{12, 24} : Cell{9, 17}; }

QImage DrawCharacter(const QString& character, const TextStyle& style) {
  const Cell cell = CellOf(style.font);
  const int width = cell.width * style.widthScale;
  const int height = cell.height * style.heightScale;
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(style.reverse ? Qt::black : Qt::white);
  QPainter painter(&image);
  const QFont face = FaceFor(style);
  const QFontMetricsF metrics(face);
  painter.setFont(face);
  painter.setPen(style.reverse ? Qt::white : Qt::black);
  painter.scale(width / metrics.horizontalAdvance(QLatin1Char('M')), height / metrics.height());
  painter.drawText(QPointF(0, metrics.ascent()), character);
  painter.resetTransform();
  if (style.underline > 0 && !style.reverse) {
    painter.fillRect(0, height - style.underline, width, style.underline, Qt::black);
  }
  return image;
}

}  // namespace vprinter

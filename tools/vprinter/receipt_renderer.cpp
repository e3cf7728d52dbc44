#include "receipt_renderer.h"

#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdint>

#include "barcode_drawer.h"
#include "bit_images.h"
#include "glyphs.h"
#include "graphics_functions.h"
#include "text_decoder.h"
#include "wire.h"

namespace vprinter {
namespace {

constexpr int kTabColumns = 8;  // tab stops every 8 characters until ESC D sets them

// Images one above the other, centred on the widest.
QImage Stack(const std::vector<QImage>& images) {
  int width = 0, height = 0;
  for (const QImage& image : images) {
    width = std::max(width, image.width());
    height += image.height();
  }
  QImage stack(width, height, QImage::Format_RGB32);
  stack.fill(Qt::white);
  QPainter painter(&stack);
  int y = 0;
  for (const QImage& image : images) {
    painter.drawImage((width - image.width()) / 2, y, image);
    y += image.height();
  }
  return stack;
}

// A barcode's human-readable characters in the HRI font.
QImage HriLine(const std::string& text, int font) {
  TextStyle style;
  style.font = font;
  LineBuffer line;
  for (char c : text) line.Add(DrawCharacter(QString(QLatin1Char(c)), style));
  return line.Compose();
}

}  // namespace

int ReceiptRenderer::LineSpacing(const Layout& layout) {
  return layout.lineSpacing >= 0 ? layout.lineSpacing : kDefaultLineSpacing;
}

// The left margin and the printing-area width, kept on the print head; in page mode the line's
// length in the print direction.
ReceiptRenderer::Area ReceiptRenderer::AreaOf(const Layout& layout) const {
  if (page_.Active()) return {0, std::max(1, page_.LineWidth(layout))};
  const int printable = roll_.PaperSize().printableDots;
  const int left = std::clamp(layout.leftMargin, 0, printable - 1);
  const int width = layout.areaWidth > 0 ? layout.areaWidth : printable;
  return {left, std::min(width, printable - left)};
}

std::string ReceiptRenderer::Render(const Command& command, const PrinterSettings& settings) {
  switch (command.kind) {
    case Kind::Text: AddText(command.data, settings); return "";
    case Kind::Tab: Tab(settings); return "";
    case Kind::LineFeed: PrintLine(LineSpacing(settings.layout)); return "";
    case Kind::FeedUnits:
      PrintLine(0);
      Feed(command.Param(0));
      return "";
    case Kind::FeedLines:
      PrintLine(0);
      Feed(command.Param(0) * LineSpacing(settings.layout));
      return "";
    case Kind::Initialise:
      line_.Clear();
      page_.End();
      return "";
    case Kind::Cut:
    case Kind::PartialCutNow: return Cut(command);
    case Kind::ColumnImage: AddPiece(ColumnPicture(settings.lastColumnImage), settings); return "";
    case Kind::AbsolutePosition:
    case Kind::RelativePosition: Position(command, settings); return "";
    case Kind::RasterBand:
    case Kind::VariableImage:
      PrintLine(0);
      PrintBlock(RasterPicture(settings.lastRasterBand), settings.layout);
      return "";
    default: return RenderMark(command, settings);
  }
}

// The commands that print a symbol or a stored graphic.
std::string ReceiptRenderer::RenderMark(const Command& command, const PrinterSettings& settings) {
  switch (command.kind) {
    case Kind::Barcode: return PrintBarcode(command, settings);
    case Kind::Symbol: return PrintSymbol(command, settings);
    case Kind::NvGraphics:
    case Kind::DefineNvGraphic: return PrintGraphic(command, settings);
    default: RenderPage(command); return "";
  }
}

// The page-mode commands: ESC L starts a page, FF prints it and ends page mode, ESC FF prints it
// and stays, CAN and ESC S drop it; GS $ and GS \ move the vertical position on it.
void ReceiptRenderer::RenderPage(const Command& command) {
  switch (command.kind) {
    case Kind::PageMode:
      PrintLine(0);
      page_.Start();
      return;
    case Kind::FormFeed:
    case Kind::PrintPage:
      if (page_.Active()) PrintPage(command.kind == Kind::FormFeed);
      return;
    case Kind::CancelPage:
    case Kind::StandardMode:
      if (!page_.Active()) return;  // both are ignored in standard mode
      line_.Clear();
      if (command.kind == Kind::CancelPage) {
        page_.Clear();
      } else {
        page_.End();
      }
      return;
    case Kind::PageVertical:
    case Kind::PageRelativeVertical: {
      if (!page_.Active()) return;
      // What came before stays where it was put; the horizontal position stays as it is.
      const int x = line_.Cursor();
      PrintLine(0, false);
      line_.MoveTo(x);
      const int n = command.Word(0);
      page_.MoveTo(command.kind == Kind::PageVertical ? n
                                                      : page_.Position() + static_cast<int16_t>(n));
      return;
    }
    default: return;
  }
}

void ReceiptRenderer::PrintPage(bool leavePageMode) {
  PrintLine(0);
  const QImage page = page_.Take();
  if (leavePageMode) page_.End();
  if (page.isNull()) return;
  roll_.Print(0, page);
  roll_.Feed(page.height());
}

// Feeds the paper, or in page mode moves the vertical position.
void ReceiptRenderer::Feed(int dots) {
  if (page_.Active()) {
    page_.Advance(dots);
  } else {
    roll_.Feed(dots);
  }
}

// Prints the image x dots from the area's start: on the paper, or on the page in page mode.
void ReceiptRenderer::Put(int x, const QImage& image, const Layout& layout) {
  if (page_.Active()) {
    page_.Place(image, x, layout);
  } else {
    roll_.Print(x, image);
  }
}

namespace {

bool IsCombiningMark(const std::string& character) {
  const QString text = QString::fromStdString(character);
  return !text.isEmpty() && text.at(0).category() == QChar::Mark_NonSpacing;
}

}  // namespace

// The characters of the text as the selected code table or multi-byte set makes them; a line
// that is full is printed and the text goes on in the next.
void ReceiptRenderer::AddText(const std::string& bytes, const PrinterSettings& settings) {
  const DecodedText text = DecodeStyledText(bytes, settings.style, settings.multiByteSet);
  const size_t count = text.characters.size();
  for (size_t i = 0, next; i < count; i = next) {
    const std::string& character = text.characters[i];
    QString shown = character.empty() ? QStringLiteral("?") : QString::fromStdString(character);
    // Combining marks (Thai vowels above and below, tone marks) print in their base's cell,
    // also when the base ended the text before.
    if (i == 0 && IsCombiningMark(character) && !line_.Empty() &&
        line_.Cursor() == afterLastCharacter_) {
      line_.TakeBackLast();
      shown.prepend(lastCharacter_);
    }
    for (next = i + 1; next < count && IsCombiningMark(text.characters[next]); ++next) {
      shown += QString::fromStdString(text.characters[next]);
    }
    AddPiece(DrawTextCharacter(shown, settings.style, text.wide[i]), settings);
    lastCharacter_ = shown;
    afterLastCharacter_ = line_.Cursor();
  }
}

// ESC $ n: n dots from the line's start; ESC \ n: n dots on from where the line is, back for
// a negative n.
void ReceiptRenderer::Position(const Command& command, const PrinterSettings& settings) {
  StartLine(settings);
  const int n = command.Word(0);
  if (command.kind == Kind::AbsolutePosition) {
    if (n < AreaOf(lineLayout_).width) line_.MoveTo(n);
    return;
  }
  const int to = line_.Cursor() + static_cast<int16_t>(n);
  if (to >= 0 && to < AreaOf(lineLayout_).width) line_.MoveTo(to);
}

void ReceiptRenderer::AddPiece(const QImage& piece, const PrinterSettings& settings) {
  if (!line_.Empty() && line_.Cursor() + piece.width() > AreaOf(lineLayout_).width) {
    PrintLine(LineSpacing(settings.layout));
  }
  StartLine(settings);
  line_.Add(piece);
}

// A line takes its place and orientation from the settings at its first piece.
void ReceiptRenderer::StartLine(const PrinterSettings& settings) {
  if (!line_.Empty()) return;
  lineLayout_ = settings.layout;
  lineUpsideDown_ = settings.style.upsideDown;
}

// To the next tab stop in the line, counted in characters of the current font and width.
void ReceiptRenderer::Tab(const PrinterSettings& settings) {
  const int column = CellOf(settings.style.font).width * settings.style.widthScale;
  StartLine(settings);
  std::vector<int> stops = settings.layout.tabs;
  if (stops.empty()) {
    for (int stop = kTabColumns; stop * column <= AreaOf(lineLayout_).width; stop += kTabColumns) {
      stops.push_back(stop);
    }
  }
  for (int stop : stops) {
    const int x = stop * column;
    if (x > line_.Cursor() && x <= AreaOf(lineLayout_).width) {
      line_.Skip(x - line_.Cursor());
      return;
    }
  }
}

// Prints the buffered line, placed by the layout of its start, and (with feed) feeds the paper
// past it, at least minimumFeed dots. An upside-down line is turned round within the print head.
// In page mode the line is not justified and stands on the vertical position.
void ReceiptRenderer::PrintLine(int minimumFeed, bool feed) {
  QImage image = line_.Compose();
  const bool upsideDown = lineUpsideDown_;
  const Layout layout = lineLayout_;
  lineEnd_ = line_.Cursor();
  line_.Clear();
  if (image.isNull()) {
    if (feed) Feed(minimumFeed);
    return;
  }
  const Area area = AreaOf(layout);
  const int justification = page_.Active() ? 0 : std::clamp(layout.justification, 0, 2);
  int x = area.left + std::max(0, area.width - image.width()) * justification / 2;
  if (upsideDown && !page_.Active()) {
    image = image.mirrored(true, true);
    x = roll_.PaperSize().printableDots - x - image.width();
  }
  Put(x, image, layout);
  if (feed) Feed(page_.Active() ? minimumFeed : std::max(minimumFeed, image.height()));
}

// A picture or symbol printed on its own, justified in the printing area; in page mode at the
// print position, standing on the vertical position, which stays.
void ReceiptRenderer::PrintBlock(const QImage& image, const Layout& layout) {
  if (image.isNull()) return;
  if (page_.Active()) {
    page_.Place(image, lineEnd_, layout);
    return;
  }
  const Area area = AreaOf(layout);
  const int free = std::max(0, area.width - image.width());
  roll_.Print(area.left + free * std::clamp(layout.justification, 0, 2) / 2, image);
  roll_.Feed(image.height());
}

std::string ReceiptRenderer::PrintBarcode(const Command& command, const PrinterSettings& settings) {
  PrintLine(0);
  const DrawnSymbol drawn = DrawBarcode(command.Param(0), command.data, settings.barcode);
  if (drawn.image.isNull()) return "not drawn: " + drawn.error;
  const int position = settings.barcode.hriPosition;
  const QImage hri = HriLine(drawn.text, settings.barcode.hriFont);
  std::vector<QImage> parts;
  if ((position & 1) != 0) parts.push_back(hri);
  parts.push_back(drawn.image);
  if ((position & 2) != 0) parts.push_back(hri);
  PrintBlock(Stack(parts), settings.layout);
  return "";
}

// GS ( k fn 81 prints the stored QR code (cn 49) or PDF417 symbol (cn 48); the other
// functions only set them up.
std::string ReceiptRenderer::PrintSymbol(const Command& command, const PrinterSettings& settings) {
  const int cn = ByteAt(command.data, 0);
  if ((cn != 48 && cn != 49) || ByteAt(command.data, 1) != 81) return "";
  PrintLine(0);
  const DrawnSymbol drawn = cn == 49 ? DrawQrCode(settings.qr) : DrawPdf417(settings.pdf417);
  if (drawn.image.isNull()) return "not drawn: " + drawn.error;
  PrintBlock(drawn.image, settings.layout);
  return cn == 49 && settings.qr.model == 1 ? "drawn as model 2" : "";
}

// GS ( L / GS 8 L functions 50, 69 and 85 print a graphic: the print buffer's or a stored one.
std::string ReceiptRenderer::PrintGraphic(const Command& command, const PrinterSettings& settings) {
  int xScale = 1, yScale = 1;
  const NvGraphic* graphic = GraphicToPrint(command.data, settings, &xScale, &yScale);
  if (graphic == nullptr) return "";
  PrintLine(0);
  PrintBlock(NvPicture(*graphic, xScale, yScale), settings.layout);
  return "";
}

// GS V m, ESC i and ESC m cut at once; GS V 65/66 n feeds n dots first.
// GS V 65 and 66 feed the paper up to the cutter and n dots more, then cut; the others cut the
// paper where the cutter is, above the last lines printed.
std::string ReceiptRenderer::Cut(const Command& command) {
  PrintLine(0);
  const int m = command.Param(0);
  if (command.kind == Kind::Cut && (m == 65 || m == 66)) {
    roll_.Feed(roll_.PaperSize().cutterDots + command.Param(1));
  }
  if (!roll_.Cut()) return "";
  return "cut through printed lines: the cutter is " +
         std::to_string(roll_.PaperSize().cutterDots) +
         " dots above the print head; feed the paper first (GS V 66 n)";
}

}  // namespace vprinter

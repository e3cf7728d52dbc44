#include "line_picture.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <memory>

namespace text {
namespace {

// The face fontconfig starts from: monospaced, so that columns line up with the printer's text;
// characters it lacks (Hebrew, Arabic, Chinese...) come from the Noto face of their script.
constexpr char kFamily[] = "Noto Sans Mono";
// The font's size for a cell: at 20 pixels for a cell 24 dots high its characters advance 12
// dots, as the printer's font A does.
constexpr double kPixelsPerCellHeight = 20.0 / 24.0;
// A wide character (Chinese, Japanese, Korean) takes two cells; its face draws it one font size
// wide, so the rest of the two cells follows it as space.
constexpr double kWideSpacingPerCellHeight = 4.0 / 24.0;
// Dots below which coverage prints white.
constexpr int kInkThreshold = 128;

template <typename T, void (*Free)(T*)>
struct Freer {
  void operator()(T* object) const { Free(object); }
};
using Surface = std::unique_ptr<cairo_surface_t, Freer<cairo_surface_t, cairo_surface_destroy>>;
using Cairo = std::unique_ptr<cairo_t, Freer<cairo_t, cairo_destroy>>;
void UnrefObject(void* object) { g_object_unref(object); }
using Layout = std::unique_ptr<PangoLayout, Freer<void, UnrefObject>>;
using Font = std::unique_ptr<PangoFontDescription,
                             Freer<PangoFontDescription, pango_font_description_free>>;

// Pango mirrors the alignment of a line that reads right to left: left is its start.
PangoAlignment AlignmentOf(PangoLayout* layout, int align) {
  if (align == 1) return PANGO_ALIGN_CENTER;
  if (align == 0) return PANGO_ALIGN_LEFT;
  const bool rightToLeft = pango_layout_get_direction(layout, 0) == PANGO_DIRECTION_RTL;
  return rightToLeft ? PANGO_ALIGN_LEFT : PANGO_ALIGN_RIGHT;
}

// Underline where asked, and the space after each wide character.
PangoAttrList* Attributes(const std::string& utf8, const LineStyle& style) {
  PangoAttrList* attributes = pango_attr_list_new();
  if (style.underline) {
    pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  }
  const int spacing =
      static_cast<int>(kWideSpacingPerCellHeight * style.cellHeight * PANGO_SCALE);
  const char* text = utf8.c_str();
  for (const char* at = text; *at != '\0'; at = g_utf8_next_char(at)) {
    if (!g_unichar_iswide(g_utf8_get_char(at))) continue;
    PangoAttribute* space = pango_attr_letter_spacing_new(spacing);
    space->start_index = static_cast<guint>(at - text);
    space->end_index = static_cast<guint>(g_utf8_next_char(at) - text);
    pango_attr_list_insert(attributes, space);
  }
  return attributes;
}

Layout MakeLayout(cairo_t* cairo, const std::string& utf8, const LineStyle& style) {
  Layout layout(pango_cairo_create_layout(cairo));
  Font font(pango_font_description_from_string(kFamily));
  pango_font_description_set_absolute_size(
      font.get(), kPixelsPerCellHeight * style.cellHeight * PANGO_SCALE);
  pango_font_description_set_weight(font.get(),
                                    style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_width(layout.get(), style.paperWidth / style.widthMultiple * PANGO_SCALE);
  pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
  PangoAttrList* attributes = Attributes(utf8, style);
  pango_layout_set_attributes(layout.get(), attributes);
  pango_attr_list_unref(attributes);
  pango_layout_set_text(layout.get(), utf8.c_str(), static_cast<int>(utf8.size()));
  pango_layout_set_alignment(layout.get(), AlignmentOf(layout.get(), style.align));
  return layout;
}

// Coverage of an A8 surface as one-bit rows.
void Pack(cairo_surface_t* surface, LinePicture* picture) {
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const int bytesPerRow = picture->width / 8;
  // Built rather than assigned: the library exports no instantiation of the standard library.
  picture->rows = std::vector<unsigned char>(static_cast<size_t>(bytesPerRow) * picture->height);
  for (int y = 0; y < picture->height; ++y) {
    const unsigned char* row = data + static_cast<size_t>(y) * stride;
    for (int x = 0; x < picture->width; ++x) {
      if (row[x] >= kInkThreshold) {
        picture->rows[static_cast<size_t>(y) * bytesPerRow + x / 8] |= 0x80 >> (x % 8);
      }
    }
  }
}

// A line of a row printed without line spacing: font A's cell.
constexpr int kRowLineHeight = 24;

bool Ink(const LinePicture& picture, int x, int y) {
  const size_t at = static_cast<size_t>(y) * (picture.width / 8) + x / 8;
  return (picture.rows[at] & (0x80 >> (x % 8))) != 0;
}

void Flip(LinePicture* picture, int x, int y) {
  const size_t at = static_cast<size_t>(y) * (picture->width / 8) + x / 8;
  picture->rows[at] ^= static_cast<unsigned char>(0x80 >> (x % 8));
}

// Lays piece (drawn as drawn) onto the row, its bottom on the row's, within the paper.
void Place(const LinePicture& drawn, const RowPiece& piece, LinePicture* row) {
  const int top = row->height - drawn.height;
  const int right = std::min(row->width, piece.x + std::max(piece.width, 0));
  for (int y = 0; y < drawn.height; ++y) {
    for (int x = std::max(piece.x, 0); x < right && x - piece.x < drawn.width; ++x) {
      if (Ink(drawn, x - piece.x, y) && !Ink(*row, x, top + y)) Flip(row, x, top + y);
    }
  }
  if (!piece.style.invert) return;
  for (int y = 0; y < row->height; ++y) {
    for (int x = std::max(piece.x, 0); x < right; ++x) Flip(row, x, y);
  }
}

}  // namespace

bool DrawRow(const std::vector<RowPiece>& pieces, int paperWidth, LinePicture* picture) {
  std::vector<LinePicture> drawn(pieces.size());
  picture->width = paperWidth;
  picture->height = 0;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const RunStyle& run = pieces[i].style;
    LineStyle style;
    style.paperWidth = std::max(8, (pieces[i].width + 7) / 8 * 8);
    style.widthMultiple = run.widthMultiple;
    style.heightMultiple = run.heightMultiple;
    style.bold = run.bold;
    style.underline = run.underline;
    style.lineHeight = kRowLineHeight;
    if (!DrawLine(pieces[i].utf8, style, &drawn[i])) return false;
    picture->height = std::max(picture->height, drawn[i].height);
  }
  picture->rows = std::vector<unsigned char>(static_cast<size_t>(paperWidth / 8) * picture->height);
  for (size_t i = 0; i < pieces.size(); ++i) Place(drawn[i], pieces[i], picture);
  return true;
}

bool DrawLine(const std::string& utf8, const LineStyle& style, LinePicture* picture) {
  if (style.paperWidth <= 0 || style.paperWidth % 8 != 0 || style.widthMultiple < 1 ||
      style.heightMultiple < 1) {
    return false;
  }
  // A surface of one dot to lay the text out on; the height is known once it is.
  Surface probe(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
  Cairo probeCairo(cairo_create(probe.get()));
  const Layout layout = MakeLayout(probeCairo.get(), utf8, style);
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout.get(), &width, &height);
  // The printer's line spacing for that cell, unless the style sets the height.
  const int lineHeight = style.lineHeight > 0 ? style.lineHeight : style.cellHeight * 5 / 4;
  picture->width = style.paperWidth;
  picture->height =
      (style.lineHeight > 0 ? lineHeight : std::max(height, lineHeight)) * style.heightMultiple;

  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_A8, picture->width, picture->height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return false;
  Cairo cairo(cairo_create(surface.get()));
  cairo_scale(cairo.get(), style.widthMultiple, style.heightMultiple);
  // Centred in the line; text taller than a set line height loses its blank top and bottom.
  const int spare = lineHeight - height;
  cairo_move_to(cairo.get(), 0, (style.lineHeight > 0 ? spare : std::max(0, spare)) / 2.0);
  pango_cairo_update_layout(cairo.get(), layout.get());
  pango_cairo_show_layout(cairo.get(), layout.get());
  if (cairo_status(cairo.get()) != CAIRO_STATUS_SUCCESS) return false;
  Pack(surface.get(), picture);
  return true;
}

}  // namespace text

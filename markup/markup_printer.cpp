#include "markup_printer.h"

#include <glib.h>

#include <memory>
#include <string>
#include <vector>

#include "markup_document.h"
#include "markup_layout.h"
#include "markup_symbols.h"
#include "picture_raster.h"
#include "prot_escpos.h"
#include "transport_kinds.h"

namespace markup {
namespace {

constexpr int kCharacterWidth = 12;  // dots of a font A character
constexpr int kHriBelow = 2;         // GS H: digits below the bars
constexpr int kQrModel2 = 2;
// The most bytes a QR code holds (version 40 at level L).
constexpr size_t kMaxQrData = 2953;

// What a line needs made before printing starts.
struct Prepared {
  std::unique_ptr<PictureRaster> picture;
  PrinterBarcode barcode;
};

int QrLevel(char level) {
  const std::string levels = "lmqh";
  return static_cast<int>(levels.find(level));
}

text::RowPiece ToRowPiece(const Piece& piece) {
  text::RowPiece row;
  row.x = piece.halfColumn * kCharacterWidth / 2;
  row.width = piece.cells * kCharacterWidth;
  row.utf8 = piece.text;
  row.style.bold = piece.decoration.emphasis;
  row.style.underline = piece.decoration.underline;
  row.style.invert = piece.decoration.invert;
  row.style.widthMultiple = piece.decoration.widthMultiple;
  row.style.heightMultiple = piece.decoration.heightMultiple;
  return row;
}

class MarkupPrinter {
 public:
  MarkupPrinter(CommBase* transport, ProtEscPos* encoder, int* codepage, text::TextStyle* style)
      : transport_(transport), encoder_(encoder), codepage_(codepage), style_(style) {}

  // Decodes the pictures and checks the codes: 1, -3 for one that cannot be read, -6 without
  // memory.
  int Prepare(const std::vector<Line>& lines, std::vector<Prepared>* prepared) const {
    prepared->resize(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
      const Line& line = lines[i];
      if (line.kind == Line::kImage) {
        const int rc = Decode(line, &(*prepared)[i]);
        if (rc != TALLYJET_SUCCESS) return rc;
      } else if (line.kind == Line::kCode && line.options.type != "qrcode") {
        if (!ToPrinterBarcode(line.options.type, line.code, &(*prepared)[i].barcode)) {
          return TALLYJET_ERR_INVALID_ARGUMENT;
        }
      } else if (line.kind == Line::kCode && line.code.size() > kMaxQrData) {
        return TALLYJET_ERR_INVALID_ARGUMENT;
      }
    }
    return TALLYJET_SUCCESS;
  }

  int Print(const std::vector<Line>& lines, const std::vector<Prepared>& prepared) {
    Layout layout(style_->paperWidth / kCharacterWidth);
    int rc = Start();
    bool cutLast = false;
    for (size_t i = 0; i < lines.size() && rc == TALLYJET_SUCCESS; ++i) {
      const Line& line = lines[i];
      rc = PrintRows(layout.RowsOf(line));
      if (rc != TALLYJET_SUCCESS) break;
      if (line.kind == Line::kCut) rc = encoder_->PaperCutnLines('B', 0);
      if (line.kind == Line::kCode) rc = PrintCode(line, prepared[i].barcode);
      if (line.kind == Line::kImage) rc = PrintPicture(*prepared[i].picture);
      if (line.kind != Line::kNothing) cutLast = line.kind == Line::kCut;
    }
    if (rc == TALLYJET_SUCCESS) rc = PrintRows(layout.Finish());
    if (rc == TALLYJET_SUCCESS && !cutLast) rc = encoder_->PaperCutnLines('B', 0);
    if (rc == TALLYJET_SUCCESS) rc = encoder_->SetDefaultLineSpacing();
    return rc;
  }

 private:
  int Decode(const Line& line, Prepared* prepared) const {
    gsize length = 0;
    std::unique_ptr<guchar, decltype(&g_free)> bytes(g_base64_decode(line.image.c_str(), &length),
                                                    &g_free);
    if (length == 0) return TALLYJET_ERR_INVALID_ARGUMENT;
    prepared->picture.reset(new PictureRaster);
    const PictureLayout layout{0, TALLYJET_DITHER_DIFFUSION, line.align, style_->paperWidth};
    const int rc = prepared->picture->Make(bytes.get(), static_cast<int>(length), layout);
    if (rc == TALLYJET_ERR_NO_MEMORY) return rc;
    return rc == TALLYJET_SUCCESS ? rc : TALLYJET_ERR_INVALID_ARGUMENT;
  }

  // Font A and no space between lines, so that the bars of ruled columns join.
  int Start() {
    int rc = encoder_->SetFontType(0);
    text::NoteFont(style_, 0);
    if (rc == TALLYJET_SUCCESS) rc = encoder_->SetLineSpacing(0);
    return rc;
  }

  int PrintRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      std::vector<text::RowPiece> pieces;
      for (const Piece& piece : row) pieces.push_back(ToRowPiece(piece));
      const int rc = text::PrintRow(transport_, encoder_, codepage_, style_, pieces);
      if (rc != TALLYJET_SUCCESS) return rc;
    }
    return TALLYJET_SUCCESS;
  }

  int PrintCode(const Line& line, const PrinterBarcode& barcode) {
    const CodeOptions& options = line.options;
    if (line.code.empty()) return TALLYJET_SUCCESS;
    int rc = encoder_->SetJustification(line.align);
    text::NoteAlignment(style_, line.align);
    if (options.type == "qrcode") {
      std::string data = line.code;
      if (rc == TALLYJET_SUCCESS) rc = encoder_->SetQrCodeModel(kQrModel2);
      if (rc == TALLYJET_SUCCESS) rc = encoder_->SetQrCodeResolution(options.cell);
      if (rc == TALLYJET_SUCCESS) rc = encoder_->SetQrCodeErrorCorretion(QrLevel(options.level));
      if (rc == TALLYJET_SUCCESS) rc = encoder_->StoreQrCodeData(&data[0], static_cast<int>(data.size()));
      if (rc == TALLYJET_SUCCESS) rc = encoder_->MakeQrCode();
    } else {
      if (rc == TALLYJET_SUCCESS) rc = encoder_->SetBarCodeHeight(options.height);
      if (rc == TALLYJET_SUCCESS) rc = encoder_->SetBarCodeWidth(options.moduleWidth);
      if (rc == TALLYJET_SUCCESS) rc = encoder_->SetHriFont(0);
      if (rc == TALLYJET_SUCCESS) rc = encoder_->SetHriPosition(options.hri ? kHriBelow : 0);
      if (rc == TALLYJET_SUCCESS) {
        rc = encoder_->PrintBarCode(barcode.system, barcode.data.c_str(),
                                    static_cast<int>(barcode.data.size()));
      }
    }
    if (rc == TALLYJET_SUCCESS) rc = encoder_->SetJustification(0);
    text::NoteAlignment(style_, 0);
    return rc;
  }

  int PrintPicture(const PictureRaster& picture) {
    const auto print = WritesWaitForPrinter(transport_) ? &ProtEscPos::PrintRasterBands
                                                        : &ProtEscPos::PrintRasterBitImage;
    return (encoder_->*print)(0, picture.width(), picture.height(), picture.data());
  }

  CommBase* transport_;
  ProtEscPos* encoder_;
  int* codepage_;
  text::TextStyle* style_;
};

}  // namespace

int PrintMarkup(CommBase* transport, ProtEscPos* encoder, int* codepage, text::TextStyle* style,
                const char* document, int length) {
  std::vector<Line> lines;
  if (!ParseDocument(std::string(document, static_cast<size_t>(length)), &lines)) {
    return TALLYJET_ERR_INVALID_ARGUMENT;
  }
  MarkupPrinter printer(transport, encoder, codepage, style);
  std::vector<Prepared> prepared;
  const int rc = printer.Prepare(lines, &prepared);
  return rc != TALLYJET_SUCCESS ? rc : printer.Print(lines, prepared);
}

}  // namespace markup

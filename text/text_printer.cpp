#include "text_printer.h"

#include <algorithm>
#include <string>

#include "code_pages.h"
#include "comm_base.h"
#include "prot_escpos.h"

namespace text {
namespace {

// Bytes per write: a USB transfer has a time limit.
constexpr size_t kChunk = 4096;
constexpr int kFontACell = 24;
constexpr int kFontBCell = 17;
// ESC ! bits.
constexpr int kModeFontB = 0x01, kModeBold = 0x08, kModeDoubleHeight = 0x10,
              kModeDoubleWidth = 0x20, kModeUnderline = 0x80;

int Selector(int n) { return n >= '0' ? n - '0' : n; }

class Printer {
 public:
  Printer(CommBase* transport, ProtEscPos* encoder, int* codepage, TextStyle* style)
      : transport_(transport), encoder_(encoder), codepage_(codepage), style_(style) {}

  int PrintLine(std::string line, bool ended) {
    MakePrintable(&line);
    // The CR of a CRLF line end would feed a second line on a printer set to feed on CR.
    if (ended && !line.empty() && line.back() == '\r') line.pop_back();
    bool held = false;
    const CodePage& page = PageFor(line, &held);
    // Without pictures the characters the table lacks print as '?'.
    if (!held && style_->pictures) return PrintAsPicture(line);
    return PrintAsText(line, ended, page);
  }

  int PrintRow(std::vector<RowPiece> pieces) {
    std::string whole;
    for (RowPiece& piece : pieces) {
      MakePrintable(&piece.utf8);
      piece.utf8.erase(std::remove_if(piece.utf8.begin(), piece.utf8.end(),
                                      [](char c) { return c == '\n' || c == '\r' || c == '\t'; }),
                       piece.utf8.end());
      whole += piece.utf8;
    }
    bool held = false;
    const CodePage& page = PageFor(whole, &held);
    if (!held && style_->pictures) return PrintRowAsPicture(pieces);
    return PrintRowAsText(pieces, page);
  }

  int Flush() {
    for (size_t at = 0; at < outgoing_.size(); at += kChunk) {
      const int rc = transport_->Write(outgoing_.data() + at,
                                       static_cast<int>(std::min(kChunk, outgoing_.size() - at)));
      if (rc != TALLYJET_SUCCESS) return rc;
    }
    outgoing_.clear();
    return TALLYJET_SUCCESS;
  }

 private:
  // The table text goes out in: the one set for every line, else the first that holds it all,
  // else the one that holds the most of it; *held tells whether it holds it all.
  const CodePage& PageFor(const std::string& utf8, bool* held) const {
    const CodePage* forced = FindCodePage(style_->codePage);
    if (forced != nullptr) {
      *held = Encode(utf8, *forced).complete();
      return *forced;
    }
    const CodePage* page = PageHolding(utf8);
    *held = page != nullptr;
    return page != nullptr ? *page : *PageHoldingMost(utf8);
  }

  int PrintAsText(const std::string& line, bool ended, const CodePage& page) {
    const int rc = SelectTable(page);
    if (rc != TALLYJET_SUCCESS) return rc;
    outgoing_ += Encode(line, page).bytes;
    if (ended) outgoing_ += '\n';
    return TALLYJET_SUCCESS;
  }

  int SelectTable(const CodePage& page) {
    if (page.table == style_->printerTable) return TALLYJET_SUCCESS;
    const int rc = AfterText([&] { return encoder_->SetCharCodeTable(page.table); });
    if (rc != TALLYJET_SUCCESS) return rc;
    *codepage_ = page.table;
    NoteCodeTable(style_, page.table);
    return TALLYJET_SUCCESS;
  }

  // Runs an encoder operation after the text before it went out.
  template <typename Operation>
  int AfterText(Operation operation) {
    const int rc = Flush();
    return rc != TALLYJET_SUCCESS ? rc : operation();
  }

  int PrintRowAsText(const std::vector<RowPiece>& pieces, const CodePage& page) {
    int rc = SelectTable(page);
    RunStyle applied;
    int position = 0;
    for (const RowPiece& piece : pieces) {
      if (rc == TALLYJET_SUCCESS && piece.x != position) {
        rc = AfterText([&] { return encoder_->SetAbsolutePrintPosition(piece.x); });
      }
      if (rc == TALLYJET_SUCCESS) rc = ApplyStyle(&applied, piece.style);
      outgoing_ += Encode(piece.utf8, page).bytes;
      position = piece.x + piece.width;
    }
    if (rc == TALLYJET_SUCCESS) rc = ApplyStyle(&applied, RunStyle{});
    outgoing_ += '\n';
    return rc;
  }

  // Sends the commands that change the printer's style from *applied to wanted.
  int ApplyStyle(RunStyle* applied, const RunStyle& wanted) {
    int rc = TALLYJET_SUCCESS;
    if (applied->bold != wanted.bold) {
      rc = AfterText([&] {
        return wanted.bold ? encoder_->SetBoldEnable(1) : encoder_->SetBoldDisable();
      });
      NoteBold(style_, wanted.bold);
    }
    if (rc == TALLYJET_SUCCESS && applied->underline != wanted.underline) {
      rc = AfterText([&] { return encoder_->SetPrintModeUnderline(wanted.underline ? 1 : 0); });
      NoteUnderline(style_, wanted.underline ? 1 : 0);
    }
    if (rc == TALLYJET_SUCCESS && applied->invert != wanted.invert) {
      rc = AfterText([&] { return encoder_->SetReverseBlackWhite(wanted.invert ? 1 : 0); });
    }
    if (rc == TALLYJET_SUCCESS && (applied->widthMultiple != wanted.widthMultiple ||
                                   applied->heightMultiple != wanted.heightMultiple)) {
      rc = AfterText([&] {
        return encoder_->SetCharMagnification(wanted.widthMultiple, wanted.heightMultiple);
      });
      NoteCharSize(style_, (wanted.widthMultiple - 1) << 4 | (wanted.heightMultiple - 1));
    }
    *applied = wanted;
    return rc;
  }

  int PrintRowAsPicture(const std::vector<RowPiece>& pieces) {
    const int flushed = Flush();
    if (flushed != TALLYJET_SUCCESS) return flushed;
    LinePicture picture;
    if (!DrawRow(pieces, style_->paperWidth, &picture)) return TALLYJET_ERR_NO_MEMORY;
    return encoder_->PrintRasterBands(0, picture.width, picture.height, picture.rows.data());
  }

  int PrintAsPicture(const std::string& line) {
    const int flushed = Flush();
    if (flushed != TALLYJET_SUCCESS) return flushed;
    LinePicture picture;
    std::string drawn = line;
    drawn.erase(std::remove(drawn.begin(), drawn.end(), '\r'), drawn.end());
    if (!DrawLine(drawn, *style_, &picture)) return TALLYJET_ERR_NO_MEMORY;
    // Written as it is: a line's picture is smaller than any printer's receive buffer.
    return encoder_->PrintRasterBands(0, picture.width, picture.height, picture.rows.data());
  }

  CommBase* transport_;
  ProtEscPos* encoder_;
  int* codepage_;
  TextStyle* style_;
  std::string outgoing_;  // encoded text not yet sent, all in the printer's table
};

}  // namespace

void NotePrintMode(TextStyle* style, int mode) {
  style->cellHeight = (mode & kModeFontB) != 0 ? kFontBCell : kFontACell;
  style->bold = (mode & kModeBold) != 0;
  style->heightMultiple = (mode & kModeDoubleHeight) != 0 ? 2 : 1;
  style->widthMultiple = (mode & kModeDoubleWidth) != 0 ? 2 : 1;
  style->underline = (mode & kModeUnderline) != 0;
}

// Pictures are drawn at most twice the cell: the library offers sizes 1 and 2.
void NoteCharSize(TextStyle* style, int size) {
  style->widthMultiple = std::min(2, ((size >> 4) & 0x07) + 1);
  style->heightMultiple = std::min(2, (size & 0x07) + 1);
}

void NoteFont(TextStyle* style, int font) {
  style->cellHeight = Selector(font) == 1 ? kFontBCell : kFontACell;
}

void NoteBold(TextStyle* style, int on) { style->bold = (on & 1) != 0; }

void NoteUnderline(TextStyle* style, int mode) { style->underline = Selector(mode) != 0; }

void NoteAlignment(TextStyle* style, int align) { style->align = Selector(align); }

void NoteCodeTable(TextStyle* style, int table) { style->printerTable = table; }

void NoteReset(TextStyle* style) {
  TextStyle reset;
  reset.paperWidth = style->paperWidth;
  reset.codePage = style->codePage;
  reset.pictures = style->pictures;
  *style = reset;
}

int PrintRow(CommBase* transport, ProtEscPos* encoder, int* codepage, TextStyle* style,
             const std::vector<RowPiece>& pieces) {
  Printer printer(transport, encoder, codepage, style);
  const int rc = printer.PrintRow(pieces);
  return rc != TALLYJET_SUCCESS ? rc : printer.Flush();
}

int PrintText(CommBase* transport, ProtEscPos* encoder, int* codepage, TextStyle* style,
              const char* utf8, int length) {
  Printer printer(transport, encoder, codepage, style);
  const std::string text(utf8, static_cast<size_t>(length));
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    const int rc = printer.PrintLine(text.substr(start, end - start), true);
    if (rc != TALLYJET_SUCCESS) return rc;
  }
  if (start < text.size()) {
    const int rc = printer.PrintLine(text.substr(start), false);
    if (rc != TALLYJET_SUCCESS) return rc;
  }
  return printer.Flush();
}

}  // namespace text

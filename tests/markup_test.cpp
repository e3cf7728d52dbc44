// Receipts in ReceiptLine markup: how lines are laid out in the paper's columns (widths,
// alignment, wrapping, sizes, escapes, rules and ruled columns), which documents are refused
// before a byte goes out, how barcodes are put for the printer, and what a document sends to the
// virtual printer on a pty.
#include <glib.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup_document.h"
#include "markup_layout.h"
#include "markup_symbols.h"
#include "tallyjet.h"
#include "handle_on_pty.h"
#include "virtual_printer.h"

namespace {

// The rows a document lays out in columns, each as the characters in the columns where they
// print; a piece starting between two columns shows in the left one.
std::vector<std::string> Laid(const std::string& document, int columns) {
  std::vector<markup::Line> lines;
  EXPECT_TRUE(markup::ParseDocument(document, &lines)) << document;
  markup::Layout layout(columns);
  std::vector<std::string> out;
  auto render = [&](const std::vector<markup::Row>& rows) {
    for (const markup::Row& row : rows) {
      std::vector<std::string> cells(static_cast<size_t>(columns), " ");
      for (const markup::Piece& piece : row) {
        int at = piece.halfColumn / 2;
        for (const char* c = piece.text.c_str(); *c != '\0'; c = g_utf8_next_char(c)) {
          const char* next = g_utf8_next_char(c);
          if (at >= 0 && at < columns) cells[at] = std::string(c, next);
          const int taken = markup::CellsOf(g_utf8_get_char(c)) * piece.decoration.widthMultiple;
          for (int i = 1; i < taken && at + i < columns; ++i) cells[at + i] = "";
          at += taken;
        }
      }
      std::string text;
      for (const std::string& cell : cells) text += cell;
      out.push_back(text.substr(0, text.find_last_not_of(' ') + 1));
    }
  };
  for (const markup::Line& line : lines) render(layout.RowsOf(line));
  render(layout.Finish());
  return out;
}

TEST(MarkupLayoutTest, LinesAreLaidOutInTheColumns) {
  const struct {
    const char* what;
    const char* document;
    std::vector<std::string> rows;
  } kCases[] = {
      {"a column pressed against '|' aligns to it", "Apple | 1.00\nPear|2.50",
       {"Apple           1.00", "     Pear 2.50"}},
      {"text wraps in its column and each row aligns",
       "{width:6}\nabcdefghij", {"       abcdef", "        ghij"}},
      {"no wrapping keeps the first row", "{width:6; text:nowrap}\nabcdefghij",
       {"       abcdef"}},
      {"escapes, ~ and \\n", "a\\|b~c\\x41\\nz", {"       a|b cA", "         z"}},
      {"an invalid escape is dropped", "|x\\qy\\x4", {"xy"}},
      {"three carets: twice as wide (the second column of a character shows nothing)", "^^^AB", {"        AB"}},
      {"a rule spans the widths", "{width:10}\n-", {"     ──────────"}},
      {"ruled columns", "{border:line; width:3,3}\na|b",
       {"     ┌───┬───┐", "     │  a│b  │", "     └───┴───┘"}},
      {"a rule inside ruled columns crosses them", "{border:line}\na\n-\nb\n{border:space}",
       {"┌──────────────────┐", "│        a         │", "├──────────────────┤",
        "│        b         │", "└──────────────────┘"}},
      {"wide characters take two columns", "麺|x", {"       麺 x"}},
      {"fixed widths give way to a shared column", "{width:15,15,*}\na|b|c",
       {"           a      b      c"}},
      {"columns past the widths are hidden", "{width:4,4}\na|b|c", {"        a  b"}},
      {"an empty line feeds", "x\n\ny", {"         x", "", "         y"}},
      {"a line with every column hidden is an empty row, also in rules",
       "{width:0}\n{border:line}\nx\n{width:*}\ny",
       {"", "┌──────────────────┐", "│        y         │", "└──────────────────┘"}},
  };
  for (const auto& c : kCases) {
    const int columns = std::string(c.what).rfind("fixed", 0) == 0 ? 26 : 20;
    EXPECT_EQ(Laid(c.document, columns), c.rows) << c.what;
  }
}

TEST(MarkupLayoutTest, DecorationsSwitchOnAndOff) {
  std::vector<markup::Line> lines;
  ASSERT_TRUE(markup::ParseDocument("|\"b\"_u_`i`^^^^^^^^6x^^t", &lines));
  markup::Layout layout(48);
  const std::vector<markup::Row> rows = layout.RowsOf(lines[0]);
  ASSERT_EQ(rows.size(), 1u);
  std::string seen;
  for (const markup::Piece& piece : rows[0]) {
    const markup::Decoration& d = piece.decoration;
    seen += piece.text + ":" + (d.emphasis ? "E" : "") + (d.underline ? "U" : "") +
            (d.invert ? "I" : "") + std::to_string(d.widthMultiple) +
            std::to_string(d.heightMultiple) + " ";
  }
  EXPECT_EQ(seen, "b:E11 u:U11 i:I11 6x:66 t:12 ");
}

TEST(MarkupSymbolsTest, BarcodesAreWrittenAsThePrinterTakesThem) {
  const struct {
    const char* type;
    const char* data;
    int system;  // 0: refused
    const char* sent;
  } kCases[] = {
      {"ean", "490123456789", 67, "490123456789"},
      {"ean", "4901234567894", 67, "4901234567894"},
      {"jan", "4901234567890", 0, ""},  // wrong check digit
      {"ean", "4901231", 68, "4901231"},
      {"ean", "49012347", 68, "49012347"},
      {"ean", "12345", 0, ""},
      {"upc", "01234565", 66, "123456"},
      {"upc", "0123456", 66, "123456"},
      {"upc", "11234565", 0, ""},  // number system 1
      {"upc", "01234567", 0, ""},  // wrong check digit
      {"upc", "03600029145", 65, "03600029145"},
      {"code128", "a{b", 73, "{Ba{{b"},
      {"code128", "caf\xC3\xA9", 0, ""},
      {"code39", "AB-12", 69, "AB-12"},
      {"code39", "ab", 0, ""},
      {"itf", "1234", 70, "1234"},
      {"itf", "123", 0, ""},
      {"nw7", "A123B", 71, "A123B"},
  };
  for (const auto& c : kCases) {
    markup::PrinterBarcode barcode;
    const bool taken = markup::ToPrinterBarcode(c.type, c.data, &barcode);
    EXPECT_EQ(taken, c.system != 0) << c.type << " " << c.data;
    if (taken) {
      EXPECT_EQ(barcode.system, c.system) << c.data;
      EXPECT_EQ(barcode.data, c.sent) << c.data;
    }
  }
}

class MarkupPrintingTest : public HandleOnPty {
 protected:
  // Prints the document; the result, and the bytes the printer received for it.
  int Print(const std::string& document, std::string* received) {
    printer_.Clear();
    const int rc = tallyjet_print_markup(handle_, document.data(), static_cast<int>(document.size()));
    *received = printer_.ReceivedOnceQuiet(200);
    return rc;
  }

  static size_t Count(const std::string& bytes, const std::string& command) {
    size_t count = 0;
    for (size_t at = bytes.find(command); at != std::string::npos; at = bytes.find(command, at + 1)) {
      ++count;
    }
    return count;
  }
};

// Nothing goes out for a document with a line that cannot be read, wherever that line is.
TEST_F(MarkupPrintingTest, ADocumentThatCannotBeReadPrintsNothing) {
  const char* kDocuments[] = {
      "{code}",                          // no value
      "{width 3}",                       // no colon
      "{3d: x}",                         // a key that is no name
      "total {5}",                       // a brace in text
      "price}",
      "ok\n{image:AAAA}",                // no picture
      "ok\n{code:12345; option:ean}",    // a length EAN does not have
      "ok\n{code:4901234567890; option:ean}",
  };
  for (const char* document : kDocuments) {
    std::string received;
    EXPECT_EQ(Print(document, &received), TALLYJET_ERR_INVALID_ARGUMENT) << document;
    EXPECT_EQ(received, "") << document;
  }
  std::string received;
  EXPECT_EQ(tallyjet_print_markup(handle_, "x", -1), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(tallyjet_print_markup(handle_, nullptr, 0), TALLYJET_SUCCESS);
}

// Styles go out as the printer's commands and end normal; the line spacing comes back; the
// receipt is cut once at its end, also when it ends with a cut of its own; device commands in
// the document are not sent.
TEST_F(MarkupPrintingTest, StylesAndCutsAreThePrintersCommands) {
  std::string received;
  ASSERT_EQ(Print("\"bold\" _under_ `inv` ^^^big\n{command:\\x1b@; comment: no}\n=", &received),
            TALLYJET_SUCCESS);
  const struct {
    const char* what;
    std::string command;
    size_t count;
  } kCommands[] = {
      {"bold on", "\x1B" "E\x01", 1},       {"bold off", std::string("\x1B" "E\x00", 3), 1},
      {"underline on", "\x1B-\x01", 1},    {"underline off", std::string("\x1B-\x00", 3), 1},
      {"invert on", "\x1D" "B\x01", 1},     {"invert off", std::string("\x1D" "B\x00", 3), 1},
      {"2 x 2", "\x1D!\x11", 1},           {"normal size", std::string("\x1D!\x00", 3), 1},
      {"cut after feeding", std::string("\x1DVB\x00", 4), 1},
      {"no spacing while printing", std::string("\x1B" "3\x00", 3), 1},
      {"default spacing after", "\x1B" "2", 1},
      {"no reset from the document", "\x1B@", 0},
  };
  for (const auto& c : kCommands) EXPECT_EQ(Count(received, c.command), c.count) << c.what;
  const vprinter::PrinterSettings settings = printer_.Settings();
  EXPECT_FALSE(settings.style.emphasis || settings.style.reverse || settings.style.underline != 0);
  EXPECT_EQ(settings.style.widthScale * settings.style.heightScale, 1);
  EXPECT_EQ(settings.layout.lineSpacing, -1);
}

// A line no table holds is drawn as a picture in its place; a barcode and a QR code are the
// printer's own, centred, with the alignment back to left after them.
TEST_F(MarkupPrintingTest, OtherScriptsAreDrawnAndCodesAreThePrinters) {
  std::string received;
  ASSERT_EQ(Print("\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 | 1.00\n"
                  "{code:4901234567894; option:ean,hri}\n{code:tallyjet; option:qrcode,5}",
                  &received),
            TALLYJET_SUCCESS);
  const size_t picture = received.find("\x1Dv0");
  const size_t barcode = received.find("\x1Dk\x43\x0D" "4901234567894");
  ASSERT_NE(barcode, std::string::npos);
  EXPECT_LT(picture, barcode);
  EXPECT_NE(received.find(std::string("\x1D(k\x03\x00" "1C\x05", 8)), std::string::npos);
  EXPECT_EQ(Count(received, "\x1B" "a\x01"), 2u);
}

}  // namespace

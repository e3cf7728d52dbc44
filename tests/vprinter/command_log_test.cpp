// What the log says for the bytes received.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printer_core.h"

namespace vprinter {
namespace {

std::vector<std::string> LogOf(const std::string& bytes) {
  PrinterCore core;
  core.Receive(bytes, PrinterCore::Clock::now());
  core.Finish(PrinterCore::Clock::now());
  return core.Log();
}

struct Case {
  std::string bytes;
  std::string line;  // the last line logged
};

TEST(CommandLogTest, EachCommandIsNamedWithItsParameters) {
  const Case cases[] = {
      {"\x1B@", "ESC @  initialise"},
      {"\x1B!\x88", "ESC ! 0x88  print mode: emphasis underline"},
      {"\x1B!\x71", "ESC ! 0x71  print mode: font B double height double width italic"},
      {std::string("\x1B!\0", 3), "ESC ! 0x00  print mode: normal"},
      {"\x1B\x45\x01", "ESC E 1  emphasis on"},
      {std::string("\x1BG\0", 3), "ESC G 0  double strike off"},
      {"\x1B-2", "ESC - 50  underline 2 dots"},
      {"\x1D!\x11", "GS ! 0x11  character size: width 2 height 2"},
      {"\x1BM1", "ESC M 49  font B"},
      {"\x1D\x42\x01", "GS B 1  reverse on"},
      {"\x1B{\x01", "ESC { 1  upside down on"},
      {"\x1Bt\x13", "ESC t 19  code table: cp858"},
      {"\x1Bt\x05", "ESC t 5  code table: table 5"},
      {"\x1B\x61\x01", "ESC a 1  justification: centre"},
      {"\x1B\x61\x32", "ESC a 50  justification: right"},
      {"\x1B\x33\x1E", "ESC 3 30  line spacing: 30 dots"},
      {"\x1B\x32", "ESC 2  default line spacing"},
      {std::string("\x1DL\x2F\0", 4), "GS L 47 0  left margin: 47 dots"},
      {"\x1DW\xFF\xFF", "GS W 255 255  printing area width: 65535 dots"},
      {"\x1B$\xFF\xFF", "ESC $ 255 255  absolute position: 65535"},
      {"\x1B\\\xFF\xFF", "ESC \\ 255 255  relative position: -1"},
      {std::string("\x1B\x44\x08\x10\0", 5), "ESC D 8 16 NUL  tab stops: 8 16"},
      {std::string("\x1BW\0\0\0\0\0\x02\x90\x01", 10),
       "ESC W 0 0 0 0 0 2 144 1  page-mode area: x 0 y 0 width 512 height 400"},
      {"\x1BL", "ESC L  page mode"},
      {"\x1BS", "ESC S  standard mode"},
      {"\x1B\x0C", "ESC FF  print page"},
      {"\n", "LF  line feed"},
      {"\t", "HT  tab"},
      {"\x1BJ\xFF", "ESC J 255  feed 255 units"},
      {"\x1B\x64\x03", "ESC d 3  feed 3 lines"},
      {"\x1DV\x01", "GS V 1  cut"},
      {"\x1DV0", "GS V 48  full cut"},
      {"\x1DVB\x2C", "GS V 66 44  feed 44 units and cut"},
      {"\x1Bp0\x19\xFA", "ESC p 48 25 250  drawer pulse: pin 2, on 50 ms, off 500 ms"},
      {"\x1Bp\x01\x01\x01", "ESC p 1 1 1  drawer pulse: pin 5, on 2 ms, off 2 ms"},
      {"\x1B\x63\x30\x08", "ESC c 0 8  operation mode 8"},
      {"\x1Dh\x50", "GS h 80  barcode height: 80 dots"},
      {"\x1Dw\x06", "GS w 6  barcode module width: 6 dots"},
      {"\x1D\x66\x31", "GS f 49  HRI font B"},
      {"\x1DH3", "GS H 51  HRI position: both"},
      {"\x1Dk\x41\x0B"
       "01234567890",
       "GS k 65 11 \"01234567890\"  barcode UPC-A"},
      {"\x1Dk\x49\x02{B", "GS k 73 2 \"{B\"  barcode CODE128"},
      {std::string("\x1D(k\x04\0\x31\x41\x02\0", 9), "GS ( k fn 65 2  QR model 2"},
      {std::string("\x1D(k\x03\0\x31\x43\x2C", 8), "GS ( k fn 67 44  QR module size: 44 dots"},
      {std::string("\x1D(k\x03\0\x31\x45\x03", 8), "GS ( k fn 69 3  QR error correction: H"},
      {std::string("\x1D(k\x08\0"
                   "1P0a\"b\\c",
                   13),
       "GS ( k fn 80 \"a\\\"b\\\\c\"  QR store 5 bytes"},
      {std::string("\x1D(k\x03\0\x31\x51\x30", 8), "GS ( k fn 81  QR print"},
      {std::string("\x1D(L\x05\0\x30\x41\x43LR", 10),
       "GS ( L fn 65 \"CLR\"  delete all NV graphics"},
      {std::string("\x1D(L\x06\0\x30\x45\x41\x31\x01\x01", 11),
       "GS ( L fn 69 \"A1\"  print NV graphic, scale 1x1 (no such graphic)"},
      {std::string("\x1D"
                   "8L\x0F\0\0\0"
                   "0C0A1\x01\x09\0\x02\0"
                   "1abcd",
                   22),
       "GS 8 L fn 67 \"A1\"  define NV graphic: 9x2 dots, 1 colour, 4 bytes"},
      {std::string("\x1Dv0\0\x02\0\x01\0\xFF\xFF", 10),
       "GS v 0 0 2 0 1 0  raster band: 16x1 dots, normal, 2 bytes"},
      {std::string("\x1B*\x21\x01\0abc", 8),
       "ESC * 33 1 0  column image: 24-dot double density, 1 columns, 3 bytes"},
      {"\x1B\x99", "UNKNOWN 1B 99"},
      {std::string("\0", 1), "UNKNOWN 00"},
      {std::string("\x1Dv0\0", 4), "INCOMPLETE 1D 76 30 00 (4 bytes)"},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> log = LogOf(c.bytes);
    ASSERT_FALSE(log.empty()) << c.line;
    EXPECT_EQ(log.back(), c.line);
  }
}

TEST(CommandLogTest, TextIsShownThroughTheSelectedCodeTable) {
  const Case cases[] = {
      {"Caf\x82", "TEXT \"Caf\xC3\xA9\" (cp850)"},                   // the default table
      {std::string("\x1Bt\0\x9B", 4), "TEXT \"\xC2\xA2\" (cp437)"},  // cent sign
      {"\x1Bt\x02\x9B", "TEXT \"\xC3\xB8\" (cp850)"},                // o with stroke
      {"\x1Bt\x03\x84", "TEXT \"\xC3\xA3\" (cp860)"},                // a with tilde
      {"\x1Bt\x13\xD5", "TEXT \"\xE2\x82\xAC\" (cp858)"},            // euro sign
      {"\x1Bt\x1B\x80", "TEXT \"\xE2\x82\xAC\" (cp1252)"},           // euro sign
      {"\x1Bt\x05\x41\xE9", "TEXT \"A\\xE9\" (table 5)"},
      {"\x1Bt\x13\x1B@\x82", "TEXT \"\xC3\xA9\" (cp850)"},  // ESC @ restores the default
  };
  for (const Case& c : cases) EXPECT_EQ(LogOf(c.bytes).back(), c.line);
}

TEST(CommandLogTest, AnswersAndOverrunsAreLogged) {
  PrinterCore core(1);  // drains one byte a second: 6000 fill it
  PrinterState state;
  state.answerDelayMs = 40;
  core.SetState(state);
  core.Receive("\x10\x04\x01", PrinterCore::Clock::now());
  core.Receive(std::string(6010, 'x'), PrinterCore::Clock::now());
  ASSERT_EQ(core.Log().size(), 2u);
  EXPECT_EQ(core.Log()[0], "DLE EOT 1  printer status -> 12 after 40 ms");
  EXPECT_EQ(core.Log()[1], "OVERRUN 10 bytes lost: the receive buffer of 6000 bytes is full");
}

}  // namespace
}  // namespace vprinter

// The byte stream split into commands, and what the log says for each.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "code_table.h"
#include "command_log.h"
#include "command_parser.h"
#include "printer_core.h"
#include "virtual_printer.h"
#include "written_tables.h"

namespace vprinter {
namespace {

using namespace std::string_literals;  // "..."s: command bytes with NUL in them

// The log of a printer (of the market whose multi-byte set is model) sent only these bytes.
std::vector<std::string> LogOf(const std::string& bytes, const char* model = "GB18030") {
  PrinterCore core;
  PrinterState state;
  state.multiByteSet = model;
  core.SetState(state);
  core.Receive(bytes, PrinterCore::Clock::now());
  core.Finish(PrinterCore::Clock::now());
  return core.Log();
}

struct Case {
  std::string bytes;
  std::string line;  // as logged
};

// Each command of fixed length, and one of each way a parameter is read, with both outcomes of a
// choice: bits, nibbles, on/off and character selectors, signed and 16-bit counts, pins and
// timings, the forms of a cut, a NUL-ended list, the systems and both forms of a barcode, quoted
// data, 32-bit lengths and image sizes; a note from the settings; bytes that make no command.
// The command after each shows that it took exactly its own bytes, even where its data holds
// another command.
const std::vector<Case>& Commands() {
  static const std::vector<Case> cases = {
      {"\x1B!\x88", "ESC ! 0x88  print mode: emphasis underline"},
      {"\x1B!\x71", "ESC ! 0x71  print mode: font B double height double width italic"},
      {"\x1D!\x21", "GS ! 0x21  character size: width 3 height 2"},
      {"\x1B-2", "ESC - 50  underline 2 dots"},
      {"\x1B\\\xFF\xFF", "ESC \\ 255 255  relative position: -1"},
      {"\x1B$\xFF\x01", "ESC $ 255 1  absolute position: 511"},
      {"\x1DL\x2F\0"s, "GS L 47 0  left margin: 47 dots"},
      {"\x1DW\xFF\xFF", "GS W 255 255  printing area width: 65535 dots"},
      {"\x1B\x61\x32", "ESC a 50  justification: right"},
      {"\x1B\x33\x1E", "ESC 3 30  line spacing: 30 dots"},
      {"\x1B\x32", "ESC 2  default line spacing"},
      {"\x1B\x45\x01", "ESC E 1  emphasis on"},
      {"\x1B\x34\x01", "ESC 4 1  italic on"},
      {"\x1BG\0"s, "ESC G 0  double strike off"},
      {"\x1D\x42\x01", "GS B 1  reverse on"},
      {"\x1B{\x01", "ESC { 1  upside down on"},
      {"\x1BM1", "ESC M 49  font B"},
      {"\x1BMa", "ESC M 97  special font A"},
      {"\x1Bt\x13", "ESC t 19  code table: cp858"},
      {"\x1Bp0\x19\xFA", "ESC p 48 25 250  drawer pulse: pin 2, on 50 ms, off 500 ms"},
      {"\x1Bp\x01\x01\x01", "ESC p 1 1 1  drawer pulse: pin 5, on 2 ms, off 2 ms"},
      {"\x1B\x63\x30\x01", "ESC c 0 1  operation mode 1"},
      {"\x0A", "LF  line feed"},
      {"\x09", "HT  tab"},
      {"\x1BJ\xFF", "ESC J 255  feed 255 units"},
      {"\x1B\x64\x03", "ESC d 3  feed 3 lines"},
      {"\x1DV\x01", "GS V 1  cut"},
      {"\x1DV0", "GS V 48  full cut"},
      {"\x1DVB\x2C", "GS V 66 44  feed 44 units and cut"},
      {"\x1DVB\0"s, "GS V 66 0  feed 0 units and cut"},
      {"\x1B\x44\x08\x10\0"s, "ESC D 8 16 NUL  tab stops: 8 16"},
      {"\x1B\x44\0"s, "ESC D NUL  tab stops: none"},
      {"\x1B\x44" + [] {  // 32 stops end the list, NUL or not
         std::string stops;
         for (char stop = 1; stop <= 32; ++stop) stops += stop;
         return stops;
       }(),
       [] {
         std::string head = "ESC D", stops = "tab stops:";
         for (int stop = 1; stop <= 32; ++stop) {
           head += " " + std::to_string(stop);
           stops += " " + std::to_string(stop);
         }
         return head + "  " + stops;
       }()},
      {"\x1BW\0\0\0\0\0\x02\x90\x01"s,
       "ESC W 0 0 0 0 0 2 144 1  page-mode area: x 0 y 0 width 512 height 400"},
      {"\x1BL", "ESC L  page mode"},
      {"\x1BS", "ESC S  standard mode"},
      {"\x1B\x0C", "ESC FF  print page"},
      {"\x1Dh\x50", "GS h 80  barcode height: 80 dots"},
      {"\x1Dw\x06", "GS w 6  barcode module width: 6 dots"},
      {"\x1D\x66\x31", "GS f 49  HRI font B"},
      {"\x1DH3", "GS H 51  HRI position: both"},
      {"\x1Dk\x49\x02{B", "GS k 73 2 \"{B\"  barcode CODE128"},
      {"\x1Dk\x06" "A1B\0"s, "GS k 6 \"A1B\"  barcode CODABAR"},
      {"\x1D(k\x08\0"
       "1P0a\"b\\c"s,
       "GS ( k fn 80 \"a\\\"b\\\\c\"  QR store 5 bytes"},
      {"\x1D(k\x03\0" "1Q0"s, "GS ( k fn 81  QR print"},
      {"\x1D(L\x06\0\x30\x45\x41\x31\x01\x01"s,
       "GS ( L fn 69 \"A1\"  print NV graphic, scale 1x1 (no such graphic)"},
      {"\x1D(L\x02\0\x30\x33"s, "GS ( L fn 51  free NV graphics memory -> 37 31 34 30 30 30 30 00"},
      {"\x1D"
       "8L\x0F\0\0\0"
       "0C0A1\x01\x09\0\x02\0"
       "1abcd"s,
       "GS 8 L fn 67 \"A1\"  define NV graphic: 9x2 dots, 1 colour, 4 bytes"},
      {"\x1Dv0\0\x02\0\x01\0\xFF\xFF"s,
       "GS v 0 0 2 0 1 0  raster band: 16x1 dots, normal, 2 bytes"},
      {"\x1B*\x21\x01\0abc"s,
       "ESC * 33 1 0  column image: 24-dot double density, 1 columns, 3 bytes"},
      {"\x1B*\x01\x02\0\x1B@"s,
       "ESC * 1 2 0  column image: 8-dot double density, 2 columns, 2 bytes"},
      {"\x10\x04\x01", "DLE EOT 1  printer status -> 12"},
      {"\x10\x04\x0B", "DLE EOT 11  receive-buffer fill level -> 00"},
      {"\x1DI\x01", "GS I 1  model id -> 20"},
      {"\x1DI\x03", "GS I 3  version id -> 31 2E 30 30"},
      // What point-of-sale programs send besides: padding, real-time requests and functions,
      // status that comes back, Kanji and character sets, the responses and the commands of no
      // visible effect, each with its own length.
      {"\r", "CR  carriage return (no line feed)"},
      {"\0\0\0"s, "NUL x3  padding"},
      {"\x0C", "FF  print and return to standard mode"},
      {"\x1B \x02", "ESC SP 2  character spacing: 2 dots"},
      {"\x1BR\x02", "ESC R 2  international character set: Germany"},
      {"\x1BV\x01", "ESC V 1  90-degree rotation on"},
      {"\x1Bi", "ESC i  partial cut"},
      {"\x1BT\x01", "ESC T 1  page-mode print direction"},
      {"\x1B&\x03" "AB\x02\x01\x02\x03\x04\x05\x06\x01\x07\x08\x09"s,
       "ESC & 3 65 66  define user-defined characters, 11 bytes"},
      {"\x10\x05\x02", "DLE ENQ 2  recover, buffers cleared"},
      {"\x10\x14\x01\0\x05"s, "DLE DC4 1 0 5  real-time drawer pulse: pin 2, 500 ms"},
      {"\x10\x14\x08\x01\x03\x14\x01\x06\x02\x08",
       "DLE DC4 8 1 3 20 1 6 2 8  clear buffers -> 37 25 00"},
      {"\x1C&", "FS &  Kanji mode on"},
      {"\x1C.", "FS .  Kanji mode off"},
      {"\x1C" "C1",
       "FS C 49  Kanji code system: Shift JIS (ignored: only a Japanese model (--multi-byte jis) "
       "has FS C)"},
      {"\x1C!\x0C", "FS ! 0x0C  Kanji print mode: double width double height"},
      {"\x1C-2", "FS - 50  Kanji underline 2 dots"},
      {"\x1CS\x01\x02", "FS S 1 2  Kanji spacing: left 1 right 2 dots"},
      {"\x1C(A\x02\0\x30\0"s, "FS ( A fn 48  select Kanji font, 2 bytes"},
      {"\x1C(C\x02\0\x30\x02"s, "FS ( C fn 48  character encoding: UTF-8"},
      {"\x1C" "2\x21\x21" + std::string(72, '\x55'), "FS 2 33 33 " + [] {
         std::string params;
         for (int i = 0; i < 72; ++i) params += i == 0 ? "85" : " 85";
         return params;
       }() + "  define user-defined Kanji"},
      {"\x1Cq\x01\x01\0\x01\0"s + std::string(8, '\x0F'), "FS q 1  define NV bit images, 12 bytes"},
      {"\x1Cg\x01\0\0\0\0\0\x02\0ab"s, "FS g 1 0 0 0 0 0 2 0  user NV memory, 2 bytes"},
      {"\x1D" "a\xFF",
       "GS a 255  automatic status back on: drawer on-line error paper -> 10 00 00 00"},
      {"\x1Dr1", "GS r 49  transmit paper sensor status -> 00"},
      {"\x1Dr\x02", "GS r 2  transmit drawer status -> 00"},
      {"\x1Bv", "ESC v  transmit paper sensor status -> 00"},
      {"\x1D(H\x06\0\x30\x30" "ABCD"s,
       "GS ( H fn 48 \"ABCD\"  process ID response -> 37 22 41 42 43 44 00"},
      {"\x1D(E\x03\0\x01IN"s, "GS ( E fn 1  enter user setting mode -> 37 20 00"},
      {"\x1DI\x43", "GS I 67  model name -> 5F 56 50 52 49 4E 54 45 52 00"},
      {"\x1DP\xB4\xB4", "GS P 180 180  motion units"},
      {"\x1D*\x01\x01" + std::string(8, '\x0F'), "GS * 1 1  define downloaded bit image, 8 bytes"},
      {"\x1Dz0\x01\x02", "GS z 0 1 2  on-line recovery wait time"},
      {"\x1D(L\x02\0\x30\x32"s,
       "GS ( L fn 50  print the graphic in the print buffer (print buffer holds no graphic)"},
      {"\x1D" "8L\x0C\0\0\0\x30\x70\x30\x01\x01\x31\x08\0\x02\0\xAA\x55"s,
       "GS 8 L fn 112  graphic into the print buffer: 8x2 dots, scale 1x1, 2 bytes"},
      {"\x1D(L\x0C\0\x30\x53\x30" "B7\x01\x08\0\x01\0\x31\xF0"s,
       "GS ( L fn 83 \"B7\"  define download graphic: 8x1 dots, 1 colour, 1 bytes"},
      {"\x1D(k\x06\0\x30\x50\x30" "abc"s, "GS ( k cn 48 fn 80 \"abc\"  PDF417 store 3 bytes"},
      {"\x1D(k\x03\0\x30\x41\x03"s, "GS ( k cn 48 fn 65 3  PDF417 columns: 3"},
      {"\x1D(k\x04\0\x30\x45\x30\x32"s,
       "GS ( k cn 48 fn 69 48 50  PDF417 error correction level 2"},
      {"\x1D(k\x03\0\x36\x51\x30"s, "GS ( k cn 54 fn 81  DataMatrix print"},
      // Counters, Windows BMP graphics and the column image of any height: taken by their
      // lengths, even where the data hold another command.
      {"\x1D" "C0\x05\x01", "GS C 0 5 1  counter print mode"},
      {"\x1D" "C1\x01\0\xFF\xFF\x01\x01"s, "GS C 1 1 0 255 255 1 1  counter mode (A)"},
      {"\x1D" "C2\x0A\0"s, "GS C 2 10 0  set counter"},
      {"\x1D" "C;1;65535;1;1;1;", "GS C ;  counter mode (B), 14 bytes"},
      {"\x1D" "C;12;", "GS C ;  counter mode (B), 3 bytes"},  // ended early by the next command
      {"\x1D" "D0C0AB01" "BM\x0A\0\0\0\x1B@\x1B@"s,
       "GS D 48 67 48 65 66 48 49  define Windows BMP graphic, 10 bytes"},
      {"\x1D" "D0S0AB01" "BM\x02\0\0\0"s,
       "GS D 48 83 48 65 66 48 49  define Windows BMP graphic, 6 bytes"},
      {"\x1D" "D0\x01", "GS D 48 1  define Windows BMP graphic"},
      {"\x1DQ0\0\x02\0\x01\0\x1B@"s, "GS Q 0 0 2 0 1 0  variable vertical size image: 2x8 dots, normal, 2 bytes"},
      // Unknown members of known families are skipped by their count.
      {"\x1C(Z\x01\0\x07"s, "UNKNOWN 1C 28 5A 01 00 07"},
      {"\x1B(Z\x02\0\x1B@"s, "UNKNOWN 1B 28 5A 02 00 1B 40"},
      {"\x1D(X\x02\0ab"s, "UNKNOWN 1D 28 58 02 00 61 62"},
      {"\x1B\x99", "UNKNOWN 1B 99"},
  };
  return cases;
}

TEST(CommandLogTest, EachCommandTakesItsOwnBytesAndIsDecoded) {
  for (const Case& c : Commands()) {
    EXPECT_EQ(LogOf(c.bytes + "\x1B@"), std::vector<std::string>({c.line, "ESC @  initialise"}));
  }
}

TEST(CommandParserTest, CommandsSplitAnywhereComeOutWhole) {
  std::string stream;
  for (const Case& c : Commands()) stream += c.bytes;
  for (size_t piece : {1, 2, 3, 7}) {
    CommandParser parser;
    std::vector<Command> commands;
    for (size_t at = 0; at < stream.size(); at += piece) {
      for (Command& command : parser.Feed(stream.substr(at, piece))) commands.push_back(command);
    }
    ASSERT_EQ(commands.size(), Commands().size()) << "pieces of " << piece;
    for (size_t i = 0; i < commands.size(); ++i) EXPECT_EQ(commands[i].raw, Commands()[i].bytes);
    EXPECT_EQ(parser.Pending(), 0u);
  }
}

// n as the four count bytes p1 p2 p3 p4 of GS 8 L.
std::string Count32(size_t n) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(n >> (8 * i) & 0xFF);
  return bytes;
}

// A command that declares more than any printer holds is refused once and its bytes are counted
// off as they come, never stored; what follows them is read as usual.
TEST(CommandParserTest, OversizedCommandIsRefusedAndSkippedUnread) {
  const struct {
    std::string header;
    std::string line;
  } cases[] = {
      {"\x1D" "8L\xFF\xFF\xFF\xFF",
       "REFUSED GS 8 L 255 255 255 255  declares 4294967295 bytes, more than the 4194304 a command "
       "may hold: skipped unread"},
      {"\x1Dv0\0\xFF\xFF\xFF\xFF"s, "REFUSED GS v 0 0 255 255 255 255  declares 4294836225 bytes"},
      {"\x1D" "D0C0AB01" "BM\xFF\xFF\xFF\x7F", "REFUSED GS D 48 67 48 65 66 48 49  declares 2147483647"},
      {"\x1Cq\x02\xFF\xFF\xFF\xFF", "REFUSED FS q 2  declares 34358689804 bytes"},
  };
  const std::string chunk(1 << 20, '\x1D');  // would start a command each, were it read
  for (const auto& c : cases) {
    PrinterCore core;
    core.Receive(c.header, PrinterCore::Clock::now());
    for (int i = 0; i < 8; ++i) core.Receive(chunk, PrinterCore::Clock::now());
    ASSERT_EQ(core.Log().size(), 1u) << c.line;
    EXPECT_EQ(core.Log()[0].rfind(c.line, 0), 0u) << core.Log()[0];
    CommandParser parser;
    EXPECT_EQ(parser.Feed(c.header).at(0).kind, Kind::Refused);
    for (int i = 0; i < 8; ++i) {
      EXPECT_TRUE(parser.Feed(chunk).empty());
      EXPECT_EQ(parser.Pending(), 0u);
    }
  }
  // Declared one byte over the limit: the bytes after it, in the same read, are commands again.
  const size_t over = CommandParser::kMaxCommandBytes + 1;
  CommandParser parser;
  const std::vector<Command> refused =
      parser.Feed("\x1D" "8L" + Count32(over) + "abc");
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(refused[0].declared, over);
  EXPECT_EQ(parser.Skipping(), over - 3);
  for (size_t left = over - 3; left > chunk.size(); left -= chunk.size()) parser.Feed(chunk);
  const std::vector<Command> after =
      parser.Feed(std::string(parser.Skipping(), '\x1D') + "\x1B@\x1B" "E\x01");
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].kind, Kind::Initialise);
  EXPECT_EQ(after[1].kind, Kind::Emphasis);
  // At the limit a command is still taken, and waits for its bytes.
  const size_t limit = CommandParser::kMaxCommandBytes;
  CommandParser atLimit;
  EXPECT_TRUE(atLimit.Feed("\x1D" "8L" + Count32(limit)).empty());
  EXPECT_EQ(atLimit.Skipping(), 0u);
}

// What waits for an end that never comes (a line end, a NUL) is held back only so far.
TEST(CommandParserTest, BytesHeldBackForAnEndStayBounded) {
  const std::string chunk(1 << 14, 'A');
  for (const std::string start : {"", "\x1B\x44", "\x1Dk\x04"}) {
    CommandParser parser;
    parser.Feed(start);
    for (int i = 0; i < 64; ++i) {
      parser.Feed(chunk);
      EXPECT_LT(parser.Pending(), CommandParser::kMaxTextRun) << HexBytes(start, 4);
    }
  }
}

// Text waits in the parser for its line end; the serving thread tells the parser when the pty
// has gone quiet, so a run without one is logged at once.
TEST(CommandParserTest, TextRunOnAPtyIsLoggedWhenTheLineGoesQuiet) {
  CommandParser parser;
  EXPECT_TRUE(parser.Feed("Caf\x82").empty());
  EXPECT_EQ(parser.Feed("\nab").size(), 2u);
  VirtualPrinter printer;
  ASSERT_TRUE(printer.Start());
  const int fd = open(printer.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_EQ(write(fd, "Caf\x82", 4), 4);
  EXPECT_TRUE(printer.WaitForLog(1, 2000));
  EXPECT_EQ(printer.Log(), std::vector<std::string>{"TEXT \"Caf\xC3\xA9\" (cp850)"});
  close(fd);
}

TEST(CommandParserTest, UnfinishedCommandWaitsUntilTheEnd) {
  // GS v 0: a raster band of 72 x 83 bytes, two of them sent.
  const std::string unfinished("\x1Dv0\0\x48\0\x53\0\x01\x02", 10);
  EXPECT_EQ(LogOf(unfinished),
            std::vector<std::string>{"INCOMPLETE 1D 76 30 00 48 00 53 00 01 02 (10 bytes)"});
}

TEST(CommandLogTest, TextIsShownThroughTheSelectedCodeTable) {
  const Case cases[] = {
      {std::string("\x1Bt\0\x9B", 4), "TEXT \"\xC2\xA2\" (cp437)"},  // cent sign
      {"\x1Bt\x02\x9B", "TEXT \"\xC3\xB8\" (cp850)"},                // o with stroke
      {"\x1Bt\x03\x84", "TEXT \"\xC3\xA3\" (cp860)"},                // a with tilde
      {"\x1Bt\x13\xD5", "TEXT \"\xE2\x82\xAC\" (cp858)"},            // euro sign
      {"\x1Bt\x0D\xD5", "TEXT \"\xE2\x82\xAC\" (cp857)"},            // the printers' PC857
      {"\x1Bt\x1B\x80", "TEXT \"\xE2\x82\xAC\" (cp1252)"},           // euro sign
      {"\x1Bt\x63\x41\xE9", "TEXT \"A\\xE9\" (table 99)"},
      {"\x1Bt\x13\x1B@\x82", "TEXT \"\xC3\xA9\" (cp850)"},  // ESC @ restores the default
      {"\x1Bt\x11\x80\x9F", "TEXT \"АЯ\" (cp866)"},
      {"\x1Bt\x0E\x80\x97", "TEXT \"ΑΩ\" (cp737)"},
      {"\x1Bt\x10\x80", "TEXT \"€\" (cp1252)"},
      {"\x1Bt\x12\xA5", "TEXT \"ą\" (cp852)"},
      {"\x1Bt\x25\xC8", "TEXT \"ﺑ\" (cp864)"},  // its own presentation form
      {"\x1Bt\x24\x80", "TEXT \"א\" (cp862)"},
      {"\x1Bt\x20\xA0\xE1\x82\x80", "TEXT \"بطé\\x80\" (cp720)"},  // 80 holds nothing
      {"\x1Bt\x0C\x98\xD5\xA6\xBD\xEC\xAA", "TEXT \"İıĞŻŬ\\xAA\" (cp853)"},  // AA holds nothing
      {"\x1Bt\x14\xC7\xC4\xA1\xDA\x90\x8C", "TEXT \"สวกี๐←\" (thai42)"},
      {"\x1Bt\x0F\xC1", "TEXT \"Α\" (iso8859-7)"},
      {"\x1Bt\x28\xA4", "TEXT \"€\" (iso8859-15)"},
      {"\x1Bt\x01\x9C\x95\x91\x9D\xB1", "TEXT \"╭─┬╮ｱ\" (katakana)"},
      {"\x1BR\x02[\\]{", "TEXT \"ÄÖÜä\" (cp850 Germany)"},
      {"\x1BR\x08\\", "TEXT \"¥\" (cp850 Japan)"},
      {"\x1C&\xD6\xD0\xB9\xFA", "TEXT \"中国\" (GB 18030)"},
      {"\x1C&\x1BR\x0D\xC7\xD1", "TEXT \"한\" (KS C 5601)"},
      {"\x1C&\x1BR\x08\x46\x7C", "TEXT \"日\" (JIS)"},
      {"\x1C(C\x02\0\x30\x02\xC3\xA9\xE4\xB8\xAD"s, "TEXT \"é中\" (UTF-8)"},
      {"\x1C&\xD6", "TEXT \"\\xD6\" (GB 18030)"},  // a lead byte alone
      {"\x1C&\x1C.\x1Bt\x02\xD6", "TEXT \"Í\" (cp850)"},
  };
  for (const Case& c : cases) EXPECT_EQ(LogOf(c.bytes).back(), c.line) << c.line;
  // A printer whose model has Big5 reads the same bytes as Big5; a Japanese one reads Kanji as
  // JIS, or as Shift JIS after FS C 1, which only it takes.
  const struct {
    const char* model;
    Case logged;
  } kModels[] = {
      {"BIG5", {"\x1C&\xA4\xA4", "TEXT \"中\" (Big5)"}},
      {"BIG5", {"\x1C" "C1\x1C&\xA4\xA4", "TEXT \"中\" (Big5)"}},
      {kJapaneseModel, {"\x1C&\x46\x7C", "TEXT \"日\" (JIS)"}},
      {kJapaneseModel, {"\x1C" "C1\x93\xFA\x96\x7B\xB1", "TEXT \"日本ｱ\" (Shift JIS)"}},
      {kJapaneseModel, {"\x1C" "C1\x1BR\x08\x93\xFA\\100", "TEXT \"日¥100\" (Shift JIS)"}},
  };
  for (const auto& m : kModels) {
    EXPECT_EQ(LogOf(m.logged.bytes, m.model).back(), m.logged.line) << m.model;
  }
}

// The tables written out byte by byte hold every character of their script, each checked against
// glibc's table of that script: ISO 8859-3 in PC853, the Thai consonants of TIS-620 in Thai
// Character Code 42, the Arabic letters and vowel marks of ISO 8859-6 in PC720.
TEST(CodeTableTest, WrittenTablesHoldTheirWholeScript) {
  const struct {
    int table;
    const char* script;  // for iconv
    int first, last;     // the script's bytes that every one of these tables must hold
  } kScripts[] = {
      {kPc853, "ISO-8859-3", 0xA0, 0xFF}, {kThai42, "TIS-620", 0xA1, 0xCE},
      {kPc720, "ISO-8859-6", 0xC1, 0xDA}, {kPc720, "ISO-8859-6", 0xE0, 0xF2},
  };
  std::string upperHalf;
  for (int byte = 0x80; byte <= 0xFF; ++byte) upperHalf += static_cast<char>(byte);
  for (const auto& s : kScripts) {
    const std::vector<std::string> held = DecodeText(upperHalf, s.table);
    const std::set<std::string> table(held.begin(), held.end());
    Converter script(s.script);
    ASSERT_TRUE(script.Usable()) << s.script;
    for (int byte = s.first; byte <= s.last; ++byte) {
      const std::string character = script.Convert(std::string(1, static_cast<char>(byte)));
      if (character.empty()) continue;  // a byte the script leaves empty
      EXPECT_EQ(table.count(character), 1u) << s.table << ": " << character;
    }
  }
}

struct Effect {
  std::string bytes;
  bool (*holds)(const PrinterSettings&);
};

// What the commands leave in the printer's settings, and what ESC @ does and does not reset.
TEST(CommandEffectTest, CommandsSetWhatTheyName) {
  using S = const PrinterSettings&;
  const Effect effects[] = {
      {"\x1B \x03", [](S s) { return s.style.charSpacing == 3; }},
      {"\x1BR\x08", [](S s) { return s.style.internationalSet == 8; }},
      {"\x1BV1", [](S s) { return s.style.rotated; }},
      {"\x1C&", [](S s) { return s.style.kanji; }},
      {"\x1C&\x1C.", [](S s) { return !s.style.kanji; }},
      {"\x1C" "C1", [](S s) { return s.style.kanjiCodeSystem == -1; }},  // not a Japanese model
      {"\x1CS\x01\x02", [](S s) { return s.style.kanjiLeft == 1 && s.style.kanjiRight == 2; }},
      {"\x1C(C\x02\0\x30\x32\x1C(C\x02\0\x30\x01"s, [](S s) { return !s.style.utf8; }},
      {"\x1C&\x1B@", [](S s) { return !s.style.kanji; }},
      {"\x1D" "a\x05\x1B@", [](S s) { return s.autoStatusBack == 5; }},
      {"\x1D" "8L\x0C\0\0\0\x30\x70\x30\x02\x01\x31\x08\0\x02\0\xAA\x55"s,
       [](S s) {
         const BufferGraphic& b = s.bufferGraphic;
         return b.graphic.width == 8 && b.graphic.height == 2 && b.graphic.raster == "\xAA\x55" &&
                b.xScale == 2 && b.yScale == 1;
       }},
      // Column format: two columns of 9 dots, turned into two rows of bits and a ninth.
      {"\x1D(L\x0F\0\x30\x44\x30" "C1\x01\x02\0\x09\0\x31\xFF\x80\x80\x00"s,
       [](S s) {
         const auto g = s.nvGraphics.find("C1");
         return g != s.nvGraphics.end() &&
                g->second.raster == "\xC0\x80\x80\x80\x80\x80\x80\x80\x80"s;
       }},
      {"\x1D(L\x0C\0\x30\x53\x30" "B7\x01\x08\0\x01\0\x31\xF0"s,
       [](S s) { return s.downloadGraphics.count("B7") == 1 && s.nvGraphics.empty(); }},
      {"\x1D(L\x0C\0\x30\x53\x30" "B7\x01\x08\0\x01\0\x31\xF0\x1D(L\x04\0\x30\x52" "B7"s,
       [](S s) { return s.downloadGraphics.empty(); }},
      {"\x1D(k\x03\0\x30\x41\x04\x1D(k\x03\0\x30\x43\x02\x1D(k\x03\0\x30\x44\x05"s
       "\x1D(k\x04\0\x30\x45\x30\x35\x1D(k\x03\0\x30\x46\x01\x1D(k\x05\0\x30\x50\x30" "ab"s,
       [](S s) {
         const Pdf417Settings& p = s.pdf417;
         return p.columns == 4 && p.moduleWidth == 2 && p.rowHeight == 5 && p.errorLevel == 5 &&
                p.truncated && p.data == "ab";
       }},
  };
  for (const Effect& e : effects) {
    PrinterCore core;
    core.Receive(e.bytes, PrinterCore::Clock::now());
    EXPECT_TRUE(e.holds(core.Settings())) << HexBytes(e.bytes, 40);
  }
}

}  // namespace
}  // namespace vprinter

// The entry points that send one command: what each maps, which encoder operation it reaches,
// and its bytes at the edges of its arguments, each refused value next to its accepted neighbour.
#include <gtest/gtest.h>

#include <string>

#include "recorded_connection.h"

namespace {

struct EntryCase {
  const char* call;
  int (*run)();
  int (*twin)();  // the same on a printer handle
  int result;
  std::string sent;  // empty: nothing may be written
};

// The twin of a row's call, on this printer handle.
#define TWIN(call) [] { return call; }
tallyjet_printer* printer = nullptr;

const int kOk = TALLYJET_SUCCESS;
const int kRefused = TALLYJET_ERR_INVALID_ARGUMENT;

unsigned char kNoTabs[] = {0};
const unsigned char kColumn[3] = {0x81, 0x42, 0x24};
int freeBytes = 0;

// In order: the print-mode rows build on the mode the rows before them leave.
const EntryCase kEntries[] = {
    // bold and italic are shifted as received; of underline only the lowest bit counts.
    {CALL(SetTextProperties(2, 1, 1, 1)), TWIN(tallyjet_set_text_properties(printer, 2, 1, 1, 1)),
     kOk, Bytes({0x1B, 0x21, 0xF8})},
    {CALL(SetTextProperties(1, 0, 3, 0)), TWIN(tallyjet_set_text_properties(printer, 1, 0, 3, 0)),
     kOk, Bytes({0x1B, 0x21, 0x81})},
    {CALL(SetTextProperties(1, 0, 2, 0)), TWIN(tallyjet_set_text_properties(printer, 1, 0, 2, 0)),
     kOk, Bytes({0x1B, 0x21, 0x01})},
    {CALL(SetTextProperties(0, 0, 0, 2)), TWIN(tallyjet_set_text_properties(printer, 0, 0, 0, 2)),
     kOk, Bytes({0x1B, 0x21, 0x10})},
    {CALL(SetTextProperties(0, 2, 0, 0)), TWIN(tallyjet_set_text_properties(printer, 0, 2, 0, 0)),
     kOk, Bytes({0x1B, 0x21, 0x80})},
    {CALL(SetTextProperties(2, 0, 0, 1)), TWIN(tallyjet_set_text_properties(printer, 2, 0, 0, 1)),
     kOk, Bytes({0x1B, 0x21, 0x38})},
    {CALL(SetItalicEnable()), TWIN(tallyjet_set_italic_enable(printer)), kOk,
     Bytes({0x1B, 0x21, 0x78})},
    {CALL(Reset()), TWIN(tallyjet_reset(printer)), kOk,
     Bytes({0x1B, 0x40})},  // forgets the print mode
    {CALL(SetItalicEnable()), TWIN(tallyjet_set_italic_enable(printer)), kOk,
     Bytes({0x1B, 0x21, 0x40})},
    {CALL(SetPrintMode(416)), TWIN(tallyjet_set_print_mode(printer, 416)), kOk,
     Bytes({0x1B, 0x21, 0xA0})},
    {CALL(SetItalicEnable()), TWIN(tallyjet_set_italic_enable(printer)), kOk,
     Bytes({0x1B, 0x21, 0xE0})},
    {CALL(SetItalicDisable()), TWIN(tallyjet_set_italic_disable(printer)), kOk,
     Bytes({0x1B, 0x21, 0xA0})},
    {CALL(SetPrintMode(-1)), TWIN(tallyjet_set_print_mode(printer, -1)), kOk,
     Bytes({0x1B, 0x21, 0xFF})},
    {CALL(MakeCut(1)), TWIN(tallyjet_make_cut(printer, 1)), kOk, Bytes({0x1D, 0x56, 0x01})},
    {CALL(MakeCutnLines(49, 7)), TWIN(tallyjet_make_cut_n_lines(printer, 49, 7)), kOk,
     Bytes({0x1D, 0x56, 0x31})},
    {CALL(MakeCutnLines(66, 300)), TWIN(tallyjet_make_cut_n_lines(printer, 66, 300)), kOk,
     Bytes({0x1D, 0x56, 0x42, 0x2C})},
    {CALL(MakePrint()), TWIN(tallyjet_make_print(printer)), kOk, "\n"},
    {CALL(PrintAndLineFeed()), TWIN(tallyjet_print_and_line_feed(printer)), kOk, "\n"},
    {CALL(SetDumpEnable()), TWIN(tallyjet_set_dump_enable(printer)), kOk, "\n"},
    {CALL(PaperFeed(255)), TWIN(tallyjet_paper_feed(printer, 255)), kOk, Bytes({0x1B, 0x4A, 0xFF})},
    {CALL(PaperFeed(-1)), TWIN(tallyjet_paper_feed(printer, -1)), kRefused, ""},
    {CALL(PrintAndPaperFeed(0)), TWIN(tallyjet_print_and_paper_feed(printer, 0)), kOk,
     Bytes({0x1B, 0x4A, 0x00})},
    {CALL(GetPartialLineFeed(255)), TWIN(tallyjet_get_partial_line_feed(printer, 255)), kOk,
     Bytes({0x1B, 0x64, 0xFF})},
    {CALL(SetJustification(2)), TWIN(tallyjet_set_justification(printer, 2)), kOk,
     Bytes({0x1B, 0x61, 0x02})},
    {CALL(SetBoldEnable(0)), TWIN(tallyjet_set_bold_enable(printer, 0)), kOk,
     Bytes({0x1B, 0x45, 0x01})},
    {CALL(SetBoldDisable()), TWIN(tallyjet_set_bold_disable(printer)), kOk,
     Bytes({0x1B, 0x45, 0x00})},
    {CALL(SetDoubleStrike(1)), TWIN(tallyjet_set_double_strike(printer, 1)), kOk,
     Bytes({0x1B, 0x47, 0x01})},
    {CALL(SetPrintModeUnderline(0)), TWIN(tallyjet_set_print_mode_underline(printer, 0)), kOk,
     Bytes({0x1B, 0x2D, 0x00})},
    {CALL(SetPrintModeUnderline(2)), TWIN(tallyjet_set_print_mode_underline(printer, 2)), kOk,
     Bytes({0x1B, 0x2D, 0x02})},
    {CALL(SetPrintModeUnderline(50)), TWIN(tallyjet_set_print_mode_underline(printer, 50)), kOk,
     Bytes({0x1B, 0x2D, 0x32})},
    {CALL(SetCharSize(1)), TWIN(tallyjet_set_char_size(printer, 1)), kOk,
     Bytes({0x1D, 0x21, 0x01})},
    {CALL(SetCharSize(16)), TWIN(tallyjet_set_char_size(printer, 16)), kOk,
     Bytes({0x1D, 0x21, 0x10})},
    {CALL(SetCharSize(17)), TWIN(tallyjet_set_char_size(printer, 17)), kOk,
     Bytes({0x1D, 0x21, 0x11})},
    {CALL(SetFontType(1)), TWIN(tallyjet_set_font_type(printer, 1)), kOk,
     Bytes({0x1B, 0x4D, 0x01})},
    {CALL(SetFontType(49)), TWIN(tallyjet_set_font_type(printer, 49)), kOk,
     Bytes({0x1B, 0x4D, 0x31})},
    {CALL(SetReverseBlackWhite(1)), TWIN(tallyjet_set_reverse_black_white(printer, 1)), kOk,
     Bytes({0x1D, 0x42, 0x01})},
    {CALL(SetUpsideDownMode(1)), TWIN(tallyjet_set_upside_down_mode(printer, 1)), kOk,
     Bytes({0x1B, 0x7B, 0x01})},
    {CALL(SetLineSpacing(255)), TWIN(tallyjet_set_line_spacing(printer, 255)), kOk,
     Bytes({0x1B, 0x33, 0xFF})},
    {CALL(SetDefaultLineSpacing()), TWIN(tallyjet_set_default_line_spacing(printer)), kOk,
     Bytes({0x1B, 0x32})},
    {CALL(SetLeftMargin(47)), TWIN(tallyjet_set_left_margin(printer, 47)), kOk,
     Bytes({0x1D, 0x4C, 0x2F, 0x00})},
    {CALL(SetLeftMargin(-1)), TWIN(tallyjet_set_left_margin(printer, -1)), kRefused, ""},
    {CALL(SetRightMargin(24)), TWIN(tallyjet_set_right_margin(printer, 24)), kOk,
     Bytes({0x1D, 0x57, 0x18, 0x00})},
    {CALL(SetRightMargin(65535)), TWIN(tallyjet_set_right_margin(printer, 65535)), kOk,
     Bytes({0x1D, 0x57, 0xFF, 0xFF})},
    {CALL(SetRightMargin(65536)), TWIN(tallyjet_set_right_margin(printer, 65536)), kRefused, ""},
    {CALL(SetAbsolutePrintPosition(300)), TWIN(tallyjet_set_absolute_print_position(printer, 300)),
     kOk, Bytes({0x1B, 0x24, 0x2C, 0x01})},
    {CALL(SetAbsolutePrintPosition(65536)),
     TWIN(tallyjet_set_absolute_print_position(printer, 65536)), kOk,
     Bytes({0x1B, 0x24, 0x00, 0x00})},
    {CALL(SetRelativePrintPosition(255)), TWIN(tallyjet_set_relative_print_position(printer, 255)),
     kOk, Bytes({0x1B, 0x5C, 0xFF, 0x00})},
    {CALL(SetRelativePrintPosition(256)), TWIN(tallyjet_set_relative_print_position(printer, 256)),
     kOk, Bytes({0x1B, 0x5C, 0x00, 0x01})},
    {CALL(SetRelativePrintPosition(65536)),
     TWIN(tallyjet_set_relative_print_position(printer, 65536)), kRefused, ""},
    {CALL(SetPrintingArea(1, 256, 0x1234, -1)),
     TWIN(tallyjet_set_printing_area(printer, 1, 256, 0x1234, -1)), kOk,
     Bytes({0x1B, 0x57, 0x01, 0x00, 0x00, 0x01, 0x34, 0x12, 0xFF, 0xFF})},
    {CALL(SetStandardMode()), TWIN(tallyjet_set_standard_mode(printer)), kOk, Bytes({0x1B, 0x53})},
    {CALL(SetPageMode()), TWIN(tallyjet_set_page_mode(printer)), kOk, Bytes({0x1B, 0x4C})},
    {CALL(PrintInPageMode()), TWIN(tallyjet_print_in_page_mode(printer)), kOk, Bytes({0x1B, 0x0C})},
    {CALL(SetHorizTabPosition(kNoTabs)), TWIN(tallyjet_set_horiz_tab_position(printer, kNoTabs)),
     kOk, Bytes({0x1B, 0x44, 0x00})},
    {CALL(SetHorizTabPosition(nullptr)), TWIN(tallyjet_set_horiz_tab_position(printer, nullptr)),
     kRefused, ""},
    {CALL(GeneratePulse(0, 25, 250)), TWIN(tallyjet_generate_pulse(printer, 0, 25, 250)), kOk,
     Bytes({0x1B, 0x70, 0x00, 0x19, 0xFA})},
    {CALL(GeneratePulse(1, 50, 100)), TWIN(tallyjet_generate_pulse(printer, 1, 50, 100)), kOk,
     Bytes({0x1B, 0x70, 0x01, 0x32, 0x64})},
    {CALL(GeneratePulse(48, 2, 3)), TWIN(tallyjet_generate_pulse(printer, 48, 2, 3)), kOk,
     Bytes({0x1B, 0x70, 0x30, 0x02, 0x03})},
    {CALL(GeneratePulse(49, 300, 1)), TWIN(tallyjet_generate_pulse(printer, 49, 300, 1)), kOk,
     Bytes({0x1B, 0x70, 0x31, 0x2C, 0x01})},
    {CALL(SetHriFont(48)), TWIN(tallyjet_set_hri_font(printer, 48)), kOk,
     Bytes({0x1D, 0x66, 0x30})},
    {CALL(SetHriFont(49)), TWIN(tallyjet_set_hri_font(printer, 49)), kOk,
     Bytes({0x1D, 0x66, 0x31})},
    {CALL(SetHriPosition(51)), TWIN(tallyjet_set_hri_position(printer, 51)), kOk,
     Bytes({0x1D, 0x48, 0x33})},
    {CALL(SetHriPosition(52)), TWIN(tallyjet_set_hri_position(printer, 52)), kRefused, ""},
    {CALL(SetQrCodeModel(2)), TWIN(tallyjet_set_qr_code_model(printer, 2)), kOk,
     Bytes({0x1D, 0x28, 0x6B, 0x04, 0x00, 0x31, 0x41, 0x02, 0x00})},
    {CALL(SetQrCodeResolution(300)), TWIN(tallyjet_set_qr_code_resolution(printer, 300)), kOk,
     Bytes({0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x43, 0x2C})},
    {CALL(SetQrCodeErrorCorretion(3)), TWIN(tallyjet_set_qr_code_error_correction(printer, 3)), kOk,
     Bytes({0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x45, 0x03})},
    {CALL(MakeQrCode()), TWIN(tallyjet_make_qr_code(printer)), kOk,
     Bytes({0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x51, 0x30})},
    {CALL(SetBitImageMode(33, kColumn, 3)),
     TWIN(tallyjet_set_bit_image_mode(printer, 33, kColumn, 3)), kOk,
     Bytes({0x1B, 0x2A, 0x21, 0x01, 0x00, 0x81, 0x42, 0x24})},
    // The low byte of each key code.
    {CALL(PrintGraphic(0x141, 0x31)), TWIN(tallyjet_print_graphic(printer, 0x141, 0x31)), kOk,
     Bytes({0x1D, 0x28, 0x4C, 0x06, 0x00, 0x30, 0x45, 0x41, 0x31, 0x01, 0x01})},
    {CALL(CleanGraphic(0x41, 0x231)), TWIN(tallyjet_clean_graphic(printer, 0x41, 0x231)), kOk,
     Bytes({0x1D, 0x28, 0x4C, 0x04, 0x00, 0x30, 0x42, 0x41, 0x31})},
    {CALL(CleanAllGraphics()), TWIN(tallyjet_clean_all_graphics(printer)), kOk,
     Bytes({0x1D, 0x28, 0x4C, 0x05, 0x00, 0x30, 0x41, 0x43, 0x4C, 0x52})},
    // The recording printer does not answer the query.
    {CALL(GetMemoryAvailabled(&freeBytes)),
     TWIN(tallyjet_get_memory_available(printer, &freeBytes)), TALLYJET_ERR_FAILED,
     Bytes({0x1D, 0x28, 0x4C, 0x02, 0x00, 0x30, 0x33})},
    // The recording transport reports no USB product, so the operation mode is not sent.
    {CALL(SetOperationMode(1)), TWIN(tallyjet_set_operation_mode(printer, 1)),
     TALLYJET_ERR_NOT_SUPPORTED, ""},
};

using CommandsTest = RecordedConnection;

TEST_F(CommandsTest, EachEntryPointReachesItsCommandAsOneWriteOrRefusesUnsent) {
  for (const EntryCase& c : kEntries) {
    transport->writes.clear();
    EXPECT_EQ(c.run(), c.result) << c.call;
    EXPECT_EQ(transport->writes, c.sent.empty() ? Writes{} : Writes{c.sent}) << c.call;
  }
}

// Each twin on a printer handle of an application's link sends the same bytes and answers the
// same; the process-wide connection sees none of them.
TEST_F(CommandsTest, EachTwinOnAPrinterSendsWhatItsEntryPointSends) {
  RecordingTransport link;
  printer = OpenOnRecorder(&link);
  ASSERT_NE(printer, nullptr);
  for (const EntryCase& c : kEntries) {
    link.writes.clear();
    EXPECT_EQ(c.twin(), c.result) << c.call;
    EXPECT_EQ(link.writes, c.sent.empty() ? Writes{} : Writes{c.sent}) << c.call;
  }
  EXPECT_TRUE(transport->writes.empty());
  EXPECT_EQ(tallyjet_close(printer), TALLYJET_SUCCESS);
  printer = nullptr;
}

// An encoder without a transport answers "port not open" before it looks at any argument.
TEST_F(CommandsTest, EncoderWithoutTransportAnswersPortNotOpenFirst) {
  delete prot_;  // and the transport with it
  prot_ = new ProtEscPos(nullptr);
  comm_ = new RecordingTransport;
  for (const EntryCase& c : kEntries) EXPECT_EQ(c.run(), TALLYJET_ERR_PORT_NOT_OPEN) << c.call;
  delete prot_;
  prot_ = nullptr;
}

}  // namespace

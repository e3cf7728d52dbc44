// The order of the checks every exported function makes: no port, then a transport without an
// encoder, then its own checks; the same for each twin on a printer handle, through the
// process-wide connection (a null printer) and on a printer of its own. This program never calls
// SetProtocol(101), since nothing can unselect it again.
#include <gtest/gtest.h>

#include "recorded_connection.h"

namespace {

const int kOk = TALLYJET_SUCCESS;
const int kFailed = TALLYJET_ERR_FAILED;
const int kUnsupported = TALLYJET_ERR_NOT_SUPPORTED;
const int kRefused = TALLYJET_ERR_INVALID_ARGUMENT;
const int kNoPort = TALLYJET_ERR_PORT_NOT_OPEN;
const int kNoEncoder = TALLYJET_ERR_NO_PROTOCOL;

const char* const kMissing = "/nonexistent/picture.png";
const int kOne = 0x3F800000;          // 1.0f as its bits
tallyjet_printer* printer = nullptr;  // null: the process-wide connection
tallyjet_printer* opened = nullptr;
const tallyjet_picture_options kBadDither = {0, 3, 0, 0, 0};
int word = 0;
int info[5];
char text[] = "x";
unsigned char raster[3] = {};

// The twin on a printer handle of a row's call, or none.
#define TWIN(call) [] { return call; }
#define NO_TWIN nullptr
// -4 without a port, -8 with a transport but no encoder, then the row's answer.
#define GUARDED(call, twin, connected) \
  { CALL(call), twin, kNoPort, kNoEncoder, connected }
#define REFUSED(call, twin) GUARDED(call, twin, kRefused)
#define UNSUPPORTED(call, twin) GUARDED(call, twin, kUnsupported)
// The status functions and OpenPort refuse a null pointer before they look at the connection.
#define NULL_FIRST(call, twin) \
  { CALL(call), twin, kRefused, kRefused, kRefused }

struct Row {
  const char* call;
  int (*run)();
  int (*twin)();
  int withoutPort;
  int withoutEncoder;
  int connected;  // on a connection whose printer answers nothing, a printer handle's too
};

// Every exported function in the order of tallyjet.h, called with an argument it refuses where
// it checks one.
const Row kRows[] = {
    {CALL(SetProtocol(100)), NO_TWIN, kUnsupported, kUnsupported, kUnsupported},
    NULL_FIRST(OpenPort(nullptr, 0, 'N', 8, 1), TWIN(tallyjet_open(nullptr, 0, &opened))),
    {CALL(GetData(text, 1)), TWIN(tallyjet_get_data(printer, text, 1)), kNoPort, 0, 0},
    {CALL(SendData(nullptr, 1)), TWIN(tallyjet_send_data(printer, nullptr, 1)), kNoPort, kRefused,
     kRefused},
    GUARDED(Reset(), TWIN(tallyjet_reset(printer)), kOk),
    UNSUPPORTED(EnableLog(), NO_TWIN),
    NULL_FIRST(GetPrinterStatus(nullptr), TWIN(tallyjet_get_printer_status(printer, nullptr))),
    NULL_FIRST(GetMediaStatus(nullptr), TWIN(tallyjet_get_media_status(printer, nullptr))),
    NULL_FIRST(tallyjet_GetMediaStatus(nullptr), NO_TWIN),
    NULL_FIRST(GetDrawerStatus(1, nullptr), TWIN(tallyjet_get_drawer_status(printer, 1, nullptr))),
    NULL_FIRST(GetPrinterInfo(nullptr), TWIN(tallyjet_get_printer_info(printer, nullptr))),
    NULL_FIRST(GetRealTimeStatus(1, nullptr),
               TWIN(tallyjet_get_real_time_status(printer, 1, nullptr))),
    GUARDED(GetPrinterStatus(&word), TWIN(tallyjet_get_printer_status(printer, &word)), kFailed),
    GUARDED(GetMediaStatus(&word), TWIN(tallyjet_get_media_status(printer, &word)), kFailed),
    GUARDED(tallyjet_GetMediaStatus(&word), NO_TWIN, kFailed),
    REFUSED(GetDrawerStatus(3, &word), TWIN(tallyjet_get_drawer_status(printer, 3, &word))),
    GUARDED(GetPrinterInfo(info), TWIN(tallyjet_get_printer_info(printer, info)), kOk),
    REFUSED(GetRealTimeStatus(5, &word), TWIN(tallyjet_get_real_time_status(printer, 5, &word))),
    REFUSED(SetCharCodeTable(1), TWIN(tallyjet_set_char_code_table(printer, 1))),
    REFUSED(SetTextProperties(3, 0, 0, 0), TWIN(tallyjet_set_text_properties(printer, 3, 0, 0, 0))),
    REFUSED(SetTextProperties(-1, 0, 0, 0),
            TWIN(tallyjet_set_text_properties(printer, -1, 0, 0, 0))),
    GUARDED(MakeCut(0), TWIN(tallyjet_make_cut(printer, 0)), kUnsupported),
    REFUSED(MakeCut(49), TWIN(tallyjet_make_cut(printer, 49))),  // which the encoder would take
    REFUSED(MakeCutnLines(65, 1), TWIN(tallyjet_make_cut_n_lines(printer, 65, 1))),
    GUARDED(MakePrint(), TWIN(tallyjet_make_print(printer)), kOk),
    REFUSED(SetJustification(48),
            TWIN(tallyjet_set_justification(printer, 48))),  // the encoder would take it
    GUARDED(SetBoldEnable(0), TWIN(tallyjet_set_bold_enable(printer, 0)), kOk),
    REFUSED(SetLeftMargin(48), TWIN(tallyjet_set_left_margin(printer, 48))),
    REFUSED(SetReverseBlackWhite(2), TWIN(tallyjet_set_reverse_black_white(printer, 2))),
    REFUSED(SetLineSpacing(256), TWIN(tallyjet_set_line_spacing(printer, 256))),
    GUARDED(SetDefaultLineSpacing(), TWIN(tallyjet_set_default_line_spacing(printer)), kOk),
    REFUSED(PaperFeed(256), TWIN(tallyjet_paper_feed(printer, 256))),
    REFUSED(PrintAndPaperFeed(256), TWIN(tallyjet_print_and_paper_feed(printer, 256))),
    GUARDED(PrintAndLineFeed(), TWIN(tallyjet_print_and_line_feed(printer)), kOk),
    REFUSED(GetPartialLineFeed(256), TWIN(tallyjet_get_partial_line_feed(printer, 256))),
    GUARDED(SetAbsolutePrintPosition(0), TWIN(tallyjet_set_absolute_print_position(printer, 0)),
            kOk),
    REFUSED(SetRelativePrintPosition(-1), TWIN(tallyjet_set_relative_print_position(printer, -1))),
    GUARDED(SetPrintingArea(0, 0, 0, 0), TWIN(tallyjet_set_printing_area(printer, 0, 0, 0, 0)),
            kOk),
    REFUSED(SetRightMargin(23), TWIN(tallyjet_set_right_margin(printer, 23))),
    GUARDED(SetStandardMode(), TWIN(tallyjet_set_standard_mode(printer)), kOk),
    GUARDED(SetPageMode(), TWIN(tallyjet_set_page_mode(printer)), kOk),
    GUARDED(PrintInPageMode(), TWIN(tallyjet_print_in_page_mode(printer)), kOk),
    REFUSED(SetUpsideDownMode(2), TWIN(tallyjet_set_upside_down_mode(printer, 2))),
    REFUSED(SetHorizTabPosition(nullptr), TWIN(tallyjet_set_horiz_tab_position(printer, nullptr))),
    GUARDED(SetDumpEnable(), TWIN(tallyjet_set_dump_enable(printer)), kOk),
    GUARDED(SetItalicEnable(), TWIN(tallyjet_set_italic_enable(printer)), kOk),
    GUARDED(SetItalicDisable(), TWIN(tallyjet_set_italic_disable(printer)), kOk),
    GUARDED(SetBoldDisable(), TWIN(tallyjet_set_bold_disable(printer)), kOk),
    REFUSED(SetDoubleStrike(2), TWIN(tallyjet_set_double_strike(printer, 2))),
    REFUSED(SetPrintModeUnderline(3), TWIN(tallyjet_set_print_mode_underline(printer, 3))),
    REFUSED(SetCharSize(2), TWIN(tallyjet_set_char_size(printer, 2))),
    REFUSED(SetFontType(2), TWIN(tallyjet_set_font_type(printer, 2))),
    GUARDED(SetPrintMode(0), TWIN(tallyjet_set_print_mode(printer, 0)), kOk),
    // The recording transport reports no USB product, so the operation mode is not sent.
    UNSUPPORTED(SetOperationMode(1), TWIN(tallyjet_set_operation_mode(printer, 1))),
    REFUSED(GeneratePulse(2, 0, 0), TWIN(tallyjet_generate_pulse(printer, 2, 0, 0))),
    UNSUPPORTED(SetCharSpacing(1), NO_TWIN),
    UNSUPPORTED(SetPrintingAreaHeight(1), NO_TWIN),
    UNSUPPORTED(SetAbsoluteVerticalPrintPosition(1), NO_TWIN),
    UNSUPPORTED(SetCharacterPerLine(1), NO_TWIN),
    UNSUPPORTED(SetKeyboard(1), NO_TWIN),
    UNSUPPORTED(SetDrawerOn(1), NO_TWIN),
    UNSUPPORTED(SetAutomaticLineFeed(1), NO_TWIN),
    UNSUPPORTED(SetPageLength(1), NO_TWIN),
    UNSUPPORTED(SetPrintDensity(1), NO_TWIN),
    UNSUPPORTED(SetCondensedDisable(), NO_TWIN),
    UNSUPPORTED(SetCondensedEnable(), NO_TWIN),
    UNSUPPORTED(SetExpandedModeDisable(), NO_TWIN),
    UNSUPPORTED(SetExpandedModeEnable(), NO_TWIN),
    UNSUPPORTED(SetMode48Columns(), NO_TWIN),
    UNSUPPORTED(CancelLastCharacterSent(), NO_TWIN),
    UNSUPPORTED(CancelLastLineSended(), NO_TWIN),
    UNSUPPORTED(RealTimeRequest(1), NO_TWIN),
    UNSUPPORTED(SetPeripheralDevice(1), NO_TWIN),
    UNSUPPORTED(SetUserChar(1), NO_TWIN),
    UNSUPPORTED(DefineUserChar(1, 2, 3, nullptr), NO_TWIN),
    UNSUPPORTED(CancelUserChar(1), NO_TWIN),
    UNSUPPORTED(SetInternationalCharSet(1), NO_TWIN),
    UNSUPPORTED(ExecuteMacro(1, 2, 3), NO_TWIN),
    UNSUPPORTED(StartEndMacroDefinition(), NO_TWIN),
    UNSUPPORTED(PrintDownloadedBitImage(1), NO_TWIN),
    UNSUPPORTED(SetDownloadedBitImage(1, 2, nullptr), NO_TWIN),
    UNSUPPORTED(SetRotation(1), NO_TWIN),
    UNSUPPORTED(SetMotionUnits(1, 2), NO_TWIN),
    REFUSED(PrintBarCode(65, 100, 1, 0, 2, 0, nullptr),
            TWIN(tallyjet_print_bar_code(printer, 65, 100, 1, 0, 2, 0, nullptr))),
    REFUSED(SetHriFont(2), TWIN(tallyjet_set_hri_font(printer, 2))),
    REFUSED(SetHriPosition(4), TWIN(tallyjet_set_hri_position(printer, 4))),
    REFUSED(SetQrCodeModel(3), TWIN(tallyjet_set_qr_code_model(printer, 3))),
    GUARDED(SetQrCodeResolution(3), TWIN(tallyjet_set_qr_code_resolution(printer, 3)), kOk),
    REFUSED(SetQrCodeErrorCorretion(4), TWIN(tallyjet_set_qr_code_error_correction(printer, 4))),
    REFUSED(StoreQrCodeData(text, 0), TWIN(tallyjet_store_qr_code_data(printer, text, 0))),
    GUARDED(MakeQrCode(), TWIN(tallyjet_make_qr_code(printer)), kOk),
    // A bad half-tone value, below or above the three, is refused before the file is looked at.
    REFUSED(PrintBmpImage(kMissing, 1.0f, 1.0f, 0, 0, -1),
            TWIN(tallyjet_print_bmp_image(printer, kMissing, 1.0f, 1.0f, 0, 0, -1))),
    REFUSED(PrintBmp8(kMissing, kOne, kOne, 0, 0, 3), NO_TWIN),
    GUARDED(SaveGraphic(kMissing, 1, 1), TWIN(tallyjet_save_graphic(printer, kMissing, 1, 1)),
            kFailed),
    REFUSED(SetBitImageMode(2, raster, 3),
            TWIN(tallyjet_set_bit_image_mode(printer, 2, raster, 3))),
    REFUSED(PrintRasterBitImage(4, 8, 1, raster),
            TWIN(tallyjet_print_raster_bit_image(printer, 4, 8, 1, raster))),
    REFUSED(tallyjet_PrintRasterBands(4, 8, 1, raster),
            TWIN(tallyjet_print_raster_bands(printer, 4, 8, 1, raster))),
    GUARDED(PrintGraphic(1, 1), TWIN(tallyjet_print_graphic(printer, 1, 1)), kOk),
    GUARDED(CleanGraphic(1, 1), TWIN(tallyjet_clean_graphic(printer, 1, 1)), kOk),
    GUARDED(CleanAllGraphics(), TWIN(tallyjet_clean_all_graphics(printer)), kOk),
    REFUSED(GetMemoryAvailabled(nullptr), TWIN(tallyjet_get_memory_available(printer, nullptr))),
    REFUSED(tallyjet_print_picture(nullptr, kMissing, &kBadDither),
            TWIN(tallyjet_print_picture(printer, kMissing, &kBadDither))),
    {CALL(ClosePort()), TWIN(tallyjet_close(printer)), kNoPort, kOk,
     kOk},  // last: it ends the connection
};

// A refusal sends nothing.
bool Refusal(int result) {
  return result == kRefused || result == kUnsupported || result == kNoEncoder;
}

// Each row's call, and its twin on a null printer, in the three states of the process-wide
// connection.
TEST(PreconditionsTest, NoPortThenNoEncoderThenTheFunctionsOwnChecks) {
  const char* const states[] = {"without a port", "without an encoder", "connected"};
  for (int state = 0; state < 3; ++state) {
    for (const bool twin : {false, true}) {
      RecordingTransport* transport = state > 0 ? ConnectRecorder(state == 2) : nullptr;
      for (const Row& row : kRows) {
        int (*run)() = twin ? row.twin : row.run;
        if (run == nullptr) continue;
        const int expected[] = {row.withoutPort, row.withoutEncoder, row.connected};
        if (transport != nullptr) transport->writes.clear();
        EXPECT_EQ(run(), expected[state]) << row.call << " " << states[state] << " twin " << twin;
        if (transport != nullptr && Refusal(expected[state])) {
          EXPECT_TRUE(transport->writes.empty()) << row.call << " " << states[state];
        }
      }
      EXPECT_EQ(comm_, nullptr);  // OpenPort(nullptr) made none; ClosePort forgot the connection
    }
  }
}

// On a printer handle of its own, each twin answers what its row answers on a connected printer
// that answers nothing, and sends nothing when it refuses. The process-wide connection is left
// alone.
TEST(PreconditionsTest, TwinOnAPrinterAnswersAsTheConnectedProcessWideCall) {
  RecordingTransport recorder;
  printer = OpenOnRecorder(&recorder);
  ASSERT_NE(printer, nullptr);
  for (const Row& row : kRows) {
    if (row.twin == nullptr) continue;
    recorder.writes.clear();
    EXPECT_EQ(row.twin(), row.connected) << row.call;
    if (Refusal(row.connected)) {
      EXPECT_TRUE(recorder.writes.empty()) << row.call;
    }
  }
  printer = nullptr;  // the last row closed it
  EXPECT_EQ(comm_, nullptr);
  EXPECT_EQ(opened, nullptr);  // tallyjet_open(nullptr) made none
}

TEST(PreconditionsTest, OpenPortWithoutProtocolLeavesOnlyATransport) {
  EXPECT_EQ(OpenPort("/dev/null", 0, 'N', 8, 1), kNoEncoder);
  ASSERT_NE(comm_, nullptr);
  EXPECT_EQ(prot_, nullptr);
  // The transport exists but was never opened.
  EXPECT_EQ(GetData(text, 1), kNoPort);
  EXPECT_EQ(ClosePort(), kNoPort);
  EXPECT_EQ(comm_, nullptr);
}

}  // namespace

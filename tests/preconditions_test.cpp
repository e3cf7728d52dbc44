// The order of the checks every exported function makes: no port, then a transport without an
// encoder, then its own checks. This program never calls SetProtocol(101), since nothing can
// unselect it again.
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
const int kOne = 0x3F800000;  // 1.0f as its bits
int word = 0;
int info[5];
char text[] = "x";
unsigned char raster[3] = {};

// -4 without a port, -8 with a transport but no encoder, then the row's answer.
#define GUARDED(call, connected) {CALL(call), kNoPort, kNoEncoder, connected}
#define REFUSED(call) GUARDED(call, kRefused)
#define UNSUPPORTED(call) GUARDED(call, kUnsupported)
// The status functions and OpenPort refuse a null pointer before they look at the connection.
#define NULL_FIRST(call) {CALL(call), kRefused, kRefused, kRefused}

struct Row {
  const char* call;
  int (*run)();
  int withoutPort;
  int withoutEncoder;
  int connected;  // on a connection whose printer answers nothing
};

// Every exported function in the order of tallyjet.h, called with an argument it refuses where
// it checks one.
const Row kRows[] = {
    {CALL(SetProtocol(100)), kUnsupported, kUnsupported, kUnsupported},
    NULL_FIRST(OpenPort(nullptr, 0, 'N', 8, 1)), {CALL(GetData(text, 1)), kNoPort, 0, 0},
    {CALL(SendData(nullptr, 1)), kNoPort, kRefused, kRefused}, GUARDED(Reset(), kOk),
    UNSUPPORTED(EnableLog()), NULL_FIRST(GetPrinterStatus(nullptr)),
    NULL_FIRST(GetMediaStatus(nullptr)), NULL_FIRST(tallyjet_GetMediaStatus(nullptr)),
    NULL_FIRST(GetDrawerStatus(1, nullptr)), NULL_FIRST(GetPrinterInfo(nullptr)),
    NULL_FIRST(GetRealTimeStatus(1, nullptr)), GUARDED(GetPrinterStatus(&word), kFailed),
    GUARDED(GetMediaStatus(&word), kFailed), GUARDED(tallyjet_GetMediaStatus(&word), kFailed),
    REFUSED(GetDrawerStatus(3, &word)), GUARDED(GetPrinterInfo(info), kOk),
    REFUSED(GetRealTimeStatus(5, &word)), REFUSED(SetCharCodeTable(1)),
    REFUSED(SetTextProperties(3, 0, 0, 0)), REFUSED(SetTextProperties(-1, 0, 0, 0)),
    GUARDED(MakeCut(0), kUnsupported),
    REFUSED(MakeCut(49)),  // which the encoder would take
    REFUSED(MakeCutnLines(65, 1)), GUARDED(MakePrint(), kOk),
    REFUSED(SetJustification(48)),  // the encoder would take it
    GUARDED(SetBoldEnable(0), kOk), REFUSED(SetLeftMargin(48)), REFUSED(SetReverseBlackWhite(2)),
    REFUSED(SetLineSpacing(256)), GUARDED(SetDefaultLineSpacing(), kOk), REFUSED(PaperFeed(256)),
    REFUSED(PrintAndPaperFeed(256)), GUARDED(PrintAndLineFeed(), kOk),
    REFUSED(GetPartialLineFeed(256)), GUARDED(SetAbsolutePrintPosition(0), kOk),
    REFUSED(SetRelativePrintPosition(-1)), GUARDED(SetPrintingArea(0, 0, 0, 0), kOk),
    REFUSED(SetRightMargin(23)), GUARDED(SetStandardMode(), kOk), GUARDED(SetPageMode(), kOk),
    GUARDED(PrintInPageMode(), kOk), REFUSED(SetUpsideDownMode(2)),
    REFUSED(SetHorizTabPosition(nullptr)), GUARDED(SetDumpEnable(), kOk),
    GUARDED(SetItalicEnable(), kOk), GUARDED(SetItalicDisable(), kOk),
    GUARDED(SetBoldDisable(), kOk), REFUSED(SetDoubleStrike(2)), REFUSED(SetPrintModeUnderline(3)),
    REFUSED(SetCharSize(2)), REFUSED(SetFontType(2)), GUARDED(SetPrintMode(0), kOk),
    // The recording transport reports no USB product, so the operation mode is not sent.
    UNSUPPORTED(SetOperationMode(1)), REFUSED(GeneratePulse(2, 0, 0)),
    UNSUPPORTED(SetCharSpacing(1)), UNSUPPORTED(SetPrintingAreaHeight(1)),
    UNSUPPORTED(SetAbsoluteVerticalPrintPosition(1)), UNSUPPORTED(SetCharacterPerLine(1)),
    UNSUPPORTED(SetKeyboard(1)), UNSUPPORTED(SetDrawerOn(1)), UNSUPPORTED(SetAutomaticLineFeed(1)),
    UNSUPPORTED(SetPageLength(1)), UNSUPPORTED(SetPrintDensity(1)),
    UNSUPPORTED(SetCondensedDisable()), UNSUPPORTED(SetCondensedEnable()),
    UNSUPPORTED(SetExpandedModeDisable()), UNSUPPORTED(SetExpandedModeEnable()),
    UNSUPPORTED(SetMode48Columns()), UNSUPPORTED(CancelLastCharacterSent()),
    UNSUPPORTED(CancelLastLineSended()), UNSUPPORTED(RealTimeRequest(1)),
    UNSUPPORTED(SetPeripheralDevice(1)), UNSUPPORTED(SetUserChar(1)),
    UNSUPPORTED(DefineUserChar(1, 2, 3, nullptr)), UNSUPPORTED(CancelUserChar(1)),
    UNSUPPORTED(SetInternationalCharSet(1)), UNSUPPORTED(ExecuteMacro(1, 2, 3)),
    UNSUPPORTED(StartEndMacroDefinition()), UNSUPPORTED(PrintDownloadedBitImage(1)),
    UNSUPPORTED(SetDownloadedBitImage(1, 2, nullptr)), UNSUPPORTED(SetRotation(1)),
    UNSUPPORTED(SetMotionUnits(1, 2)), REFUSED(PrintBarCode(65, 100, 1, 0, 2, 0, nullptr)),
    REFUSED(SetHriFont(2)), REFUSED(SetHriPosition(4)), REFUSED(SetQrCodeModel(3)),
    GUARDED(SetQrCodeResolution(3), kOk), REFUSED(SetQrCodeErrorCorretion(4)),
    REFUSED(StoreQrCodeData(text, 0)), GUARDED(MakeQrCode(), kOk),
    // A bad half-tone value, below or above the three, is refused before the file is looked at.
    REFUSED(PrintBmpImage(kMissing, 1.0f, 1.0f, 0, 0, -1)),
    REFUSED(PrintBmp8(kMissing, kOne, kOne, 0, 0, 3)),
    GUARDED(SaveGraphic(kMissing, 1, 1), kFailed), REFUSED(SetBitImageMode(2, raster, 3)),
    REFUSED(PrintRasterBitImage(4, 8, 1, raster)),
    REFUSED(tallyjet_PrintRasterBands(4, 8, 1, raster)), GUARDED(PrintGraphic(1, 1), kOk),
    GUARDED(CleanGraphic(1, 1), kOk), GUARDED(CleanAllGraphics(), kOk),
    REFUSED(GetMemoryAvailabled(nullptr)),
    {CALL(ClosePort()), kNoPort, kOk, kOk},  // last: it ends the connection
};

// A refusal sends nothing.
bool Refusal(int result) {
  return result == kRefused || result == kUnsupported || result == kNoEncoder;
}

TEST(PreconditionsTest, NoPortThenNoEncoderThenTheFunctionsOwnChecks) {
  const char* const states[] = {"without a port", "without an encoder", "connected"};
  for (int state = 0; state < 3; ++state) {
    RecordingTransport* transport = state > 0 ? ConnectRecorder(state == 2) : nullptr;
    for (const Row& row : kRows) {
      const int expected[] = {row.withoutPort, row.withoutEncoder, row.connected};
      if (transport != nullptr) transport->writes.clear();
      EXPECT_EQ(row.run(), expected[state]) << row.call << " " << states[state];
      if (transport != nullptr && Refusal(expected[state])) {
        EXPECT_TRUE(transport->writes.empty()) << row.call << " " << states[state];
      }
    }
    EXPECT_EQ(comm_, nullptr);  // OpenPort(nullptr) made none; ClosePort forgot the connection
  }
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

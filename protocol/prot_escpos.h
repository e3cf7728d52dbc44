// The ESC/POS command encoder: each operation builds one command and hands it to the transport
// in one Write; queries then pause and read the answer once.
#ifndef TALLYJET_PROT_ESCPOS_H
#define TALLYJET_PROT_ESCPOS_H

#include "tallyjet.h"

class CommBase;

class TALLYJET_API ProtEscPos {
 public:
  // Takes ownership of transport (which may be null).
  explicit ProtEscPos(CommBase* transport);
  ~ProtEscPos();
  ProtEscPos(const ProtEscPos&) = delete;
  ProtEscPos& operator=(const ProtEscPos&) = delete;

  int GetProtocol();
  int Initialize();
  int SetOperationMode(int mode);

  // Paper handling.
  int PaperCut(int m);
  int PaperCutnLines(int m, int n);
  int PaperFeed(int n);
  int PrintAndPaperFeed(int n);
  int GetPartialLineFeed(int n);
  int PrintAndLineFeed();
  int SetDumpEnable();
  int PrintInPageMode();

  // Character attributes.
  int SetPrintMode(int n);
  int SetItalicEnable();
  int SetItalicDisable();
  int SetBoldEnable(int unused);
  int SetBoldDisable();
  int SetDoubleStrike(int n);
  int SetPrintModeUnderline(int n);
  int SetCharSize(int n);
  // GS ! n: characters 1 to 8 times as wide and as high (SetCharSize offers 1 and 2).
  __attribute__((visibility("hidden"))) int SetCharMagnification(int width, int height);
  int SetFontType(int n);
  int SetReverseBlackWhite(int n);
  int SetUpsideDownMode(int n);
  int SetCharCodeTable(int n);

  // Layout, spacing and position.
  int SetJustification(int n);
  int SetLineSpacing(int n);
  int SetDefaultLineSpacing();
  int SetLeftMargin(int n);
  int SetRightMargin(int n);
  int SetPrintingAreaWidth(int w);
  int SetAbsolutePrintPosition(int n);
  int SetRelativePrintPosition(int n);
  int SetHorizTabPosition(unsigned char* list);
  int SetPrintingArea(int x, int y, int dx, int dy);
  int SetPageMode();
  int SetStandardMode();

  // Status and information queries, and the drawer pulse.
  int GetRealTimeStatus(int n, int* status);
  int GetBufferSize(int* size);
  int GetPrinterID(int n, char* id);
  int GetMemoryAvailabled(int* bytes);
  int GeneratePulse(int m, int t1, int t2);
  // Asks the printer to confirm that everything sent so far has printed and waits up to
  // timeoutMs: 1 confirmed; TALLYJET_ERR_PRINTER_STOPPED the printer said it cannot go on;
  // TALLYJET_ERR_NOT_CONFIRMED no confirmation in time; -3 a negative time; another negative
  // code when the link failed.
  __attribute__((visibility("hidden"))) int WaitPrinted(int timeoutMs);

  // Barcodes and QR codes.
  int SetBarCodeHeight(int n);
  int SetBarCodeWidth(int n);
  int SetHriFont(int n);
  int SetHriPosition(int n);
  int PrintBarCode(int m, const char* data, int n);
  int SetQrCodeModel(int n);
  int SetQrCodeResolution(int n);
  int SetQrCodeErrorCorretion(int n);
  int StoreQrCodeData(char* data, int len);
  int MakeQrCode();

  // Raster images and stored graphics.
  int PrintRasterBitImage(int mode, int width, int height, const unsigned char* data);
  // The same bands without the fill-level query, for transports whose flow control holds the
  // writes back while the printer is busy.
  int PrintRasterBands(int mode, int width, int height, const unsigned char* data);
  int SetBitImageMode(int mode, const unsigned char* data, int length);
  int SaveGraphic(int width, int height, const unsigned char* data, int kc1, int kc2);
  int PrintGraphic(int kc1, int kc2);
  int CleanGraphic(int kc1, int kc2);
  int CleanAllGraphics();

  // Declared for completeness of the command set; each answers -2 and sends nothing.
  int PrintDownloadedBitImage(int n);
  int SetDownloadedBitImage(int x, int y, unsigned char* data);
  int RealTimeRequest(int n);
  int SetCharSpacing(int n);
  int SetMotionUnits(int x, int y);
  int SetPeripheralDevice(int n);
  int SetPrintingAreaHeight(int n);
  int CancelLastLineSended();
  int SetUserChar(int n);
  int DefineUserChar(int a, int b, int c, char* data);
  int CancelUserChar(int n);
  int SetExpandedModeDisable();
  int SetExpandedModeEnable();
  int SetRotation(int n);
  int SetInternationalCharSet(int n);
  int ExecuteMacro(int a, int b, int c);
  int StartEndMacroDefinition();
  int SetAbsoluteVerticalPrintPosition(int n);
  int SetCharacterPerLine(int n);
  int SetDrawerOn(int n);
  int SetKeyboard(int n);
  int SetAutomaticLineFeed(int n);
  int SetPageLength(int n);
  int SetPrintDensity(int n);
  int SetCondensedDisable();
  int SetCondensedEnable();
  int SetMode48Columns();
  int CancelLastCharacterSent();
  int GetPrinterStatus(int n, int* status);
  int SetDrawerState(int n);
  int SetPrintDirection(int n);
  int GetRealTime(int a, int b, int c);

 private:
  CommBase* transport_;
  int printMode_;   // last ESC ! value, kept whole although only its low byte is sent
  int leftMargin_;  // last GS L value, the base of SetPrintingAreaWidth
  char pageMode_;   // 1 after ESC L, 0 after ESC S
  // The last query got no answer in time; the next one waits for it first. Lies in the tail
  // padding, so the object keeps its size.
  bool answerOwed_;
};

#endif  // TALLYJET_PROT_ESCPOS_H

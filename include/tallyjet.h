/*
 * tallyjet.h - drive ESC/POS receipt printers from C or C++.
 *
 * Conventions
 * - Every function returns an int result code: TALLYJET_SUCCESS (1) on success, a negative
 *   TALLYJET_ERR_* value on failure. GetData returns a byte count (0 or more) instead.
 * - The functions named in CamelCase work on the one printer connection the process holds
 *   (OpenPort). Call them from one thread at a time; every call blocks until its bytes are
 *   written (and, for queries, answered).
 * - The tallyjet_ functions in snake case work on a printer handle (tallyjet_open): each handle
 *   is a connection of its own, so several printers can be driven at once, each from its own
 *   thread (one handle by one thread at a time). A NULL handle means the process-wide connection.
 * - Before any command: SetProtocol(TALLYJET_PROTOCOL_ESCPOS), then OpenPort. Every command
 *   answers TALLYJET_ERR_PORT_NOT_OPEN without a port and TALLYJET_ERR_NO_PROTOCOL without a
 *   protocol, before it looks at its arguments.
 * - Pointers passed in must not be null; a null buffer or output pointer answers
 *   TALLYJET_ERR_INVALID_ARGUMENT and sends nothing (the status functions say so even before
 *   they check the connection). The library keeps no pointer after a call returns and never
 *   frees memory it did not allocate.
 * - The library prints nothing, except DumpConsole, which exists to print.
 */
#ifndef TALLYJET_H
#define TALLYJET_H

#define TALLYJET_VERSION_MAJOR 1
#define TALLYJET_VERSION_MINOR 3
#define TALLYJET_VERSION_PATCH 0

#if defined(__GNUC__)
#define TALLYJET_API __attribute__((visibility("default")))
#else
#define TALLYJET_API
#endif

/* Result codes. */
#define TALLYJET_SUCCESS 1
#define TALLYJET_ERR_FAILED (-1)
#define TALLYJET_ERR_NOT_SUPPORTED (-2)
#define TALLYJET_ERR_INVALID_ARGUMENT (-3)
#define TALLYJET_ERR_PORT_NOT_OPEN (-4)
#define TALLYJET_ERR_NO_MEMORY (-6)
#define TALLYJET_ERR_NO_PROTOCOL (-8)
#define TALLYJET_ERR_USB_OPEN (-9)
#define TALLYJET_ERR_USB_CONFIGURATION (-10)
#define TALLYJET_ERR_USB_CLAIM (-11)
#define TALLYJET_ERR_USB_RELEASE (-12)
#define TALLYJET_ERR_CLOSE (-13)
#define TALLYJET_ERR_USB_NOT_FOUND (-14)
#define TALLYJET_ERR_SERIAL_TIMEOUT (-16)
#define TALLYJET_ERR_USB_LIBRARY (-17)
#define TALLYJET_ERR_READ (-30)
#define TALLYJET_ERR_PRINTER_STOPPED (-40) /* the printer cannot go on: paper, cover, error */
#define TALLYJET_ERR_NOT_CONFIRMED (-41)   /* the printer did not confirm in time */
/* Any other negative value from GetData or a query is libusb's own error number. */

/* The largest picture PrintBmpImage and SaveGraphic take: at most TALLYJET_MAX_PICTURE_PIXELS
 * pixels (4096 x 4096) and at most TALLYJET_MAX_PICTURE_WIDTH dots wide. The size is read from
 * the file's header before any pixel is decoded, so a larger picture costs no memory. */
#define TALLYJET_MAX_PICTURE_PIXELS 16777216
#define TALLYJET_MAX_PICTURE_WIDTH 65535

/* The only protocol: ESC/POS. */
#define TALLYJET_PROTOCOL_ESCPOS 101

/* Printer status word (GetPrinterStatus). */
#define TALLYJET_PRINTER_OFFLINE 0x001
#define TALLYJET_PRINTER_PAPER_END_STOP 0x002
#define TALLYJET_PRINTER_ERROR 0x010
#define TALLYJET_PRINTER_STATUS_BIT7 0x020
#define TALLYJET_PRINTER_COVER_OPEN 0x100
#define TALLYJET_PRINTER_ONLINE 0x200
#define TALLYJET_PRINTER_NOT_OBTAINED 0x400
#define TALLYJET_PRINTER_EXTRA_BIT6 0x800

/* Media status word (GetMediaStatus). */
#define TALLYJET_MEDIA_PAPER_PRESENT 0x001
#define TALLYJET_MEDIA_PAPER_NEAR_END 0x004
#define TALLYJET_MEDIA_PAPER_END 0x008
#define TALLYJET_MEDIA_NOT_OBTAINED 0x040
#define TALLYJET_MEDIA_EXTRA_BIT5 0x100

/* Drawer status word (GetDrawerStatus). */
#define TALLYJET_DRAWER_PIN3_LOW 0
#define TALLYJET_DRAWER_PIN3_HIGH 1
#define TALLYJET_DRAWER_NOT_OBTAINED 0x040

/* The character code tables SetCharCodeTable accepts. SendData converts UTF-8 only under 850. */
#define TALLYJET_CODEPAGE_437 0
#define TALLYJET_CODEPAGE_850 2
#define TALLYJET_CODEPAGE_860 3
#define TALLYJET_CODEPAGE_858 19
#define TALLYJET_CODEPAGE_1252 27

/* Dots across the print head of the two paper widths. */
#define TALLYJET_PAPER_WIDTH_58MM 384
#define TALLYJET_PAPER_WIDTH_80MM 576

#ifdef __cplusplus
extern "C" {
#endif

/* The name of a result code, for logs ("success", "port not open", ...); never NULL. */
TALLYJET_API const char* tallyjet_result_name(int code);
/* The library's version as "MAJOR.MINOR.PATCH". */
TALLYJET_API const char* tallyjet_version(void);

/* ---- Connection ---- */

/* Selects the command language; only TALLYJET_PROTOCOL_ESCPOS is accepted (else -2). */
TALLYJET_API int SetProtocol(int protocol);
/* Opens "USB" (libusb-0.1; a kernel driver holding the printer is detached first when libusb
 * can), a serial device (baudRate 9600, 19200 or 115200) or a device node (baudRate 0). The
 * other settings go to the serial line; it always runs 8N1 with RTS/CTS.
 * -3 for a null name, -8 before SetProtocol, else the transport's code. */
TALLYJET_API int OpenPort(const char* portName, int baudRate, char parity, int dataBits,
                          int stopBits);
/* Closes the port and forgets the connection, even when closing fails; -4 when none is open.
 * On the network it first waits while the printer takes what is still queued, for as long as
 * it keeps taking bytes. -1 when the printer did not get the whole job: a write had failed, the
 * printer closed or reset the connection, or it stopped taking bytes. */
TALLYJET_API int ClosePort(void);
/* Reads up to length raw bytes the printer sent; answers the count or a negative code. */
TALLYJET_API int GetData(char* buffer, int length);
/* Sends ESC @ (initialise the printer); the code table selection is kept. */
TALLYJET_API int Reset(void);
/* There is no logging: always -2 once a connection exists. */
TALLYJET_API int EnableLog(void);

/* ---- Status and information ---- */

/* Fills *status with TALLYJET_PRINTER_* bits; NOT_OBTAINED alone when a query fails or its answer
 * is no status byte. */
TALLYJET_API int GetPrinterStatus(int* status);
/* Fills *status with TALLYJET_MEDIA_* bits; NOT_OBTAINED alone when the query fails. */
TALLYJET_API int GetMediaStatus(int* status);
/* The same as GetMediaStatus, under a second name. */
TALLYJET_API int tallyjet_GetMediaStatus(int* status);
/* drawer 1 or 2; fills *status with TALLYJET_DRAWER_PIN3_HIGH or _LOW, or NOT_OBTAINED. */
TALLYJET_API int GetDrawerStatus(int drawer, int* status);
/* Fills info[0..4]: model id, type id, then 12 bytes of version id (zeros where unanswered). */
TALLYJET_API int GetPrinterInfo(int* info);
/* Asks real-time status byte n (1, 2, 3, 4 or 6) into *status (0 to 255). A byte 1 to 4 whose
 * fixed bits are wrong (bits 1 and 4 set, bits 0 and 7 clear) is no status: -1, *status untouched.
 * After a query that got no answer in time, the next query on the connection first waits up to
 * one read time-out for that late answer and drops it. */
TALLYJET_API int GetRealTimeStatus(int n, int* status);

/* ---- Text ---- */

/* Selects the printer's code table: 0, 2 (code page 850, the default), 3, 19 or 27. */
TALLYJET_API int SetCharCodeTable(int table);
/* Sends length raw bytes in one write; under table 2 UTF-8 U+00C0..U+00FF become code page 850
 * bytes first. Adds nothing. */
TALLYJET_API int SendData(const char* data, int length);

/* ---- Formatting, paper handling and modes ---- */

/* size 0 font A, 1 font B, 2 double height and width; italic, underline and bold 0 or 1. */
TALLYJET_API int SetTextProperties(int size, unsigned char italic, unsigned char underline,
                                   unsigned char bold);
/* mode 1: partial cut (GS V 1); 0 answers -2, anything else -3. */
TALLYJET_API int MakeCut(int mode);
/* mode 1 or 49: cut; 66: feed lines motion units, then cut. */
TALLYJET_API int MakeCutnLines(int mode, int lines);
/* Prints the line buffer and feeds one line (LF). */
TALLYJET_API int MakePrint(void);
/* align 0 left, 1 centre, 2 right. */
TALLYJET_API int SetJustification(int align);
/* Switches emphasis on; the argument is ignored. */
TALLYJET_API int SetBoldEnable(int unused);
/* Left margin 0 to 47 (GS L). */
TALLYJET_API int SetLeftMargin(int margin);
/* 1 prints white on black, 0 black on white (GS B). */
TALLYJET_API int SetReverseBlackWhite(int enable);
/* Line spacing 0 to 255 dots (ESC 3). */
TALLYJET_API int SetLineSpacing(int dots);
/* Back to the default line spacing (ESC 2). */
TALLYJET_API int SetDefaultLineSpacing(void);
/* Prints and feeds 0 to 255 motion units (ESC J). */
TALLYJET_API int PaperFeed(int units);
/* Prints and feeds 0 to 255 motion units (ESC J). */
TALLYJET_API int PrintAndPaperFeed(int units);
/* Prints the line buffer and feeds one line (LF). */
TALLYJET_API int PrintAndLineFeed(void);
/* Prints and feeds 0 to 255 lines (ESC d). */
TALLYJET_API int GetPartialLineFeed(int lines);
/* Absolute print position in motion units, any value as nL nH (ESC $). */
TALLYJET_API int SetAbsolutePrintPosition(int position);
/* Relative print position 0 to 65535 (ESC \). */
TALLYJET_API int SetRelativePrintPosition(int position);
/* Page-mode printing area, each value as nL nH (ESC W). */
TALLYJET_API int SetPrintingArea(int x, int y, int dx, int dy);
/* Printing-area width 24 to 65535 (GS W). */
TALLYJET_API int SetRightMargin(int width);
/* Leaves page mode (ESC S). */
TALLYJET_API int SetStandardMode(void);
/* Enters page mode (ESC L). */
TALLYJET_API int SetPageMode(void);
/* Prints the page-mode buffer (ESC FF). */
TALLYJET_API int PrintInPageMode(void);
/* 1 turns printing upside down, 0 back (ESC {). */
TALLYJET_API int SetUpsideDownMode(int enable);
/* Zero-terminated list of tab columns, at most 32 used (ESC D); -3 for a null list. */
TALLYJET_API int SetHorizTabPosition(unsigned char* positions);
/* Waits 50 ms, then prints the line buffer (LF). */
TALLYJET_API int SetDumpEnable(void);
/* Sets the italic bit of the current print mode (ESC !). */
TALLYJET_API int SetItalicEnable(void);
/* Clears the italic bit of the current print mode (ESC !). */
TALLYJET_API int SetItalicDisable(void);
/* Switches emphasis off (ESC E 0). */
TALLYJET_API int SetBoldDisable(void);
/* Double strike 0 or 1 (ESC G). */
TALLYJET_API int SetDoubleStrike(int enable);
/* Underline 0, 1, 2 (or 48, 49, 50) dots thick (ESC -). */
TALLYJET_API int SetPrintModeUnderline(int mode);
/* Character size 0, 1, 16 or 17 (GS !). */
TALLYJET_API int SetCharSize(int size);
/* Font 0 or 1 (or 48, 49) (ESC M). */
TALLYJET_API int SetFontType(int font);
/* Print mode byte, any value (ESC !); remembered for the italic functions. */
TALLYJET_API int SetPrintMode(int mode);
/* Operation mode for printers on USB product 0x0020 only (else -2). */
TALLYJET_API int SetOperationMode(int mode);
/* Drawer pulse on pin m (0, 1, 48, 49), on time t1 and off time t2 (ESC p). */
TALLYJET_API int GeneratePulse(int m, int t1, int t2);

/* Not supported: each answers -2 once a connection exists. */
TALLYJET_API int SetCharSpacing(int n);
TALLYJET_API int SetPrintingAreaHeight(int n);
TALLYJET_API int SetAbsoluteVerticalPrintPosition(int n);
TALLYJET_API int SetCharacterPerLine(int n);
TALLYJET_API int SetKeyboard(int n);
TALLYJET_API int SetDrawerOn(int n);
TALLYJET_API int SetAutomaticLineFeed(int n);
TALLYJET_API int SetPageLength(int n);
TALLYJET_API int SetPrintDensity(int n);
TALLYJET_API int SetCondensedDisable(void);
TALLYJET_API int SetCondensedEnable(void);
TALLYJET_API int SetExpandedModeDisable(void);
TALLYJET_API int SetExpandedModeEnable(void);
TALLYJET_API int SetMode48Columns(void);
TALLYJET_API int CancelLastCharacterSent(void);
TALLYJET_API int CancelLastLineSended(void);
TALLYJET_API int RealTimeRequest(int n);
TALLYJET_API int SetPeripheralDevice(int n);
TALLYJET_API int SetUserChar(int n);
TALLYJET_API int DefineUserChar(int a, int b, int c, char* data);
TALLYJET_API int CancelUserChar(int n);
TALLYJET_API int SetInternationalCharSet(int n);
TALLYJET_API int ExecuteMacro(int a, int b, int c);
TALLYJET_API int StartEndMacroDefinition(void);
TALLYJET_API int PrintDownloadedBitImage(int n);
TALLYJET_API int SetDownloadedBitImage(int a, int b, unsigned char* data);
TALLYJET_API int SetRotation(int n);
TALLYJET_API int SetMotionUnits(int x, int y);

/* ---- Barcodes and QR codes ---- */

/* type 65 (UPC-A) to 73 (CODE128); height 1 to 255; width 0, 1, 2 (modules 2, 3, 6 dots);
 * leftMargin 0 to 47; hriPosition 0 none, 1 above, 2 below, 3 both; hriFont 0 A, 1 B;
 * data zero-terminated, at most 255 bytes used. Sends the settings, then the barcode. */
TALLYJET_API int PrintBarCode(int type, int height, int width, int leftMargin, int hriPosition,
                              int hriFont, const char* data);
/* Font of the human-readable text: 0, 1, 48, 49 (GS f). */
TALLYJET_API int SetHriFont(int font);
/* Position of the human-readable text: 0 to 3, 48 to 51 (GS H). */
TALLYJET_API int SetHriPosition(int position);
/* QR model 1 or 2. */
TALLYJET_API int SetQrCodeModel(int model);
/* QR module size in dots (low byte sent). */
TALLYJET_API int SetQrCodeResolution(int size);
/* QR error-correction level 0 (L) to 3 (H). */
TALLYJET_API int SetQrCodeErrorCorretion(int level);
/* Stores 1 to 65532 bytes of QR data in the printer. */
TALLYJET_API int StoreQrCodeData(char* data, int length);
/* Prints the stored QR symbol. */
TALLYJET_API int MakeQrCode(void);

/* ---- Pictures and stored graphics ---- */

/* Loads a picture file, scales it, sets the left margin (0 to 47) and prints it in raster bands.
 * rotate and halftone (0 to 2) change nothing. Transparent parts print as white paper. Only a
 * regular file within the picture limits below is read; anything else, a scaled size beyond
 * them included, answers TALLYJET_ERR_FAILED before anything is sent. */
TALLYJET_API int PrintBmpImage(const char* path, float heightScale, float widthScale, int rotate,
                               int leftMargin, int halftone);
/* PrintBmpImage with the two scales passed as the bit patterns of 32-bit floats. */
TALLYJET_API int PrintBmp8(const char* path, int heightScaleBits, int widthScaleBits, int rotate,
                           int leftMargin, int halftone);
/* Column bit image (ESC *), mode 1 (8-dot) or 33 (24-dot, length a multiple of 3). */
TALLYJET_API int SetBitImageMode(int mode, const unsigned char* data, int length);
/* Raster bit image of width / 8 bytes per row, mode 0 to 3, paced by the printer's buffer. */
TALLYJET_API int PrintRasterBitImage(int mode, int width, int height, const unsigned char* data);
/* The same GS v 0 bands as PrintRasterBitImage, with the same checks and results, but written one
 * after the other without asking the printer's buffer fill level first. Only for connections
 * whose writes block while the printer cannot take more (USB, a device node, TCP, a serial line
 * with working RTS/CTS); elsewhere bands can overrun the printer's buffer and be lost. */
TALLYJET_API int tallyjet_PrintRasterBands(int mode, int width, int height,
                                           const unsigned char* data);
/* Stores a picture file, unscaled, as the NV graphic with key codes kc1 kc2; the same files as
 * PrintBmpImage are refused. */
TALLYJET_API int SaveGraphic(const char* path, int kc1, int kc2);
/* Prints the NV graphic stored under kc1 kc2. */
TALLYJET_API int PrintGraphic(int kc1, int kc2);
/* Deletes the NV graphic stored under kc1 kc2. */
TALLYJET_API int CleanGraphic(int kc1, int kc2);
/* Deletes every NV graphic. */
TALLYJET_API int CleanAllGraphics(void);
/* Fills *bytes with the free NV graphics memory. */
TALLYJET_API int GetMemoryAvailabled(int* bytes);

/* ---- Printer handles ----
 *
 * A printer handle is a connection of its own: its transport, its encoder state and its code
 * table (850 when opened). Two handles may be used from two threads at the same time; one handle
 * by one thread at a time. Each tallyjet_ function below is the twin of the function named in
 * the comment: the same arguments after the printer, the same checks, bytes and result codes.
 * A NULL printer means the process-wide connection of OpenPort (tallyjet_close(NULL) is
 * ClosePort()). Operations that every printer refuses (-2) have no twin. */

typedef struct tallyjet_printer tallyjet_printer;

/* A link the application owns. The library copies the struct and calls the functions with the
 * context given to tallyjet_open_transport, from the thread that uses the printer.
 * write: sends length bytes; answers the count written (a short count is continued), or a
 *   negative value for a failure (0 counts as a failure). It should give up on a printer that
 *   takes nothing for a while. A failure breaks the printer: every later write answers -1 and
 *   tallyjet_close answers -1, so nothing lands behind half a command and a job cut short is
 *   never reported printed.
 * read: waits at most timeout_ms for input; answers the count read, 0 when nothing came in
 *   time, or a negative value for a failure. Called with timeout_ms 0 to drop stale input before
 *   each query, until it answers 0 (at most 64 KB are dropped).
 * close: may be NULL; called once, by tallyjet_close. */
typedef struct tallyjet_transport {
    int (*write)(void* context, const char* data, int length);
    int (*read)(void* context, char* buffer, int length, int timeout_ms);
    void (*close)(void* context);
} tallyjet_transport;

/* Opens any port OpenPort takes: "USB", a device node (baud_rate 0), a serial line (9600, 19200
 * or 115200, 8N1 with RTS/CTS) or socket://HOST[:PORT]. Needs no SetProtocol. On success
 * *printer holds the new handle; on failure it is NULL and the result is OpenPort's code
 * (-3 for a null name or printer pointer). */
TALLYJET_API int tallyjet_open(const char* port, int baud_rate, tallyjet_printer** printer);
/* Opens a printer on an application's link; -3 when transport, its write or read, or printer is
 * null. Queries wait up to 300 ms for an answer. */
TALLYJET_API int tallyjet_open_transport(const tallyjet_transport* transport, void* context,
                                         tallyjet_printer** printer);
/* Closes the link and releases the printer and all it holds, even when closing fails; the
 * transport's close result (1, or a negative code; -1 when the printer did not get the whole
 * job, as ClosePort). NULL: ClosePort(). */
TALLYJET_API int tallyjet_close(tallyjet_printer* printer);
/* How long each query waits for the printer's answer after its pause: 1 to 30000 ms (else -3).
 * Until set, each port keeps its own wait (300 ms on the network, a device node and an
 * application's link; the serial line's and USB's own). NULL: the process-wide connection's
 * (until ClosePort). -4 without a connection. */
TALLYJET_API int tallyjet_set_answer_timeout(tallyjet_printer* printer, int ms);
/* Asks the printer to confirm that everything sent before has printed (GS ( H process ID) and
 * waits up to timeout_ms (0 or more, else -3): 1 confirmed; TALLYJET_ERR_PRINTER_STOPPED when
 * the printer told, before, that it cannot go on (paper end, cover open, an error, off-line), by
 * automatic status back or by the status queries made while waiting (every 500 ms); the status
 * functions then tell which; TALLYJET_ERR_NOT_CONFIRMED when nothing came in time and nothing
 * was wrong (a printer that does not know the request, or one still printing). Whatever else
 * the printer sent meanwhile is read and dropped. NULL: the process-wide connection. */
TALLYJET_API int tallyjet_wait_printed(tallyjet_printer* printer, int timeout_ms);

/* GetData */
TALLYJET_API int tallyjet_get_data(tallyjet_printer* printer, char* buffer, int length);
/* SendData, under the printer's own code table */
TALLYJET_API int tallyjet_send_data(tallyjet_printer* printer, const char* data, int length);
/* Sends length bytes exactly as given, in one write, whatever the code table: raw ESC/POS an
 * application built itself. -3 for a negative length or null data. NULL: the process-wide
 * connection. */
TALLYJET_API int tallyjet_write(tallyjet_printer* printer, const char* data, int length);
/* Reset */
TALLYJET_API int tallyjet_reset(tallyjet_printer* printer);

/* GetPrinterStatus, GetMediaStatus, GetDrawerStatus, GetPrinterInfo, GetRealTimeStatus */
TALLYJET_API int tallyjet_get_printer_status(tallyjet_printer* printer, int* status);
TALLYJET_API int tallyjet_get_media_status(tallyjet_printer* printer, int* status);
TALLYJET_API int tallyjet_get_drawer_status(tallyjet_printer* printer, int drawer, int* status);
TALLYJET_API int tallyjet_get_printer_info(tallyjet_printer* printer, int* info);
TALLYJET_API int tallyjet_get_real_time_status(tallyjet_printer* printer, int n, int* status);

/* SetCharCodeTable: the table this printer's text is converted under */
TALLYJET_API int tallyjet_set_char_code_table(tallyjet_printer* printer, int table);

/* The formatting, paper-handling and mode functions of the same names */
TALLYJET_API int tallyjet_set_text_properties(tallyjet_printer* printer, int size,
                                              unsigned char italic, unsigned char underline,
                                              unsigned char bold);
TALLYJET_API int tallyjet_make_cut(tallyjet_printer* printer, int mode);
TALLYJET_API int tallyjet_make_cut_n_lines(tallyjet_printer* printer, int mode, int lines);
TALLYJET_API int tallyjet_make_print(tallyjet_printer* printer);
TALLYJET_API int tallyjet_set_justification(tallyjet_printer* printer, int align);
TALLYJET_API int tallyjet_set_bold_enable(tallyjet_printer* printer, int unused);
TALLYJET_API int tallyjet_set_left_margin(tallyjet_printer* printer, int margin);
TALLYJET_API int tallyjet_set_reverse_black_white(tallyjet_printer* printer, int enable);
TALLYJET_API int tallyjet_set_line_spacing(tallyjet_printer* printer, int dots);
TALLYJET_API int tallyjet_set_default_line_spacing(tallyjet_printer* printer);
TALLYJET_API int tallyjet_paper_feed(tallyjet_printer* printer, int units);
TALLYJET_API int tallyjet_print_and_paper_feed(tallyjet_printer* printer, int units);
TALLYJET_API int tallyjet_print_and_line_feed(tallyjet_printer* printer);
TALLYJET_API int tallyjet_get_partial_line_feed(tallyjet_printer* printer, int lines);
TALLYJET_API int tallyjet_set_absolute_print_position(tallyjet_printer* printer, int position);
TALLYJET_API int tallyjet_set_relative_print_position(tallyjet_printer* printer, int position);
TALLYJET_API int tallyjet_set_printing_area(tallyjet_printer* printer, int x, int y, int dx,
                                            int dy);
TALLYJET_API int tallyjet_set_right_margin(tallyjet_printer* printer, int width);
TALLYJET_API int tallyjet_set_standard_mode(tallyjet_printer* printer);
TALLYJET_API int tallyjet_set_page_mode(tallyjet_printer* printer);
TALLYJET_API int tallyjet_print_in_page_mode(tallyjet_printer* printer);
TALLYJET_API int tallyjet_set_upside_down_mode(tallyjet_printer* printer, int enable);
TALLYJET_API int tallyjet_set_horiz_tab_position(tallyjet_printer* printer,
                                                 unsigned char* positions);
TALLYJET_API int tallyjet_set_dump_enable(tallyjet_printer* printer);
TALLYJET_API int tallyjet_set_italic_enable(tallyjet_printer* printer);
TALLYJET_API int tallyjet_set_italic_disable(tallyjet_printer* printer);
TALLYJET_API int tallyjet_set_bold_disable(tallyjet_printer* printer);
TALLYJET_API int tallyjet_set_double_strike(tallyjet_printer* printer, int enable);
TALLYJET_API int tallyjet_set_print_mode_underline(tallyjet_printer* printer, int mode);
TALLYJET_API int tallyjet_set_char_size(tallyjet_printer* printer, int size);
TALLYJET_API int tallyjet_set_font_type(tallyjet_printer* printer, int font);
TALLYJET_API int tallyjet_set_print_mode(tallyjet_printer* printer, int mode);
TALLYJET_API int tallyjet_set_operation_mode(tallyjet_printer* printer, int mode);
TALLYJET_API int tallyjet_generate_pulse(tallyjet_printer* printer, int m, int t1, int t2);

/* The barcode and QR code functions of the same names (the last two spelt plainly) */
TALLYJET_API int tallyjet_print_bar_code(tallyjet_printer* printer, int type, int height,
                                         int width, int left_margin, int hri_position,
                                         int hri_font, const char* data);
TALLYJET_API int tallyjet_set_hri_font(tallyjet_printer* printer, int font);
TALLYJET_API int tallyjet_set_hri_position(tallyjet_printer* printer, int position);
TALLYJET_API int tallyjet_set_qr_code_model(tallyjet_printer* printer, int model);
TALLYJET_API int tallyjet_set_qr_code_resolution(tallyjet_printer* printer, int size);
TALLYJET_API int tallyjet_set_qr_code_error_correction(tallyjet_printer* printer, int level);
TALLYJET_API int tallyjet_store_qr_code_data(tallyjet_printer* printer, char* data, int length);
TALLYJET_API int tallyjet_make_qr_code(tallyjet_printer* printer);

/* The picture and stored-graphics functions of the same names. tallyjet_print_raster_bit_image
 * is paced by the printer's fill level, tallyjet_print_raster_bands is not (see
 * tallyjet_PrintRasterBands). */
TALLYJET_API int tallyjet_print_bmp_image(tallyjet_printer* printer, const char* path,
                                          float height_scale, float width_scale, int rotate,
                                          int left_margin, int halftone);
TALLYJET_API int tallyjet_set_bit_image_mode(tallyjet_printer* printer, int mode,
                                             const unsigned char* data, int length);
TALLYJET_API int tallyjet_print_raster_bit_image(tallyjet_printer* printer, int mode, int width,
                                                 int height, const unsigned char* data);
TALLYJET_API int tallyjet_print_raster_bands(tallyjet_printer* printer, int mode, int width,
                                             int height, const unsigned char* data);
TALLYJET_API int tallyjet_save_graphic(tallyjet_printer* printer, const char* path, int kc1,
                                       int kc2);
TALLYJET_API int tallyjet_print_graphic(tallyjet_printer* printer, int kc1, int kc2);
TALLYJET_API int tallyjet_clean_graphic(tallyjet_printer* printer, int kc1, int kc2);
TALLYJET_API int tallyjet_clean_all_graphics(tallyjet_printer* printer);
TALLYJET_API int tallyjet_get_memory_available(tallyjet_printer* printer, int* bytes);

/* ---- The picture path ---- */

#define TALLYJET_DITHER_THRESHOLD 0 /* each pixel black below half grey */
#define TALLYJET_DITHER_DIFFUSION 1 /* Floyd-Steinberg error diffusion */
#define TALLYJET_DITHER_ORDERED 2   /* 8 x 8 Bayer matrix */
#define TALLYJET_ALIGN_LEFT 0
#define TALLYJET_ALIGN_CENTER 1
#define TALLYJET_ALIGN_RIGHT 2
/* AUTO asks the printer's fill level before each band only on a link whose writes do not block
 * while the printer is busy: none of the library's own transports (USB, device nodes and TCP
 * block; its serial line always runs RTS/CTS) and no application link (tallyjet_transport's
 * write is expected to block likewise, or the application picks ALWAYS). On the process-wide
 * connection with a transport of the application's own, AUTO asks too. */
#define TALLYJET_PACING_AUTO 0
#define TALLYJET_PACING_ALWAYS 1
#define TALLYJET_PACING_NEVER 2

/* All zeros (or NULL options): the picture's own width, threshold, left, 576 dots, AUTO. */
typedef struct tallyjet_picture_options {
    int width;       /* dots to fit the picture to, keeping its proportions; 0: its own width */
    int dither;      /* TALLYJET_DITHER_* */
    int align;       /* TALLYJET_ALIGN_*, within paper_width */
    int paper_width; /* dots; 0 means the printer's (tallyjet_set_paper_width, 80 mm) */
    int pacing;      /* TALLYJET_PACING_* */
} tallyjet_picture_options;

/* ---- Any text ---- */

/* Prints UTF-8 text: each line (ended by LF; a CR before it is dropped) on the first code table
 * the printer accepts that holds all of it (850, 858, 437, 860, 1252; the table is selected
 * first), any other line drawn as a picture of itself in the printer's character cells and
 * current text size (shaped, right to left where the script reads so, CJK in two cells).
 * Control characters other than LF, CR and TAB are dropped; what is not UTF-8 (stray bytes,
 * overlong forms, surrogates, past U+10FFFF) prints as U+FFFD. A last line without LF is left
 * unended, as SendData leaves it. 1, or the first failure; -3 for a negative length or a null
 * text. */
TALLYJET_API int tallyjet_print_text(tallyjet_printer* printer, const char* utf8, int length);
/* The paper width text pictures are laid out on, and that tallyjet_print_picture's paper_width 0
 * means: TALLYJET_PAPER_WIDTH_58MM or _80MM (else -3); 80 mm until set. */
TALLYJET_API int tallyjet_set_paper_width(tallyjet_printer* printer, int dots);
/* How tallyjet_print_text encodes lines: code_page 0 picks for each line the first table that
 * holds it; 437, 850, 858, 860 or 1252 encodes every line for that one (else -3). pictures 1
 * (the default) draws lines the table cannot hold as pictures; 0 prints their characters as
 * '?'. */
TALLYJET_API int tallyjet_set_text_encoding(tallyjet_printer* printer, int code_page,
                                            int pictures);

/* Prints a picture file (PNG, JPEG, BMP, GIF, ...) as raster bands: decoded with transparent
 * parts on white, fitted, dithered and placed within the paper. The same files as PrintBmpImage
 * are refused (-1, before anything is sent): not a regular file, beyond the picture limits
 * (checked before decoding), broken. -3 for an option out of range or a width beyond the
 * paper. */
TALLYJET_API int tallyjet_print_picture(tallyjet_printer* printer, const char* path,
                                        const tallyjet_picture_options* options);
/* The same for an encoded picture of length bytes in memory (a PNG or JPEG an application
 * holds), with the same limits and refusals: -1 for null data, a length below 1, or bytes that
 * are no picture, a broken one or one beyond the limits. */
TALLYJET_API int tallyjet_print_picture_data(tallyjet_printer* printer, const void* data,
                                             int length, const tallyjet_picture_options* options);


/* ---- Whole receipts ---- */

/* Prints a receipt written in ReceiptLine markup (UTF-8): columns separated by '|' and aligned
 * by the spaces around them, " bold, _ underline, ` white on black, ^ to ^^^^^^^ sizes, ~ a
 * space, a line of - a rule, a line of = a cut, {border}, {width}, {align}, {text} settings,
 * {code; option} barcodes and QR codes, {image} base64 PNG pictures, \ escapes. It is laid
 * out in the columns of the paper width (48 at 80 mm, 32 at 58 mm), styled by the printer's
 * commands, lines no code table holds drawn as pictures, and cut at its end. Device commands
 * ({command}) are not sent. -3 and nothing printed for a document that cannot be read (a
 * property that is not key: value, a brace in text, a picture that is no PNG or JPEG, a barcode
 * its type cannot carry) or a negative length; else 1 or the first failure. Font A, normal text
 * and the default line spacing are in force afterwards. */
TALLYJET_API int tallyjet_print_markup(tallyjet_printer* printer, const char* document, int length);


#ifdef __cplusplus
} /* extern "C" */

/* C++ only: these two carry their parameter types in their symbols. */

/* Converts UTF-8 U+00C0..U+00FF pairs to code page 850 bytes; out has room for length bytes and
 * may be in. Answers 1, -3 for a null in or out with a positive length, or -6 when no working
 * memory is left (or length is negative). */
TALLYJET_API int parse850(const char* in, int length, char* out);
/* Prints the first length bytes as hexadecimal to standard output: "\t [ 1B 40  ]". */
TALLYJET_API void DumpConsole(int length, unsigned char* data);
#endif

#endif /* TALLYJET_H */

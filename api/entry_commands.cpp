// The formatting, paper-handling, mode and drawer-pulse entry points. Each makes the connection
// checks, then its own, then calls one encoder operation and answers its result unchanged.
#include "connection.h"

using connection::Forward;
using connection::Of;
using connection::ProcessWide;

namespace {

// ESC ! bits that SetTextProperties composes.
constexpr int kFontB = 0x01;
constexpr int kDoubleHeightAndWidth = 0x30;
constexpr int kBoldShift = 3;
constexpr int kItalicShift = 6;
constexpr int kUnderlineShift = 7;

constexpr int kSizeBits[] = {0x00, kFontB, kDoubleHeightAndWidth};

// bold and italic are shifted as received, so values above 1 reach the neighbouring bits; of
// underline only the lowest bit counts.
int ComposePrintMode(int size, unsigned char italic, unsigned char underline, unsigned char bold) {
  return kSizeBits[size] | (bold << kBoldShift) | (italic << kItalicShift) |
         ((underline & 1) << kUnderlineShift);
}

int SetTextProperties(const PrinterConnection& link, int size, unsigned char italic,
                      unsigned char underline, unsigned char bold) {
  const int rc = connection::Check(link);
  if (rc != TALLYJET_SUCCESS) return rc;
  if (size < 0 || size > 2) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int mode = ComposePrintMode(size, italic, underline, bold);
  const int sent = link.encoder->SetPrintMode(mode);
  if (sent == TALLYJET_SUCCESS) text::NotePrintMode(link.style, mode);
  return sent;
}

int MakeCut(const PrinterConnection& link, int mode) {
  const int rc = connection::Check(link);
  if (rc != TALLYJET_SUCCESS) return rc;
  // Only the partial cut is offered here; 0 names the full cut, which the printers lack.
  if (mode == 0) return TALLYJET_ERR_NOT_SUPPORTED;
  if (mode != 1) return TALLYJET_ERR_INVALID_ARGUMENT;
  return link.encoder->PaperCut(1);
}

int SetJustification(const PrinterConnection& link, int align) {
  const int rc = connection::Check(link);
  if (rc != TALLYJET_SUCCESS) return rc;
  // Only 0, 1 and 2; the encoder's ASCII forms 48 to 50 are not passed on.
  if (static_cast<unsigned>(align) > 2) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int sent = link.encoder->SetJustification(align);
  if (sent == TALLYJET_SUCCESS) text::NoteAlignment(link.style, align);
  return sent;
}

// Runs a text-style operation and notes the style it leaves, for text drawn as pictures.
template <typename Arg>
int ForwardStyle(const PrinterConnection& link, int (ProtEscPos::*operation)(Arg),
                 void (*note)(text::TextStyle*, int), Arg value, int noted) {
  const int rc = Forward(link, operation, value);
  if (rc == TALLYJET_SUCCESS) note(link.style, noted);
  return rc;
}

int SetBoldDisable(const PrinterConnection& link) {
  const int rc = Forward(link, &ProtEscPos::SetBoldDisable);
  if (rc == TALLYJET_SUCCESS) text::NoteBold(link.style, 0);
  return rc;
}

}  // namespace

extern "C" {

int SetTextProperties(int size, unsigned char italic, unsigned char underline, unsigned char bold) {
  return SetTextProperties(ProcessWide(), size, italic, underline, bold);
}
int MakeCut(int mode) { return MakeCut(ProcessWide(), mode); }
int SetJustification(int align) { return SetJustification(ProcessWide(), align); }

int MakeCutnLines(int mode, int lines) {
  return Forward(ProcessWide(), &ProtEscPos::PaperCutnLines, mode, lines);
}
int MakePrint() { return Forward(ProcessWide(), &ProtEscPos::PrintAndLineFeed); }
int SetBoldEnable(int unused) { return ForwardStyle(ProcessWide(), &ProtEscPos::SetBoldEnable, text::NoteBold, unused, 1); }

int SetLeftMargin(int margin) { return Forward(ProcessWide(), &ProtEscPos::SetLeftMargin, margin); }
int SetReverseBlackWhite(int enable) {
  return Forward(ProcessWide(), &ProtEscPos::SetReverseBlackWhite, enable);
}
int SetLineSpacing(int dots) { return Forward(ProcessWide(), &ProtEscPos::SetLineSpacing, dots); }
int SetDefaultLineSpacing() { return Forward(ProcessWide(), &ProtEscPos::SetDefaultLineSpacing); }
int PaperFeed(int units) { return Forward(ProcessWide(), &ProtEscPos::PaperFeed, units); }
int PrintAndPaperFeed(int units) {
  return Forward(ProcessWide(), &ProtEscPos::PrintAndPaperFeed, units);
}
int PrintAndLineFeed() { return Forward(ProcessWide(), &ProtEscPos::PrintAndLineFeed); }
int GetPartialLineFeed(int lines) {
  return Forward(ProcessWide(), &ProtEscPos::GetPartialLineFeed, lines);
}
int SetAbsolutePrintPosition(int position) {
  return Forward(ProcessWide(), &ProtEscPos::SetAbsolutePrintPosition, position);
}
int SetRelativePrintPosition(int position) {
  return Forward(ProcessWide(), &ProtEscPos::SetRelativePrintPosition, position);
}
int SetPrintingArea(int x, int y, int dx, int dy) {
  return Forward(ProcessWide(), &ProtEscPos::SetPrintingArea, x, y, dx, dy);
}
int SetRightMargin(int width) { return Forward(ProcessWide(), &ProtEscPos::SetRightMargin, width); }
int SetStandardMode() { return Forward(ProcessWide(), &ProtEscPos::SetStandardMode); }
int SetPageMode() { return Forward(ProcessWide(), &ProtEscPos::SetPageMode); }
int PrintInPageMode() { return Forward(ProcessWide(), &ProtEscPos::PrintInPageMode); }
int SetUpsideDownMode(int enable) {
  return Forward(ProcessWide(), &ProtEscPos::SetUpsideDownMode, enable);
}
// The encoder refuses a null list with -3, after these checks.
int SetHorizTabPosition(unsigned char* positions) {
  return Forward(ProcessWide(), &ProtEscPos::SetHorizTabPosition, positions);
}
int SetDumpEnable() { return Forward(ProcessWide(), &ProtEscPos::SetDumpEnable); }
int SetItalicEnable() { return Forward(ProcessWide(), &ProtEscPos::SetItalicEnable); }
int SetItalicDisable() { return Forward(ProcessWide(), &ProtEscPos::SetItalicDisable); }
int SetBoldDisable() { return SetBoldDisable(ProcessWide()); }
int SetDoubleStrike(int enable) {
  return Forward(ProcessWide(), &ProtEscPos::SetDoubleStrike, enable);
}
int SetPrintModeUnderline(int mode) {
  return ForwardStyle(ProcessWide(), &ProtEscPos::SetPrintModeUnderline, text::NoteUnderline, mode, mode);
}
int SetCharSize(int size) { return ForwardStyle(ProcessWide(), &ProtEscPos::SetCharSize, text::NoteCharSize, size, size); }
int SetFontType(int font) { return ForwardStyle(ProcessWide(), &ProtEscPos::SetFontType, text::NoteFont, font, font); }
int SetPrintMode(int mode) { return ForwardStyle(ProcessWide(), &ProtEscPos::SetPrintMode, text::NotePrintMode, mode, mode); }
int SetOperationMode(int mode) {
  return Forward(ProcessWide(), &ProtEscPos::SetOperationMode, mode);
}
int GeneratePulse(int m, int t1, int t2) {
  return Forward(ProcessWide(), &ProtEscPos::GeneratePulse, m, t1, t2);
}

// The twins on a printer handle.
int tallyjet_set_text_properties(tallyjet_printer* printer, int size, unsigned char italic,
                                 unsigned char underline, unsigned char bold) {
  return SetTextProperties(Of(printer), size, italic, underline, bold);
}
int tallyjet_make_cut(tallyjet_printer* printer, int mode) { return MakeCut(Of(printer), mode); }
int tallyjet_set_justification(tallyjet_printer* printer, int align) {
  return SetJustification(Of(printer), align);
}
int tallyjet_make_cut_n_lines(tallyjet_printer* printer, int mode, int lines) {
  return Forward(Of(printer), &ProtEscPos::PaperCutnLines, mode, lines);
}
int tallyjet_make_print(tallyjet_printer* printer) {
  return Forward(Of(printer), &ProtEscPos::PrintAndLineFeed);
}
int tallyjet_set_bold_enable(tallyjet_printer* printer, int unused) {
  return ForwardStyle(Of(printer), &ProtEscPos::SetBoldEnable, text::NoteBold, unused, 1);
}
int tallyjet_set_left_margin(tallyjet_printer* printer, int margin) {
  return Forward(Of(printer), &ProtEscPos::SetLeftMargin, margin);
}
int tallyjet_set_reverse_black_white(tallyjet_printer* printer, int enable) {
  return Forward(Of(printer), &ProtEscPos::SetReverseBlackWhite, enable);
}
int tallyjet_set_line_spacing(tallyjet_printer* printer, int dots) {
  return Forward(Of(printer), &ProtEscPos::SetLineSpacing, dots);
}
int tallyjet_set_default_line_spacing(tallyjet_printer* printer) {
  return Forward(Of(printer), &ProtEscPos::SetDefaultLineSpacing);
}
int tallyjet_paper_feed(tallyjet_printer* printer, int units) {
  return Forward(Of(printer), &ProtEscPos::PaperFeed, units);
}
int tallyjet_print_and_paper_feed(tallyjet_printer* printer, int units) {
  return Forward(Of(printer), &ProtEscPos::PrintAndPaperFeed, units);
}
int tallyjet_print_and_line_feed(tallyjet_printer* printer) {
  return Forward(Of(printer), &ProtEscPos::PrintAndLineFeed);
}
int tallyjet_get_partial_line_feed(tallyjet_printer* printer, int lines) {
  return Forward(Of(printer), &ProtEscPos::GetPartialLineFeed, lines);
}
int tallyjet_set_absolute_print_position(tallyjet_printer* printer, int position) {
  return Forward(Of(printer), &ProtEscPos::SetAbsolutePrintPosition, position);
}
int tallyjet_set_relative_print_position(tallyjet_printer* printer, int position) {
  return Forward(Of(printer), &ProtEscPos::SetRelativePrintPosition, position);
}
int tallyjet_set_printing_area(tallyjet_printer* printer, int x, int y, int dx, int dy) {
  return Forward(Of(printer), &ProtEscPos::SetPrintingArea, x, y, dx, dy);
}
int tallyjet_set_right_margin(tallyjet_printer* printer, int width) {
  return Forward(Of(printer), &ProtEscPos::SetRightMargin, width);
}
int tallyjet_set_standard_mode(tallyjet_printer* printer) {
  return Forward(Of(printer), &ProtEscPos::SetStandardMode);
}
int tallyjet_set_page_mode(tallyjet_printer* printer) {
  return Forward(Of(printer), &ProtEscPos::SetPageMode);
}
int tallyjet_print_in_page_mode(tallyjet_printer* printer) {
  return Forward(Of(printer), &ProtEscPos::PrintInPageMode);
}
int tallyjet_set_upside_down_mode(tallyjet_printer* printer, int enable) {
  return Forward(Of(printer), &ProtEscPos::SetUpsideDownMode, enable);
}
int tallyjet_set_horiz_tab_position(tallyjet_printer* printer, unsigned char* positions) {
  return Forward(Of(printer), &ProtEscPos::SetHorizTabPosition, positions);
}
int tallyjet_set_dump_enable(tallyjet_printer* printer) {
  return Forward(Of(printer), &ProtEscPos::SetDumpEnable);
}
int tallyjet_set_italic_enable(tallyjet_printer* printer) {
  return Forward(Of(printer), &ProtEscPos::SetItalicEnable);
}
int tallyjet_set_italic_disable(tallyjet_printer* printer) {
  return Forward(Of(printer), &ProtEscPos::SetItalicDisable);
}
int tallyjet_set_bold_disable(tallyjet_printer* printer) {
  return SetBoldDisable(Of(printer));
}
int tallyjet_set_double_strike(tallyjet_printer* printer, int enable) {
  return Forward(Of(printer), &ProtEscPos::SetDoubleStrike, enable);
}
int tallyjet_set_print_mode_underline(tallyjet_printer* printer, int mode) {
  return ForwardStyle(Of(printer), &ProtEscPos::SetPrintModeUnderline, text::NoteUnderline, mode, mode);
}
int tallyjet_set_char_size(tallyjet_printer* printer, int size) {
  return ForwardStyle(Of(printer), &ProtEscPos::SetCharSize, text::NoteCharSize, size, size);
}
int tallyjet_set_font_type(tallyjet_printer* printer, int font) {
  return ForwardStyle(Of(printer), &ProtEscPos::SetFontType, text::NoteFont, font, font);
}
int tallyjet_set_print_mode(tallyjet_printer* printer, int mode) {
  return ForwardStyle(Of(printer), &ProtEscPos::SetPrintMode, text::NotePrintMode, mode, mode);
}
int tallyjet_set_operation_mode(tallyjet_printer* printer, int mode) {
  return Forward(Of(printer), &ProtEscPos::SetOperationMode, mode);
}
int tallyjet_generate_pulse(tallyjet_printer* printer, int m, int t1, int t2) {
  return Forward(Of(printer), &ProtEscPos::GeneratePulse, m, t1, t2);
}

// Operations the printers do not offer: -2 once the connection checks pass.
int SetCharSpacing(int n) { return Forward(ProcessWide(), &ProtEscPos::SetCharSpacing, n); }
int SetPrintingAreaHeight(int n) {
  return Forward(ProcessWide(), &ProtEscPos::SetPrintingAreaHeight, n);
}
int SetAbsoluteVerticalPrintPosition(int n) {
  return Forward(ProcessWide(), &ProtEscPos::SetAbsoluteVerticalPrintPosition, n);
}
int SetCharacterPerLine(int n) {
  return Forward(ProcessWide(), &ProtEscPos::SetCharacterPerLine, n);
}
int SetKeyboard(int n) { return Forward(ProcessWide(), &ProtEscPos::SetKeyboard, n); }
int SetDrawerOn(int n) { return Forward(ProcessWide(), &ProtEscPos::SetDrawerOn, n); }
int SetAutomaticLineFeed(int n) {
  return Forward(ProcessWide(), &ProtEscPos::SetAutomaticLineFeed, n);
}
int SetPageLength(int n) { return Forward(ProcessWide(), &ProtEscPos::SetPageLength, n); }
int SetPrintDensity(int n) { return Forward(ProcessWide(), &ProtEscPos::SetPrintDensity, n); }
int SetCondensedDisable() { return Forward(ProcessWide(), &ProtEscPos::SetCondensedDisable); }
int SetCondensedEnable() { return Forward(ProcessWide(), &ProtEscPos::SetCondensedEnable); }
int SetExpandedModeDisable() { return Forward(ProcessWide(), &ProtEscPos::SetExpandedModeDisable); }
int SetExpandedModeEnable() { return Forward(ProcessWide(), &ProtEscPos::SetExpandedModeEnable); }
int SetMode48Columns() { return Forward(ProcessWide(), &ProtEscPos::SetMode48Columns); }
int CancelLastCharacterSent() {
  return Forward(ProcessWide(), &ProtEscPos::CancelLastCharacterSent);
}
int CancelLastLineSended() { return Forward(ProcessWide(), &ProtEscPos::CancelLastLineSended); }
int RealTimeRequest(int n) { return Forward(ProcessWide(), &ProtEscPos::RealTimeRequest, n); }
int SetPeripheralDevice(int n) {
  return Forward(ProcessWide(), &ProtEscPos::SetPeripheralDevice, n);
}
int SetUserChar(int n) { return Forward(ProcessWide(), &ProtEscPos::SetUserChar, n); }
int DefineUserChar(int a, int b, int c, char* data) {
  return Forward(ProcessWide(), &ProtEscPos::DefineUserChar, a, b, c, data);
}
int CancelUserChar(int n) { return Forward(ProcessWide(), &ProtEscPos::CancelUserChar, n); }
int SetInternationalCharSet(int n) {
  return Forward(ProcessWide(), &ProtEscPos::SetInternationalCharSet, n);
}
int ExecuteMacro(int a, int b, int c) {
  return Forward(ProcessWide(), &ProtEscPos::ExecuteMacro, a, b, c);
}
int StartEndMacroDefinition() {
  return Forward(ProcessWide(), &ProtEscPos::StartEndMacroDefinition);
}
int PrintDownloadedBitImage(int n) {
  return Forward(ProcessWide(), &ProtEscPos::PrintDownloadedBitImage, n);
}
int SetDownloadedBitImage(int a, int b, unsigned char* data) {
  return Forward(ProcessWide(), &ProtEscPos::SetDownloadedBitImage, a, b, data);
}
int SetRotation(int n) { return Forward(ProcessWide(), &ProtEscPos::SetRotation, n); }
int SetMotionUnits(int x, int y) {
  return Forward(ProcessWide(), &ProtEscPos::SetMotionUnits, x, y);
}

}  // extern "C"

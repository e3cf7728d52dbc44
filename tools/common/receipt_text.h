// UTF-8 text printed on a receipt, line by line, through a printer handle: a line whose
// characters one of the printer's code tables holds goes out as text in that table; any other
// line is drawn as a picture of itself in the printer's character size (line_picture.h) and
// printed in its place, so that every script prints and a receipt mixes both. Control
// characters are dropped: the text cannot command the printer.
//
// The text comes in pieces of any size and is printed as its lines complete, so a stream of any
// length is printed in little memory. The caller sets the style (font, size, emphasis,
// alignment) on the printer and gives the same style here for the pictures.
#ifndef TALLYJET_COMMON_RECEIPT_TEXT_H
#define TALLYJET_COMMON_RECEIPT_TEXT_H

#include <string>
#include <vector>

#include "line_picture.h"
#include "tallyjet.h"

// Sends bytes unchanged (but for the library's conversion under code table 2) in writes of a
// few kilobytes, as a USB transfer has a time limit. The library's result.
int SendInChunks(tallyjet_printer* printer, const char* data, size_t length);

struct ReceiptTextOptions {
  // The paper width (LineStyle::paperWidth) and the style the pictures are drawn in.
  LineStyle style;
  // False: characters no code table holds print as '?', no line becomes a picture.
  bool pictures = true;
  // A code page number (437, 850, 858, 860 or 1252) every text line is encoded for; 0 takes
  // for each line the first of 850, 858, 437, 860 and 1252 that holds it.
  int codePage = 0;
};

class ReceiptText {
 public:
  ReceiptText(tallyjet_printer* printer, const ReceiptTextOptions& options);
  ReceiptText(const ReceiptText&) = delete;
  ReceiptText& operator=(const ReceiptText&) = delete;

  // Prints the lines that data completes and keeps the rest for the next piece. The library's
  // result: TALLYJET_SUCCESS, or the code of the call that failed (see FailedStep()).
  int Add(const char* data, size_t length);
  // Prints what is left, ending the last line, and sends all that is held back.
  int Finish();

  // What was being done when a call failed, such as "sending the text".
  const std::string& FailedStep() const { return failedStep_; }
  // Control characters dropped so far.
  size_t DroppedControls() const { return dropped_; }
  // Lines printed as pictures so far.
  size_t PictureLines() const { return pictureLines_; }
  // Characters printed as '?', once each, as "X (U+XXXX)".
  const std::vector<std::string>& Missing() const { return missing_; }

 private:
  int PrintLine(std::string line, bool ended);
  int PrintAsText(const std::string& line, bool ended, const struct CodePage& page);
  int PrintAsPicture(const std::string& line);
  int Flush();
  int Failed(int code, const std::string& step);

  tallyjet_printer* printer_;
  ReceiptTextOptions options_;
  std::string pending_;   // the start of a line whose end has not come yet
  std::string outgoing_;  // encoded text not yet sent, all in table table_
  int table_ = -1;        // the code table selected on the printer; -1 before the first
  std::string failedStep_;
  size_t dropped_ = 0;
  size_t pictureLines_ = 0;
  std::vector<std::string> missing_;
};

#endif  // TALLYJET_COMMON_RECEIPT_TEXT_H

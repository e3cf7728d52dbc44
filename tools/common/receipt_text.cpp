#include "receipt_text.h"

#include <algorithm>

#include "code_pages.h"

namespace {

// Bytes per write: a USB transfer has a time limit.
constexpr size_t kChunk = 4096;
// A line longer than this without its end is printed in parts of this size, so that endless
// input without line feeds is held in little memory.
constexpr size_t kLongestLine = 4096;

// Where to split a line of at least kLongestLine bytes: before a UTF-8 character begins.
size_t SplitPoint(const std::string& line) {
  size_t at = kLongestLine;
  while (at > 0 && (static_cast<unsigned char>(line[at]) & 0xC0) == 0x80) --at;
  return at > 0 ? at : kLongestLine;
}

std::string WithoutCarriageReturns(std::string line) {
  line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
  return line;
}

}  // namespace

int SendInChunks(tallyjet_printer* printer, const char* data, size_t length) {
  for (size_t at = 0; at < length; at += kChunk) {
    const int code = tallyjet_send_data(printer, data + at,
                                        static_cast<int>(std::min(kChunk, length - at)));
    if (code != TALLYJET_SUCCESS) return code;
  }
  return TALLYJET_SUCCESS;
}

ReceiptText::ReceiptText(tallyjet_printer* printer, const ReceiptTextOptions& options)
    : printer_(printer), options_(options) {}

int ReceiptText::Add(const char* data, size_t length) {
  pending_.append(data, length);
  size_t start = 0;
  for (size_t end; (end = pending_.find('\n', start)) != std::string::npos; start = end + 1) {
    const int code = PrintLine(pending_.substr(start, end - start), true);
    if (code != TALLYJET_SUCCESS) return code;
  }
  pending_.erase(0, start);
  while (pending_.size() >= kLongestLine) {
    const size_t split = SplitPoint(pending_);
    const int code = PrintLine(pending_.substr(0, split), false);
    if (code != TALLYJET_SUCCESS) return code;
    pending_.erase(0, split);
  }
  return Flush();
}

int ReceiptText::Finish() {
  // The printer prints a line when it ends: the last one must end too.
  if (!pending_.empty()) {
    const int code = PrintLine(std::move(pending_), true);
    pending_.clear();
    if (code != TALLYJET_SUCCESS) return code;
  }
  return Flush();
}

int ReceiptText::PrintLine(std::string line, bool ended) {
  dropped_ += DropControlCharacters(&line);
  ReplaceInvalidBytes(&line, &missing_);
  const CodePage* page = options_.codePage != 0 ? FindCodePage(options_.codePage)
                                                : PageHolding(line);
  if (page != nullptr && !Encode(line, *page).missing.empty()) page = nullptr;
  if (page == nullptr && options_.pictures) return PrintAsPicture(line);
  return PrintAsText(line, ended, page != nullptr ? *page : *FindCodePage(850));
}

int ReceiptText::PrintAsText(const std::string& line, bool ended, const CodePage& page) {
  if (page.table != table_) {
    const int flushed = Flush();
    if (flushed != TALLYJET_SUCCESS) return flushed;
    const int code = tallyjet_set_char_code_table(printer_, page.table);
    if (code != TALLYJET_SUCCESS) {
      return Failed(code, "selecting code page " + std::to_string(page.number));
    }
    table_ = page.table;
  }
  const EncodedText encoded = Encode(line, page);
  for (const std::string& name : encoded.missing) {
    if (std::find(missing_.begin(), missing_.end(), name) == missing_.end()) {
      missing_.push_back(name);
    }
  }
  outgoing_ += encoded.bytes;
  if (ended) outgoing_ += '\n';
  return TALLYJET_SUCCESS;
}

int ReceiptText::PrintAsPicture(const std::string& line) {
  const int flushed = Flush();
  if (flushed != TALLYJET_SUCCESS) return flushed;
  LinePicture picture;
  if (!DrawLine(WithoutCarriageReturns(line), options_.style, &picture)) {
    return Failed(TALLYJET_ERR_NO_MEMORY, "drawing a line as a picture");
  }
  ++pictureLines_;
  // Written as it is: a line's picture is smaller than any printer's receive buffer.
  const int code = tallyjet_print_raster_bands(printer_, 0, picture.width, picture.height,
                                               picture.rows.data());
  return code == TALLYJET_SUCCESS ? code : Failed(code, "printing a line as a picture");
}

int ReceiptText::Flush() {
  const int code = SendInChunks(printer_, outgoing_.data(), outgoing_.size());
  outgoing_.clear();
  return code == TALLYJET_SUCCESS ? code : Failed(code, "sending the text");
}

int ReceiptText::Failed(int code, const std::string& step) {
  failedStep_ = step;
  return code;
}

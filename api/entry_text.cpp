// The text path of both faces: any UTF-8 text, each line in a code table that holds it or as a
// picture of itself, laid out on the printer's paper width.
#include "connection.h"
#include "code_pages.h"

using connection::Of;

namespace {

int PrintText(const PrinterConnection& link, const char* utf8, int length) {
  const int rc = connection::Check(link);
  if (rc != TALLYJET_SUCCESS) return rc;
  if (length < 0 || (utf8 == nullptr && length > 0)) return TALLYJET_ERR_INVALID_ARGUMENT;
  return text::PrintText(link.transport, link.encoder, link.codepage, link.style, utf8, length);
}

int SetPaperWidth(const PrinterConnection& link, int dots) {
  const int rc = connection::Check(link);
  if (rc != TALLYJET_SUCCESS) return rc;
  if (dots != TALLYJET_PAPER_WIDTH_58MM && dots != TALLYJET_PAPER_WIDTH_80MM) {
    return TALLYJET_ERR_INVALID_ARGUMENT;
  }
  link.style->paperWidth = dots;
  return TALLYJET_SUCCESS;
}

int SetTextEncoding(const PrinterConnection& link, int codePage, int pictures) {
  const int rc = connection::Check(link);
  if (rc != TALLYJET_SUCCESS) return rc;
  if ((codePage != 0 && text::FindCodePage(codePage) == nullptr) || (pictures & ~1) != 0) {
    return TALLYJET_ERR_INVALID_ARGUMENT;
  }
  link.style->codePage = codePage;
  link.style->pictures = pictures != 0;
  return TALLYJET_SUCCESS;
}

}  // namespace

extern "C" {

int tallyjet_print_text(tallyjet_printer* printer, const char* utf8, int length) {
  return PrintText(Of(printer), utf8, length);
}
int tallyjet_set_paper_width(tallyjet_printer* printer, int dots) {
  return SetPaperWidth(Of(printer), dots);
}
int tallyjet_set_text_encoding(tallyjet_printer* printer, int code_page, int pictures) {
  return SetTextEncoding(Of(printer), code_page, pictures);
}

}  // extern "C"

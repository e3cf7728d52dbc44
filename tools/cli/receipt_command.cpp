// receipt: a whole receipt from a ReceiptLine markup file, printed by the library in one call:
// one opening of the port, one status query, one confirmation.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <string>

#include "connection.h"
#include "input_file.h"

namespace {

// A document larger than this is no receipt.
constexpr size_t kMaxDocument = 16 * 1024 * 1024;
// Paper for the confirmation's wait: a text row, and a property line, which may print a
// barcode, a QR code or a picture.
constexpr int kRowDots = 24;
constexpr int kBlockDots = 600;

int EstimatedPaper(const std::string& document) {
  int dots = kRowDots;
  size_t start = 0;
  while (start <= document.size()) {
    const size_t end = std::min(document.find('\n', start), document.size());
    const std::string line = document.substr(start, end - start);
    dots += line.find('{') != std::string::npos ? kBlockDots : kRowDots;
    start = end + 1;
  }
  return dots;
}

bool ReadDocument(InputFile& input, std::string* document) {
  bool tooLarge = false;
  const bool read = input.ReadPieces([&](const char* data, size_t length) {
    tooLarge = document->size() + length > kMaxDocument;
    if (!tooLarge) document->append(data, length);
    return !tooLarge;
  });
  if (tooLarge) fprintf(stderr, "tallyjet: the receipt is larger than 16 MB\n");
  return read && !tooLarge;
}

int Receipt(const PortOptions& port, const std::string& file) {
  InputFile input;
  std::string document;
  if (!input.Open(file) || !ReadDocument(input, &document)) return kExitFailure;
  return RunPrinting(port, [&](Connection& c) {
    const int paper = port.paper == 58 ? TALLYJET_PAPER_WIDTH_58MM : TALLYJET_PAPER_WIDTH_80MM;
    c.AddPaper(EstimatedPaper(document));
    if (!c.Check(tallyjet_set_paper_width(c.printer(), paper), "setting the paper width")) {
      return false;
    }
    const int rc =
        tallyjet_print_markup(c.printer(), document.data(), static_cast<int>(document.size()));
    if (rc == TALLYJET_ERR_INVALID_ARGUMENT) {
      fprintf(stderr,
              "tallyjet: the receipt's markup cannot be read (a property that is not key: value, "
              "a brace in text, a picture that is no PNG or JPEG, or a barcode its type cannot "
              "carry); nothing was printed\n");
      return false;
    }
    return c.Check(rc, "printing the receipt");
  });
}

}  // namespace

void AddReceiptCommand(CLI::App& app, Program& program) {
  auto* receipt = app.add_subcommand(
      "receipt", "Print a whole receipt written in ReceiptLine markup, cut at its end");
  auto file = std::make_shared<std::string>("-");
  receipt->add_option("file", *file, "the markup (UTF-8); - or nothing for standard input");
  receipt->add_option("--paper", program.port.paper,
                      "paper width in mm: 80 (48 columns, default) or 58 (32 columns)")
      ->check(CLI::IsMember({58, 80}));
  AddPrintingOptions(receipt, &program.port, true);
  receipt->callback([&program, file] { program.exitCode = Receipt(program.port, *file); });
}

// barcode and qr: symbols the printer draws itself.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <map>
#include <vector>

#include "barcode_check.h"
#include "connection.h"
#include "failure.h"

namespace {

// Paper estimates for the wait for the confirmation: the human-readable line under a barcode,
// and the modules across the largest QR code a receipt holds.
constexpr int kHriDots = 24;
constexpr int kLargestQrModules = 77;

const std::map<std::string, int> kBarcodeTypes = {
    {"upca", 65}, {"upce", 66},    {"ean13", 67},  {"ean8", 68},    {"code39", 69},
    {"itf", 70},  {"codabar", 71}, {"code93", 72}, {"code128", 73},
};
// The library's width codes by module width in dots.
const std::map<int, int> kModuleWidths = {{2, 0}, {3, 1}, {6, 2}};
const std::map<std::string, int> kHriPositions = {
    {"none", 0}, {"above", 1}, {"below", 2}, {"both", 3}};
const std::map<std::string, int> kQrLevels = {{"l", 0}, {"m", 1}, {"q", 2}, {"h", 3}};

struct BarcodeOptions {
  std::string data;
  std::string type = "code128";
  int height = 80;
  int width = 3;
  std::string hri = "below";
};

struct QrOptions {
  std::string data;
  int size = 6;
  std::string level = "m";
};

std::vector<std::string> Keys(const std::map<std::string, int>& map) {
  std::vector<std::string> keys;
  for (const auto& entry : map) keys.push_back(entry.first);
  return keys;
}

int Barcode(const PortOptions& port, const BarcodeOptions& o) {
  std::string data, why;
  if (!CheckBarcode(o.type, o.data, &data, &why)) {
    Complain("refused barcode: " + why + "; nothing sent");
    return kExitFailure;
  }
  if (data.size() > o.data.size() && data != "{B" + o.data) {
    fprintf(stderr, "tallyjet: printing %s with its check digit: %s\n", o.type.c_str(),
            data.c_str());
  }
  return RunPrinting(port, [&](Connection& c) {
    c.AddPaper(o.height + kHriDots);
    return c.Check(tallyjet_print_bar_code(c.printer(), kBarcodeTypes.at(o.type), o.height,
                                           kModuleWidths.at(o.width), 0, kHriPositions.at(o.hri),
                                           0, data.c_str()),
                   "printing the " + o.type + " barcode");
  });
}

int Qr(const PortOptions& port, const QrOptions& o) {
  std::string data = o.data;
  return RunPrinting(port, [&](Connection& c) {
    c.AddPaper(o.size * kLargestQrModules);
    tallyjet_printer* p = c.printer();
    return c.Check(tallyjet_set_qr_code_model(p, 2), "selecting QR model 2") &&
           c.Check(tallyjet_set_qr_code_resolution(p, o.size), "setting the QR module size") &&
           c.Check(tallyjet_set_qr_code_error_correction(p, kQrLevels.at(o.level)),
                   "setting the QR level") &&
           c.Check(tallyjet_store_qr_code_data(p, &data[0], static_cast<int>(data.size())),
                   "storing the QR data") &&
           c.Check(tallyjet_make_qr_code(p), "printing the QR code");
  });
}

}  // namespace

void AddSymbolCommands(CLI::App& app, Program& program) {
  auto* barcode = app.add_subcommand("barcode", "Print a barcode");
  auto b = std::make_shared<BarcodeOptions>();
  barcode->add_option("data", b->data, "the barcode's data")->required();
  barcode->add_option("--type", b->type,
                      "upca, upce, ean13, ean8, code39, itf, codabar, code93 or code128 (default; "
                      "{B is added without {A/B/C); checked before sending, a missing check "
                      "digit added")
      ->check(CLI::IsMember(Keys(kBarcodeTypes)));
  barcode->add_option("--height", b->height, "bar height in dots, 1 to 255 (default 80)")
      ->check(CLI::Range(1, 255));
  barcode->add_option("--width", b->width, "module width in dots: 2, 3 (default) or 6")
      ->check(CLI::IsMember({2, 3, 6}));
  barcode->add_option("--hri", b->hri, "human-readable text: none, above, below (default), both")
      ->check(CLI::IsMember(Keys(kHriPositions)));
  AddPrintingOptions(barcode, &program.port, true);
  barcode->callback([&program, b] { program.exitCode = Barcode(program.port, *b); });

  auto* qr = app.add_subcommand("qr", "Print a QR code");
  auto q = std::make_shared<QrOptions>();
  qr->add_option("data", q->data, "the QR code's data")->required()->check([](const std::string& s) {
    return s.empty() ? std::string("the data is empty") : std::string();
  });
  qr->add_option("--size", q->size, "module size in dots, 1 to 16 (default 6)")
      ->check(CLI::Range(1, 16));
  qr->add_option("--ec", q->level, "error correction: l, m (default), q or h")
      ->check(CLI::IsMember(Keys(kQrLevels)));
  AddPrintingOptions(qr, &program.port, true);
  qr->callback([&program, q] { program.exitCode = Qr(program.port, *q); });
}

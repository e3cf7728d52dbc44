// barcode and qr: symbols the printer draws itself.
#include <CLI/CLI.hpp>
#include <map>
#include <vector>

#include "connection.h"
#include "tallyjet.h"

namespace {

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

// CODE128 data begins with its code set: {A, {B or {C. Text without one is taken as code set B.
std::string WithCodeSet(const std::string& data) {
  const bool hasSet = data.size() >= 2 && data[0] == '{' && data[1] >= 'A' && data[1] <= 'C';
  return hasSet ? data : "{B" + data;
}

int Barcode(const PortOptions& port, const BarcodeOptions& o) {
  const int type = kBarcodeTypes.at(o.type);
  const std::string data = type == kBarcodeTypes.at("code128") ? WithCodeSet(o.data) : o.data;
  return RunOnPrinter(port, [&](Connection& c) {
    return c.Check(PrintBarCode(type, o.height, kModuleWidths.at(o.width), 0,
                                kHriPositions.at(o.hri), 0, data.c_str()),
                   "printing the " + o.type + " barcode (does the data suit the type?)");
  });
}

int Qr(const PortOptions& port, const QrOptions& o) {
  std::string data = o.data;
  return RunOnPrinter(port, [&](Connection& c) {
    return c.Check(SetQrCodeModel(2), "selecting QR model 2") &&
           c.Check(SetQrCodeResolution(o.size), "setting the QR module size") &&
           c.Check(SetQrCodeErrorCorretion(kQrLevels.at(o.level)), "setting the QR level") &&
           c.Check(StoreQrCodeData(&data[0], static_cast<int>(data.size())),
                   "storing the QR data") &&
           c.Check(MakeQrCode(), "printing the QR code");
  });
}

}  // namespace

void AddSymbolCommands(CLI::App& app, Program& program) {
  auto* barcode = app.add_subcommand("barcode", "Print a barcode");
  auto b = std::make_shared<BarcodeOptions>();
  barcode->add_option("data", b->data, "the barcode's data")->required();
  barcode->add_option("--type", b->type, "upca, upce, ean13, ean8, code39, itf, codabar, "
                                         "code93 or code128 (default; {B is added without {A/B/C)")
      ->check(CLI::IsMember(Keys(kBarcodeTypes)));
  barcode->add_option("--height", b->height, "bar height in dots, 1 to 255 (default 80)")
      ->check(CLI::Range(1, 255));
  barcode->add_option("--width", b->width, "module width in dots: 2, 3 (default) or 6")
      ->check(CLI::IsMember({2, 3, 6}));
  barcode->add_option("--hri", b->hri, "human-readable text: none, above, below (default), both")
      ->check(CLI::IsMember(Keys(kHriPositions)));
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
  qr->callback([&program, q] { program.exitCode = Qr(program.port, *q); });
}

// print: UTF-8 text, encoded here for one of the printer's code tables, in a chosen style.
// raw: bytes sent unchanged.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>

#include "connection.h"
#include "input_file.h"
#include "tallyjet.h"
#include "code_pages.h"

namespace {

// Bytes per SendData call: each call is one write, and a USB transfer has a time limit.
constexpr size_t kChunk = 4096;

struct TextStyle {
  bool bold = false;
  bool underline = false;
  int width = 1;   // character width and height multiples, 1 or 2
  int height = 1;
  int align = 0;   // 0 left, 1 centre, 2 right
  int font = 0;    // 0 font A, 1 font B
  bool IsPlain() const {
    return !bold && !underline && width == 1 && height == 1 && align == 0 && font == 0;
  }
};

struct PrintOptions {
  std::string file = "-";
  TextStyle style;
  std::string size = "1x1";
  std::string align = "left";
  std::string font = "a";
  int codePage = 0;  // 0: chosen from the text
  bool cut = false;
  int feed = 0;
};

// Sets every part of the style, so that the text does not inherit what an earlier run left.
bool ApplyStyle(Connection& c, const TextStyle& s) {
  return c.Check(SetFontType(s.font), "selecting the font") &&
         c.Check(SetCharSize((s.width - 1) << 4 | (s.height - 1)), "setting the character size") &&
         c.Check(s.bold ? SetBoldEnable(1) : SetBoldDisable(), "setting bold") &&
         c.Check(SetPrintModeUnderline(s.underline ? 1 : 0), "setting underline") &&
         c.Check(SetJustification(s.align), "setting the alignment");
}

bool SendBytes(Connection& c, const std::string& bytes, const std::string& what) {
  for (size_t at = 0; at < bytes.size(); at += kChunk) {
    const size_t length = std::min(kChunk, bytes.size() - at);
    if (!c.Check(SendData(bytes.data() + at, static_cast<int>(length)), what)) return false;
  }
  return true;
}

void ReportMissing(const EncodedText& encoded, const CodePage& page) {
  if (encoded.missing.empty()) return;
  std::string list;
  for (const std::string& name : encoded.missing) list += (list.empty() ? "" : ", ") + name;
  fprintf(stderr, "tallyjet: not in code page %d, printed as ?: %s\n", page.number, list.c_str());
}

bool PrintText(Connection& c, const PrintOptions& o, const std::string& utf8) {
  const CodePage* holding = PageHolding(utf8);
  const CodePage& page = *FindCodePage(o.codePage != 0 ? o.codePage : holding ? holding->number : 850);
  EncodedText encoded = Encode(utf8, page);
  ReportMissing(encoded, page);
  // The printer prints a line when it ends: the last one must end too.
  if (encoded.bytes.empty() || encoded.bytes.back() != '\n') encoded.bytes += '\n';
  const std::string selecting = "selecting code page " + std::to_string(page.number);
  if (!ApplyStyle(c, o.style) || !c.Check(SetCharCodeTable(page.table), selecting) ||
      !SendBytes(c, encoded.bytes, "sending the text")) {
    return false;
  }
  if (!o.style.IsPlain() && !ApplyStyle(c, TextStyle())) return false;
  if (o.feed > 0 && !c.Check(GetPartialLineFeed(o.feed), "feeding the paper")) return false;
  return !o.cut || c.Check(MakeCut(1), "cutting the paper");
}

int Print(const PortOptions& port, PrintOptions o) {
  sscanf(o.size.c_str(), "%dx%d", &o.style.width, &o.style.height);
  o.style.align = o.align == "center" ? 1 : o.align == "right" ? 2 : 0;
  o.style.font = o.font == "b" ? 1 : 0;
  std::string utf8;
  if (!ReadInput(o.file, &utf8)) return kExitFailure;
  return RunOnPrinter(port, [&](Connection& c) { return PrintText(c, o, utf8); });
}

int Raw(const PortOptions& port, const std::string& file) {
  std::string bytes;
  if (!ReadInput(file, &bytes)) return kExitFailure;
  return RunOnPrinter(port, [&](Connection& c) {
    // While table 2 is selected (the library's choice until told otherwise) it rewrites
    // bytes C3; selecting table 0 first is the only way to send them as they are.
    if (bytes.find('\xC3') != std::string::npos) {
      fprintf(stderr, "tallyjet: the data holds byte C3: code table 0 selected first\n");
      if (!c.Check(SetCharCodeTable(0), "selecting code table 0")) return false;
    }
    return SendBytes(c, bytes, "sending the data");
  });
}

}  // namespace

void AddTextCommands(CLI::App& app, Program& program) {
  auto* print = app.add_subcommand("print", "Print UTF-8 text from a file or standard input");
  auto o = std::make_shared<PrintOptions>();
  print->add_option("file", o->file, "the text; - or nothing for standard input");
  print->add_flag("--bold", o->style.bold, "bold (emphasised) text");
  print->add_flag("--underline", o->style.underline, "underlined text");
  print->add_option("--size", o->size, "character size WxH: 1x1, 2x1, 1x2 or 2x2")
      ->check(CLI::IsMember({"1x1", "2x1", "1x2", "2x2"}));
  print->add_option("--align", o->align, "left, center or right")
      ->check(CLI::IsMember({"left", "center", "right"}));
  print->add_option("--font", o->font, "a or b")->check(CLI::IsMember({"a", "b"}));
  print->add_option("--codepage", o->codePage,
                    "code page 437, 850, 858, 860 or 1252 (default: 858 when the text has a "
                    "euro sign, else 850)")
      ->check(CLI::IsMember(CodePageNumbers()));
  print->add_flag("--cut", o->cut, "cut the paper after the text");
  print->add_option("--feed", o->feed, "feed N lines after the text")->check(CLI::Range(0, 255));
  print->callback([&program, o] { program.exitCode = Print(program.port, *o); });

  auto* raw = app.add_subcommand("raw", "Send the bytes of a file or standard input unchanged");
  auto file = std::make_shared<std::string>("-");
  raw->add_option("file", *file, "the bytes; - or nothing for standard input");
  raw->callback([&program, file] { program.exitCode = Raw(program.port, *file); });
}

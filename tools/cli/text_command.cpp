// print: UTF-8 text in a chosen style through the library's text path, which prints lines no
// code table holds as pictures of themselves. raw: bytes sent unchanged. Both read their input
// in pieces.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>

#include "connection.h"
#include "input_file.h"
#include "paper.h"
#include "text_stream.h"

namespace {

// A text line's paper at the default line spacing, for the wait for the confirmation.
constexpr int kLineDots = 30;

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
  int codePage = 0;  // 0: chosen line by line
  bool noPictures = false;
  bool cut = false;
  int feed = 0;
};

// Sets every part of the style, so that the text does not inherit what an earlier run left.
bool ApplyStyle(Connection& c, const TextStyle& s) {
  tallyjet_printer* p = c.printer();
  return c.Check(tallyjet_set_font_type(p, s.font), "selecting the font") &&
         c.Check(tallyjet_set_char_size(p, (s.width - 1) << 4 | (s.height - 1)),
                 "setting the character size") &&
         c.Check(s.bold ? tallyjet_set_bold_enable(p, 1) : tallyjet_set_bold_disable(p),
                 "setting bold") &&
         c.Check(tallyjet_set_print_mode_underline(p, s.underline ? 1 : 0), "setting underline") &&
         c.Check(tallyjet_set_justification(p, s.align), "setting the alignment");
}

// Bytes per write of raw data: a USB transfer has a time limit.
constexpr size_t kRawChunk = 4096;

int SendInChunks(tallyjet_printer* printer, const char* data, size_t length) {
  for (size_t at = 0; at < length; at += kRawChunk) {
    const int code = tallyjet_send_data(printer, data + at,
                                        static_cast<int>(std::min(kRawChunk, length - at)));
    if (code != TALLYJET_SUCCESS) return code;
  }
  return TALLYJET_SUCCESS;
}

bool PrintText(Connection& c, const PrintOptions& o, InputFile& input) {
  tallyjet_printer* p = c.printer();
  const int paper = c.port().paper == 58 ? TALLYJET_PAPER_WIDTH_58MM : TALLYJET_PAPER_WIDTH_80MM;
  if (!c.Check(tallyjet_set_paper_width(p, paper), "setting the paper width") ||
      !c.Check(tallyjet_set_text_encoding(p, o.codePage, o.noPictures ? 0 : 1),
               "choosing the code page") ||
      !ApplyStyle(c, o.style)) {
    return false;
  }
  TextStream text(p);
  int code = TALLYJET_SUCCESS;
  const bool read = input.ReadPieces([&](const char* data, size_t length) {
    c.AddPaper(kLineDots * static_cast<int>(std::count(data, data + length, '\n')));
    code = text.Add(data, length);
    return code == TALLYJET_SUCCESS;
  });
  if (read && code == TALLYJET_SUCCESS) code = text.Finish();
  if (!read || !c.Check(code, "printing the text")) return false;
  if (!o.style.IsPlain() && !ApplyStyle(c, TextStyle())) return false;
  if (o.feed > 0 && !c.Check(tallyjet_get_partial_line_feed(p, o.feed), "feeding the paper")) {
    return false;
  }
  return !o.cut || FeedAndCut(c, 0);
}

int Print(const PortOptions& port, PrintOptions o) {
  sscanf(o.size.c_str(), "%dx%d", &o.style.width, &o.style.height);
  o.style.align = o.align == "center" ? 1 : o.align == "right" ? 2 : 0;
  o.style.font = o.font == "b" ? 1 : 0;
  InputFile input;
  if (!input.Open(o.file)) return kExitFailure;
  return RunPrinting(port, [&](Connection& c) { return PrintText(c, o, input); });
}

int Raw(const PortOptions& port, const std::string& file) {
  InputFile input;
  if (!input.Open(file)) return kExitFailure;
  return RunOnPrinter(port, [&](Connection& c) {
    bool tableZero = false;
    return input.ReadPieces([&](const char* data, size_t length) {
      // While code table 2 is selected (the printer's at opening) the library rewrites bytes
      // C3; selecting table 0 is the only way to send them as they are.
      if (!tableZero && std::string(data, length).find('\xC3') != std::string::npos) {
        fprintf(stderr, "tallyjet: the data holds byte C3: code table 0 selected first\n");
        if (!c.Check(tallyjet_set_char_code_table(c.printer(), 0), "selecting code table 0")) {
          return false;
        }
        tableZero = true;
      }
      return c.Check(SendInChunks(c.printer(), data, length), "sending the data");
    });
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
  print->add_option("--paper", program.port.paper,
                    "paper width in mm: 80 (576 dots, default) or 58 (384)")
      ->check(CLI::IsMember({58, 80}));
  print->add_option("--codepage", o->codePage,
                    "code page 437, 850, 858, 860 or 1252 for every text line (default: for "
                    "each line the first of 850, 858, 437, 860, 1252 that holds it)")
      ->check(CLI::IsMember({437, 850, 858, 860, 1252}));
  print->add_flag("--no-pictures", o->noPictures,
                  "print characters no code page holds as ? instead of drawing their lines");
  print->add_flag("--cut", o->cut, "cut the paper after the text");
  print->add_option("--feed", o->feed, "feed N lines after the text")->check(CLI::Range(0, 255));
  AddPrintingOptions(print, &program.port, true);
  print->callback([&program, o] { program.exitCode = Print(program.port, *o); });

  auto* raw = app.add_subcommand("raw", "Send the bytes of a file or standard input unchanged");
  auto file = std::make_shared<std::string>("-");
  raw->add_option("file", *file, "the bytes; - or nothing for standard input");
  raw->callback([&program, file] { program.exitCode = Raw(program.port, *file); });
}

// image: a picture printed through the library's picture path, which decodes, fits, dithers and
// sends it in bands (paced by the printer's buffer only on a serial line without flow control).
#include <CLI/CLI.hpp>
#include <cstdint>

#include "connection.h"
#include "failure.h"
#include "picture_file.h"

namespace {

struct ImageOptions {
  std::string file;
  bool fit = false;
  std::string align = "left";
  std::string dither = "diffuse";
};

int Image(const PortOptions& port, const ImageOptions& o) {
  PictureSize size;
  if (!ReadPictureSize(o.file, &size)) return kExitFailure;
  const int paper = port.paper == 58 ? TALLYJET_PAPER_WIDTH_58MM : TALLYJET_PAPER_WIDTH_80MM;
  if (!o.fit && size.width > paper) {
    Complain("the picture is " + std::to_string(size.width) + " dots wide, the paper " +
             std::to_string(paper) + ": use --fit");
    return kExitFailure;
  }
  tallyjet_picture_options options = {};
  options.width = o.fit ? paper : 0;
  options.dither = o.dither == "threshold" ? TALLYJET_DITHER_THRESHOLD
                   : o.dither == "ordered" ? TALLYJET_DITHER_ORDERED
                                           : TALLYJET_DITHER_DIFFUSION;
  options.align = o.align == "center" ? TALLYJET_ALIGN_CENTER
                  : o.align == "right" ? TALLYJET_ALIGN_RIGHT
                                       : TALLYJET_ALIGN_LEFT;
  options.paper_width = paper;
  options.pacing = TALLYJET_PACING_AUTO;
  const int width = options.width > 0 ? options.width : size.width;
  return RunPrinting(port, [&](Connection& c) {
    c.AddPaper(size.width > 0 ? static_cast<int>(int64_t{size.height} * width / size.width) : 0);
    return c.Check(tallyjet_print_picture(c.printer(), o.file.c_str(), &options),
                   "printing the picture " + o.file);
  });
}

}  // namespace

void AddImageCommand(CLI::App& app, Program& program) {
  auto* image = app.add_subcommand("image", "Print a picture (PNG, JPEG, BMP, GIF, ...)");
  auto o = std::make_shared<ImageOptions>();
  image->add_option("file", o->file, "the picture")->required();
  image->add_flag("--fit", o->fit, "scale the picture to the paper's width");
  image->add_option("--paper", program.port.paper,
                    "paper width in mm: 80 (576 dots, default) or 58 (384)")
      ->check(CLI::IsMember({58, 80}));
  image->add_option("--align", o->align, "left, center or right")
      ->check(CLI::IsMember({"left", "center", "right"}));
  image->add_option("--dither", o->dither, "threshold, diffuse (default) or ordered")
      ->check(CLI::IsMember({"threshold", "diffuse", "ordered"}));
  AddPrintingOptions(image, &program.port, true);
  image->callback([&program, o] { program.exitCode = Image(program.port, *o); });
}

// image: a picture dithered here with Qt to one bit per dot, then printed as a raster bit
// image, which the library sends in bands paced by the printer's receive buffer.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <vector>

#include "connection.h"
#include "failure.h"
#include "tallyjet.h"

namespace {

// Rows per PrintRasterBitImage call: the band the library sends for a full-width picture, so
// that the calls change nothing on the wire and the progress bar moves once per band.
constexpr int kRowsPerCall = 83;

struct ImageOptions {
  std::string file;
  bool fit = false;
  int paper = 80;
  std::string align = "left";
  std::string dither = "diffuse";
};

int PaperDots(int millimetres) { return millimetres == 58 ? 384 : 576; }

Qt::ImageConversionFlags DitherFlags(const std::string& name) {
  const Qt::ImageConversionFlags mode = name == "threshold" ? Qt::ThresholdDither
                                        : name == "ordered" ? Qt::OrderedDither
                                                            : Qt::DiffuseDither;
  return Qt::ColorOnly | mode;
}

// The picture on white paper: transparent parts print as nothing.
QImage OnWhite(const QImage& picture) {
  QImage canvas(picture.size(), QImage::Format_RGB32);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  painter.drawImage(0, 0, picture);
  return canvas;
}

// The raster bit image of a one-bit picture: rows of width / 8 bytes, bit 7 the leftmost dot,
// 1 for black. width is the picture's width rounded up to whole bytes.
std::vector<unsigned char> Raster(const QImage& mono, int* width) {
  *width = (mono.width() + 7) / 8 * 8;
  const int bytesPerRow = *width / 8;
  std::vector<unsigned char> raster(static_cast<size_t>(bytesPerRow) * mono.height(), 0);
  const int black = qGray(mono.color(0)) < qGray(mono.color(1)) ? 0 : 1;
  for (int y = 0; y < mono.height(); ++y) {
    for (int x = 0; x < mono.width(); ++x) {
      if (mono.pixelIndex(x, y) == black) {
        raster[static_cast<size_t>(y) * bytesPerRow + x / 8] |= 0x80 >> (x % 8);
      }
    }
  }
  return raster;
}

// A bar on standard error, for a terminal only.
void ShowProgress(int done, int total) {
  constexpr int kWidth = 40;
  const int filled = done * kWidth / total;
  fprintf(stderr, "\rprinting [%s%s] %3d%%", std::string(filled, '#').c_str(),
          std::string(kWidth - filled, ' ').c_str(), done * 100 / total);
  if (done == total) fputc('\n', stderr);
}

bool PrintRaster(Connection& c, const std::vector<unsigned char>& raster, int width, int height) {
  const bool progress = isatty(STDERR_FILENO) && height > 2 * kRowsPerCall;
  const size_t bytesPerRow = static_cast<size_t>(width) / 8;
  for (int row = 0; row < height; row += kRowsPerCall) {
    const int rows = std::min(kRowsPerCall, height - row);
    if (!c.Check(PrintRasterBitImage(0, width, rows, raster.data() + row * bytesPerRow),
                 "printing the picture")) {
      if (progress) fputc('\n', stderr);
      return false;
    }
    if (progress) ShowProgress(row + rows, height);
  }
  return true;
}

int Image(const PortOptions& port, const ImageOptions& o) {
  const QImage picture(QString::fromLocal8Bit(o.file.c_str()));
  if (picture.isNull()) {
    Complain("cannot read the picture " + o.file);
    return kExitFailure;
  }
  const int paper = PaperDots(o.paper);
  QImage page = OnWhite(picture);
  if (o.fit && page.width() != paper) {
    page = page.scaledToWidth(paper, Qt::SmoothTransformation);
  } else if (page.width() > paper) {
    Complain("the picture is " + std::to_string(page.width()) + " dots wide, the paper " +
             std::to_string(paper) + ": use --fit");
    return kExitFailure;
  }
  const QImage mono = page.convertToFormat(QImage::Format_Mono, DitherFlags(o.dither));
  if (mono.isNull()) {
    Complain("no memory for the picture " + o.file + " at " + std::to_string(paper) + " dots");
    return kExitFailure;
  }
  int width = 0;
  const std::vector<unsigned char> raster = Raster(mono, &width);
  const int align = o.align == "center" ? 1 : o.align == "right" ? 2 : 0;
  return RunOnPrinter(port, [&](Connection& c) {
    return c.Check(SetJustification(align), "setting the alignment") &&
           PrintRaster(c, raster, width, mono.height()) &&
           (align == 0 || c.Check(SetJustification(0), "setting the alignment back"));
  });
}

}  // namespace

void AddImageCommand(CLI::App& app, Program& program) {
  auto* image = app.add_subcommand("image", "Print a picture (PNG, JPEG, BMP, GIF, ...)");
  auto o = std::make_shared<ImageOptions>();
  image->add_option("file", o->file, "the picture")->required()->check(CLI::ExistingFile);
  image->add_flag("--fit", o->fit, "scale the picture to the paper's width");
  image->add_option("--paper", o->paper, "paper width in mm: 80 (576 dots, default) or 58 (384)")
      ->check(CLI::IsMember({58, 80}));
  image->add_option("--align", o->align, "left, center or right")
      ->check(CLI::IsMember({"left", "center", "right"}));
  image->add_option("--dither", o->dither, "threshold, diffuse (default) or ordered")
      ->check(CLI::IsMember({"threshold", "diffuse", "ordered"}));
  image->callback([&program, o] { program.exitCode = Image(program.port, *o); });
}

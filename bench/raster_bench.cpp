// How long a 576 x 2000 picture file takes to become a raster bit image (decoding included),
// against the per-pixel rule in the same run, and how long its bands take to encode.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

#include "comm_base.h"
#include "image_manager.h"
#include "image_per_pixel.h"
#include "prot_escpos.h"

// The fill-level query pauses 150 ms so that a real printer can answer. The printer below
// answers at once, so in this program usleep returns at once and the band benchmark times the
// encoding itself; the count of pauses skipped is reported beside it. This definition replaces
// the C library's for this program only; the library's code is the same.
namespace {
long pausesSkipped = 0;
}  // namespace
extern "C" int usleep(useconds_t) {
  ++pausesSkipped;
  return 0;
}

namespace {

constexpr int kWidth = 576;
constexpr int kHeight = 2000;

// A receipt logo's kind of content: white paper, solid black shapes, a colour gradient and a
// grey ramp, with every row different.
QImage Logo() {
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  for (int y = 0; y < kHeight; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < kWidth; ++x) {
      const int dx = x - 288;
      const int dy = y % 400 - 200;
      QRgb colour = qRgb(255, 255, 255);
      if (dx * dx + dy * dy < 150 * 150) colour = qRgb(0, 0, 0);
      if ((x / 24 + y / 24) % 5 == 0) colour = qRgb(x * 255 / kWidth, y % 256, 128);
      if (y % 400 > 360) colour = qRgb(x % 256, x % 256, x % 256);
      line[x] = colour;
    }
  }
  return picture;
}

// The picture files, written once: state.range(0) 0 is the colour PNG, 1 the same reduced to a
// one-bit PNG, as a logo prepared for a receipt printer usually is.
const std::string& LogoFile(int kind) {
  static QTemporaryDir dir;
  static const std::string files[2] = {
      [] {
        const QString path = dir.filePath("logo_colour.png");
        Logo().save(path);
        return path.toStdString();
      }(),
      [] {
        const QString path = dir.filePath("logo_mono.png");
        Logo().convertToFormat(QImage::Format_Mono, Qt::ThresholdDither).save(path);
        return path.toStdString();
      }(),
  };
  return files[kind];
}

void FileToRaster(benchmark::State& state) {
  const std::string& path = LogoFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ImageManager picture;
    picture.LoadImageFile(path.c_str());
    unsigned char* raster = nullptr;
    benchmark::DoNotOptimize(picture.GetRasterBitImage(&raster));
    free(raster);
  }
}
BENCHMARK(FileToRaster)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void FileToRasterPerPixel(benchmark::State& state) {
  const std::string& path = LogoFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ImageManager picture;
    picture.LoadImageFile(path.c_str());
    benchmark::DoNotOptimize(PerPixelRaster(picture.image));
  }
}
BENCHMARK(FileToRasterPerPixel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The raster step alone, on a picture already loaded.
void Rasterise(benchmark::State& state) {
  ImageManager picture;
  picture.LoadImageFile(LogoFile(0).c_str());
  for (auto _ : state) {
    unsigned char* raster = nullptr;
    benchmark::DoNotOptimize(picture.GetRasterBitImage(&raster));
    free(raster);
  }
}
BENCHMARK(Rasterise)->Unit(benchmark::kMicrosecond);

void RasterisePerPixel(benchmark::State& state) {
  ImageManager picture;
  picture.LoadImageFile(LogoFile(0).c_str());
  for (auto _ : state) benchmark::DoNotOptimize(PerPixelRaster(picture.image));
}
BENCHMARK(RasterisePerPixel)->Unit(benchmark::kMicrosecond);

// A printer that takes every write and always reports an empty receive buffer.
class EmptyBufferPrinter : public CommBase {
 public:
  int Write(const char*, int length) override {
    bytes += length;
    return TALLYJET_SUCCESS;
  }
  int Read(char* buffer, int) override {
    buffer[0] = 0;
    return 1;
  }
  long bytes = 0;
};

void EncodeBands(benchmark::State& state) {
  ImageManager picture;
  picture.LoadImageFile(LogoFile(0).c_str());
  unsigned char* raster = nullptr;
  picture.GetRasterBitImage(&raster);
  auto* printer = new EmptyBufferPrinter;
  ProtEscPos encoder(printer);
  pausesSkipped = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(encoder.PrintRasterBitImage(0, picture.width, picture.height, raster));
  }
  free(raster);
  state.SetBytesProcessed(printer->bytes);
  state.counters["pauses_per_picture"] =
      static_cast<double>(pausesSkipped) / static_cast<double>(state.iterations());
}
BENCHMARK(EncodeBands)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

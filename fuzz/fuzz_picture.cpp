// Picture files: the fuzz input is the file handed to LoadImageFile (Qt picks the decoder from
// its contents); its last two bytes also give the scale factors, as PrintBmpImage passes them
// on. A picture that loads must give a raster of ceil(width / 8) bytes a row, scaled or not.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include <QtGlobal>

#include "image_manager.h"

namespace {

// One file in memory for the whole run, rewritten with each input; Qt opens it by name.
struct MemoryFile {
  MemoryFile() : fd(memfd_create("picture", 0)), path("/proc/self/fd/" + std::to_string(fd)) {
    if (fd < 0) abort();
  }
  void Hold(const uint8_t* data, size_t size) {
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
      abort();
    }
  }
  int fd;
  std::string path;
};

}  // namespace

// The decoders' complaints about broken files would drown libFuzzer's own report.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryFile file;
  file.Hold(data, size);
  ImageManager picture;
  if (picture.LoadImageFile(file.path.c_str()) != TALLYJET_SUCCESS) return 0;
  // 0 to 4 in steps of 1/64; a failed scaling leaves a picture that must still rasterise.
  if (size >= 2) picture.SetScale(data[size - 1] / 64.0f, data[size - 2] / 64.0f);
  const QImage& image = picture.image;
  unsigned char* raster = nullptr;
  const int bytes = picture.GetRasterBitImage(&raster);
  if (bytes > 0 && bytes != (image.width() + 7) / 8 * image.height()) __builtin_trap();
  free(raster);
  return 0;
}

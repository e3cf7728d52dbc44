// Entry points for pictures, in both faces: print a picture file, send a bit image the caller
// built, keep a picture in the printer's NV graphics memory under two key codes, print and
// delete it.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "connection.h"
#include "image_manager.h"
#include "picture_raster.h"
#include "transport_kinds.h"

using connection::Forward;
using connection::Of;
using connection::ProcessWide;

namespace {

// A raster bit image from ImageManager, released with free on every path.
using Raster = std::unique_ptr<unsigned char, decltype(&free)>;

// The picture's raster bit image, or a null one when none could be made.
Raster RasterOf(ImageManager* picture) {
  unsigned char* bytes = nullptr;
  const int size = picture->GetRasterBitImage(&bytes);
  return Raster(size > 0 ? bytes : nullptr, &free);
}

int PrintBmpImage(const PrinterConnection& link, const char* path, float heightScale,
                  float widthScale, int rotate, int leftMargin, int halftone) {
  int rc = connection::Check(link);
  if (rc != TALLYJET_SUCCESS) return rc;
  if (static_cast<unsigned>(halftone) > 2) return TALLYJET_ERR_INVALID_ARGUMENT;
  ImageManager picture;
  rc = picture.LoadImageFile(path);
  if (rc != TALLYJET_SUCCESS) return rc;
  // A NaN is not 1 either: it goes to SetScale, which refuses it.
  if (heightScale != 1.0f || widthScale != 1.0f) {
    rc = picture.SetScale(widthScale, heightScale);
    if (rc != TALLYJET_SUCCESS) return rc;
  }
  if (rotate != 0) {
    rc = picture.SetRotation(rotate);
    if (rc != TALLYJET_SUCCESS) return rc;
  }
  rc = picture.SetHalfTone(halftone);
  if (rc != TALLYJET_SUCCESS) return rc;
  const Raster raster = RasterOf(&picture);
  if (raster == nullptr) return TALLYJET_ERR_FAILED;
  // The margin is refused before any of the picture is sent.
  rc = link.encoder->SetLeftMargin(leftMargin);
  if (rc != TALLYJET_SUCCESS) return rc;
  return link.encoder->PrintRasterBitImage(0, picture.width, picture.height, raster.get());
}

int SaveGraphic(const PrinterConnection& link, const char* path, int kc1, int kc2) {
  int rc = connection::Check(link);
  if (rc != TALLYJET_SUCCESS) return rc;
  ImageManager picture;
  rc = picture.LoadImageFile(path);
  if (rc != TALLYJET_SUCCESS) return rc;
  // The graphic keeps the picture's own size in pixels; GetRasterBitImage rounds width up.
  const int width = picture.width;
  const int height = picture.height;
  const Raster raster = RasterOf(&picture);
  if (raster == nullptr) return TALLYJET_ERR_FAILED;
  // Whatever is stored under these key codes goes first; there may be nothing to delete, so
  // the result does not matter.
  link.encoder->CleanGraphic(kc1, kc2);
  return link.encoder->SaveGraphic(width, height, raster.get(), kc1, kc2);
}

// Whether the bands wait for the printer's fill level.
bool Paced(const PrinterConnection& link, int pacing) {
  if (pacing == TALLYJET_PACING_AUTO) return !WritesWaitForPrinter(link.transport);
  return pacing == TALLYJET_PACING_ALWAYS;
}

// A picture, from a file or from memory as make makes it, printed with the options.
template <typename Make>
int PrintPicture(const PrinterConnection& link, const tallyjet_picture_options* options,
                 Make make) {
  const int rc = connection::Check(link);
  if (rc != TALLYJET_SUCCESS) return rc;
  const tallyjet_picture_options chosen =
      options != nullptr ? *options : tallyjet_picture_options{};
  if (static_cast<unsigned>(chosen.pacing) > TALLYJET_PACING_NEVER) {
    return TALLYJET_ERR_INVALID_ARGUMENT;
  }
  const int paperWidth = chosen.paper_width != 0 ? chosen.paper_width : link.style->paperWidth;
  PictureRaster raster;
  const int made = make(&raster, PictureLayout{chosen.width, chosen.dither, chosen.align, paperWidth});
  if (made != TALLYJET_SUCCESS) return made;
  const auto print =
      Paced(link, chosen.pacing) ? &ProtEscPos::PrintRasterBitImage : &ProtEscPos::PrintRasterBands;
  return (link.encoder->*print)(0, raster.width(), raster.height(), raster.data());
}

}  // namespace

extern "C" {

int PrintBmpImage(const char* path, float heightScale, float widthScale, int rotate, int leftMargin,
                  int halftone) {
  return PrintBmpImage(ProcessWide(), path, heightScale, widthScale, rotate, leftMargin, halftone);
}

int PrintBmp8(const char* path, int heightScaleBits, int widthScaleBits, int rotate, int leftMargin,
              int halftone) {
  float heightScale;
  float widthScale;
  static_assert(sizeof(float) == sizeof(int), "the scales travel as 32-bit words");
  memcpy(&heightScale, &heightScaleBits, sizeof heightScale);
  memcpy(&widthScale, &widthScaleBits, sizeof widthScale);
  return PrintBmpImage(path, heightScale, widthScale, rotate, leftMargin, halftone);
}

int SaveGraphic(const char* path, int kc1, int kc2) {
  return SaveGraphic(ProcessWide(), path, kc1, kc2);
}

int SetBitImageMode(int mode, const unsigned char* data, int length) {
  return Forward(ProcessWide(), &ProtEscPos::SetBitImageMode, mode, data, length);
}

int PrintRasterBitImage(int mode, int width, int height, const unsigned char* data) {
  return Forward(ProcessWide(), &ProtEscPos::PrintRasterBitImage, mode, width, height, data);
}

int tallyjet_PrintRasterBands(int mode, int width, int height, const unsigned char* data) {
  return Forward(ProcessWide(), &ProtEscPos::PrintRasterBands, mode, width, height, data);
}

int PrintGraphic(int kc1, int kc2) {
  return Forward(ProcessWide(), &ProtEscPos::PrintGraphic, kc1, kc2);
}

int CleanGraphic(int kc1, int kc2) {
  return Forward(ProcessWide(), &ProtEscPos::CleanGraphic, kc1, kc2);
}

int CleanAllGraphics() { return Forward(ProcessWide(), &ProtEscPos::CleanAllGraphics); }

int GetMemoryAvailabled(int* bytes) {
  return Forward(ProcessWide(), &ProtEscPos::GetMemoryAvailabled, bytes);
}

int tallyjet_print_bmp_image(tallyjet_printer* printer, const char* path, float height_scale,
                             float width_scale, int rotate, int left_margin, int halftone) {
  return PrintBmpImage(Of(printer), path, height_scale, width_scale, rotate, left_margin, halftone);
}
int tallyjet_save_graphic(tallyjet_printer* printer, const char* path, int kc1, int kc2) {
  return SaveGraphic(Of(printer), path, kc1, kc2);
}
int tallyjet_set_bit_image_mode(tallyjet_printer* printer, int mode, const unsigned char* data,
                                int length) {
  return Forward(Of(printer), &ProtEscPos::SetBitImageMode, mode, data, length);
}
int tallyjet_print_raster_bit_image(tallyjet_printer* printer, int mode, int width, int height,
                                    const unsigned char* data) {
  return Forward(Of(printer), &ProtEscPos::PrintRasterBitImage, mode, width, height, data);
}
int tallyjet_print_raster_bands(tallyjet_printer* printer, int mode, int width, int height,
                                const unsigned char* data) {
  return Forward(Of(printer), &ProtEscPos::PrintRasterBands, mode, width, height, data);
}
int tallyjet_print_graphic(tallyjet_printer* printer, int kc1, int kc2) {
  return Forward(Of(printer), &ProtEscPos::PrintGraphic, kc1, kc2);
}
int tallyjet_clean_graphic(tallyjet_printer* printer, int kc1, int kc2) {
  return Forward(Of(printer), &ProtEscPos::CleanGraphic, kc1, kc2);
}
int tallyjet_clean_all_graphics(tallyjet_printer* printer) {
  return Forward(Of(printer), &ProtEscPos::CleanAllGraphics);
}
int tallyjet_print_picture(tallyjet_printer* printer, const char* path,
                           const tallyjet_picture_options* options) {
  return PrintPicture(Of(printer), options, [path](PictureRaster* raster,
                                                   const PictureLayout& layout) {
    return raster->Make(path, layout);
  });
}
int tallyjet_print_picture_data(tallyjet_printer* printer, const void* data, int length,
                                const tallyjet_picture_options* options) {
  return PrintPicture(Of(printer), options, [data, length](PictureRaster* raster,
                                                           const PictureLayout& layout) {
    return raster->Make(data, length, layout);
  });
}
int tallyjet_get_memory_available(tallyjet_printer* printer, int* bytes) {
  return Forward(Of(printer), &ProtEscPos::GetMemoryAvailabled, bytes);
}

}  // extern "C"

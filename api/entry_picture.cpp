// Entry points for pictures: print a picture file, send a bit image the caller built, keep a
// picture in the printer's NV graphics memory under two key codes, print and delete it.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "connection.h"
#include "image_manager.h"

namespace {

// A raster bit image from ImageManager, released with free on every path.
using Raster = std::unique_ptr<unsigned char, decltype(&free)>;

// The picture's raster bit image, or a null one when none could be made.
Raster RasterOf(ImageManager* picture) {
  unsigned char* bytes = nullptr;
  const int size = picture->GetRasterBitImage(&bytes);
  return Raster(size > 0 ? bytes : nullptr, &free);
}

}  // namespace

extern "C" {

int PrintBmpImage(const char* path, float heightScale, float widthScale, int rotate,
                  int leftMargin, int halftone) {
  int rc = connection::Check();
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
  rc = prot_->SetLeftMargin(leftMargin);
  if (rc != TALLYJET_SUCCESS) return rc;
  return prot_->PrintRasterBitImage(0, picture.width, picture.height, raster.get());
}

int PrintBmp8(const char* path, int heightScaleBits, int widthScaleBits, int rotate,
              int leftMargin, int halftone) {
  float heightScale;
  float widthScale;
  static_assert(sizeof(float) == sizeof(int), "the scales travel as 32-bit words");
  memcpy(&heightScale, &heightScaleBits, sizeof heightScale);
  memcpy(&widthScale, &widthScaleBits, sizeof widthScale);
  return PrintBmpImage(path, heightScale, widthScale, rotate, leftMargin, halftone);
}

int SaveGraphic(const char* path, int kc1, int kc2) {
  int rc = connection::Check();
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
  prot_->CleanGraphic(kc1, kc2);
  return prot_->SaveGraphic(width, height, raster.get(), kc1, kc2);
}

int SetBitImageMode(int mode, const unsigned char* data, int length) {
  return connection::Forward(&ProtEscPos::SetBitImageMode, mode, data, length);
}

int PrintRasterBitImage(int mode, int width, int height, const unsigned char* data) {
  return connection::Forward(&ProtEscPos::PrintRasterBitImage, mode, width, height, data);
}

int tallyjet_PrintRasterBands(int mode, int width, int height, const unsigned char* data) {
  return connection::Forward(&ProtEscPos::PrintRasterBands, mode, width, height, data);
}

int PrintGraphic(int kc1, int kc2) {
  return connection::Forward(&ProtEscPos::PrintGraphic, kc1, kc2);
}

int CleanGraphic(int kc1, int kc2) {
  return connection::Forward(&ProtEscPos::CleanGraphic, kc1, kc2);
}

int CleanAllGraphics() { return connection::Forward(&ProtEscPos::CleanAllGraphics); }

int GetMemoryAvailabled(int* bytes) {
  return connection::Forward(&ProtEscPos::GetMemoryAvailabled, bytes);
}

}  // extern "C"

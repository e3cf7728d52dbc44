// PNG and JPEG documents, printed by the library's own picture path (decoded within its picture
// limits, fitted to the head, dithered and sent as raster bands) instead of PAPPL's decoder: a
// broken, truncated or oversized picture ends its job at once with a reason, and a receipt of
// any length within the limits prints whole.
#ifndef TALLYJET_PRINTER_APP_PICTURE_FILTER_H
#define TALLYJET_PRINTER_APP_PICTURE_FILTER_H

#include <pappl/pappl.h>

namespace printer_app {

// The formats PrintPicture takes.
extern const char* const kPictureFormats[];
extern const int kPictureFormatCount;

// PAPPL's filter callback for a spooled picture document.
bool PrintPicture(pappl_job_t* job, pappl_device_t* device, void* data);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_PICTURE_FILTER_H

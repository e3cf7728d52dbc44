#include "receipt_driver.h"

#include <cstring>
#include <string>

#include "document_filters.h"
#include "port_scheme.h"
#include "printer_status.h"
#include "receipt_job.h"
#include "receipt_options.h"
#include "test_page.h"

namespace printer_app {
namespace {

// The side margins, in hundredths of millimetres, that leave the head's width in the middle of
// the paper.
int SideMargin(const ReceiptModel& model) {
  return (model.paperMillimetres * 100 - model.headDots * 2540 / kDotsPerInch) / 2;
}

void FillMedia(const ReceiptModel& model, pappl_pr_driver_data_t* data) {
  data->num_media = kMediaCount;
  for (int i = 0; i < kMediaCount; ++i) data->media[i] = model.media[i];
  data->left_right = SideMargin(model);
  data->bottom_top = 0;  // a continuous roll
  data->num_source = 1;
  data->source[0] = "main-roll";
  data->num_type = 1;
  data->type[0] = "continuous";
  data->tracking_supported = PAPPL_MEDIA_TRACKING_CONTINUOUS;

  pappl_media_col_t& media = data->media_default;
  const pwg_media_t* size = pwgMediaForPWG(model.media[0]);
  papplCopyString(media.size_name, size->pwg, sizeof media.size_name);
  media.size_width = size->width;
  media.size_length = size->length;
  media.left_margin = media.right_margin = data->left_right;
  media.top_margin = media.bottom_margin = 0;
  papplCopyString(media.source, data->source[0], sizeof media.source);
  papplCopyString(media.type, data->type[0], sizeof media.type);
  media.tracking = PAPPL_MEDIA_TRACKING_CONTINUOUS;
  data->media_ready[0] = media;
}

void FillRaster(pappl_pr_driver_data_t* data) {
  data->num_resolution = 1;
  data->x_resolution[0] = data->y_resolution[0] = kDotsPerInch;
  data->x_default = data->y_default = kDotsPerInch;
  // Pages arrive in grey, 8 bits a dot, and the job's GreyDither makes them black and white:
  // text stays sharp and grey areas keep their shade.
  data->raster_types = PAPPL_PWG_RASTER_TYPE_SGRAY_8;
  data->force_raster_type = PAPPL_PWG_RASTER_TYPE_NONE;
  data->color_supported =
      PAPPL_COLOR_MODE_AUTO | PAPPL_COLOR_MODE_MONOCHROME | PAPPL_COLOR_MODE_BI_LEVEL;
  data->color_default = PAPPL_COLOR_MODE_MONOCHROME;
  data->content_default = PAPPL_CONTENT_AUTO;
}

void FillCallbacks(pappl_pr_driver_data_t* data) {
  data->rstartjob_cb = StartJob;
  data->rstartpage_cb = StartPage;
  data->rwriteline_cb = WriteLine;
  data->rendpage_cb = EndPage;
  data->rendjob_cb = EndJob;
  data->testpage_cb = WriteTestPage;
  data->status_cb = UpdatePrinterStatus;
}

}  // namespace

pappl_pr_driver_t kReceiptDrivers[] = {
    {kModels[0].driverName, kModels[0].description, nullptr, nullptr},
    {kModels[1].driverName, kModels[1].description, nullptr, nullptr},
};
const int kReceiptDriverCount = sizeof kReceiptDrivers / sizeof kReceiptDrivers[0];


bool FillDriverData(pappl_system_t*, const char* driverName, const char*, const char*,
                    pappl_pr_driver_data_t* data, ipp_t** attributes, void*) {
  const ReceiptModel* model = ModelOf(driverName);
  if (model == nullptr) return false;
  papplCopyString(data->make_and_model, model->description, sizeof data->make_and_model);
  data->format = kPrinterFormat;  // PAPPL takes our document filters before its own
  data->kind = PAPPL_KIND_RECEIPT | PAPPL_KIND_ROLL;
  data->ppm = 30;
  // Receipts come out printed side up, but the first page leaves the printer first: a face-up
  // output bin would have clients such as CUPS send the pages last first.
  data->input_face_up = true;
  data->output_face_up = false;
  data->orient_default = IPP_ORIENT_PORTRAIT;  // a wide picture stays across the roll
  data->quality_default = IPP_QUALITY_NORMAL;
  data->duplex = PAPPL_DUPLEX_NONE;
  data->sides_supported = data->sides_default = PAPPL_SIDES_ONE_SIDED;
  data->finishings = PAPPL_FINISHINGS_TRIM;
  data->darkness_supported = 0;
  FillRaster(data);
  FillMedia(*model, data);
  FillCallbacks(data);
  *attributes = ippNew();
  DeclareReceiptOptions(data, *attributes);
  return true;
}

const char* ChooseDriver(const char*, const char* deviceUri, const char*, void*) {
  PortAddress address;
  return ParsePortUri(deviceUri != nullptr ? deviceUri : "", &address) ? kReceiptDrivers[0].name
                                                                        : nullptr;
}

}  // namespace printer_app

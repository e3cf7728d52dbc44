#include "picture_filter.h"

#include "receipt_job.h"

namespace printer_app {
namespace {

// How the job's options place the picture: across the head unless the job asks for no scaling;
// greys dithered unless the job is text.
tallyjet_picture_options PictureOptions(const ReceiptJob& receipt, pappl_job_t* job) {
  pappl_pr_options_t* options = papplJobCreatePrintOptions(job, 1, false);
  tallyjet_picture_options picture = {};
  picture.width = options->print_scaling == PAPPL_SCALING_NONE ? 0 : receipt.headDots();
  picture.dither = options->print_content_optimize == PAPPL_CONTENT_TEXT
                       ? TALLYJET_DITHER_THRESHOLD
                       : TALLYJET_DITHER_DIFFUSION;
  picture.align = TALLYJET_ALIGN_CENTER;
  picture.paper_width = receipt.headDots();
  picture.pacing = receipt.pacedByFillLevel() ? TALLYJET_PACING_ALWAYS : TALLYJET_PACING_AUTO;
  papplJobDeletePrintOptions(options);
  return picture;
}

}  // namespace

const char* const kPictureFormats[] = {"image/png", "image/jpeg"};
const int kPictureFormatCount = sizeof kPictureFormats / sizeof kPictureFormats[0];

bool PrintPicture(pappl_job_t* job, pappl_device_t* device, void*) {
  papplJobSetImpressions(job, 1);
  ReceiptJob receipt(job, device);
  if (receipt.headDots() == 0 || !receipt.StartPage()) return false;
  const tallyjet_picture_options options = PictureOptions(receipt, job);
  const char* path = papplJobGetFilename(job);
  int result = TALLYJET_SUCCESS;
  if (!receipt.Send("Picture", [&](tallyjet_printer* printer) {
        return result = tallyjet_print_picture(printer, path, &options);
      })) {
    const bool refused = result == TALLYJET_ERR_FAILED || result == TALLYJET_ERR_INVALID_ARGUMENT;
    if (refused && !receipt.printerGone() && !papplJobIsCanceled(job)) {
      // The library refuses a picture before it sends any of it.
      papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_FORMAT_ERROR, PAPPL_JREASON_NONE);
      papplJobSetMessage(job, "The picture is broken, truncated or too large to print.");
    }
    return false;
  }
  papplJobSetImpressionsCompleted(job, 1);
  return receipt.EndPage() && receipt.Finish();
}

}  // namespace printer_app

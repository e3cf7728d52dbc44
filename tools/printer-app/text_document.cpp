#include "text_document.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "receipt_models.h"
#include "receipt_options.h"
#include "receipt_text.h"

namespace printer_app {
namespace {

constexpr size_t kBlockBytes = 16 * 1024;
constexpr int kFontACellHeight = 24;
// GS V 66 n feeds n dots past the cutter and cuts; GS V 1 cuts where the paper stands.
constexpr int kFeedAndCut = 66, kCutHere = 1;

// The library writes to the job's device; a status query's answer is read from it.
int WriteDevice(void* device, const char* data, int length) {
  const ssize_t written =
      papplDeviceWrite(static_cast<pappl_device_t*>(device), data, static_cast<size_t>(length));
  papplDeviceFlush(static_cast<pappl_device_t*>(device));
  return written == length ? length : -1;
}

int ReadDevice(void* device, char* buffer, int length, int) {
  const ssize_t count =
      papplDeviceRead(static_cast<pappl_device_t*>(device), buffer, static_cast<size_t>(length));
  return count < 0 ? -1 : static_cast<int>(count);
}

const tallyjet_transport kDeviceTransport = {WriteDevice, ReadDevice, nullptr};

struct PrinterCloser {
  void operator()(tallyjet_printer* printer) const { tallyjet_close(printer); }
};
using PrinterHandle = std::unique_ptr<tallyjet_printer, PrinterCloser>;

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

ReceiptOptions OptionsOf(pappl_job_t* job) {
  pappl_pr_options_t* options = papplJobCreatePrintOptions(job, 1, false);
  const ReceiptOptions read =
      ReadReceiptOptions(options->finishings, options->num_vendor, options->vendor);
  papplJobDeletePrintOptions(options);
  return read;
}

bool Failed(pappl_job_t* job, const char* step, int rc) {
  papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Text receipt failed while %s: %s.", step,
              tallyjet_result_name(rc));
  return false;
}

// Sends the file's lines; false once reading or printing fails.
bool SendText(pappl_job_t* job, FILE* file, ReceiptText* text) {
  std::vector<char> block(kBlockBytes);
  size_t count;
  while ((count = fread(block.data(), 1, block.size(), file)) > 0) {
    if (papplJobIsCanceled(job)) return true;
    const int rc = text->Add(block.data(), count);
    if (rc != TALLYJET_SUCCESS) return Failed(job, text->FailedStep().c_str(), rc);
  }
  if (ferror(file)) {
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot read the document: %s.", strerror(errno));
    return false;
  }
  const int rc = text->Finish();
  return rc == TALLYJET_SUCCESS || Failed(job, text->FailedStep().c_str(), rc);
}

int Cut(tallyjet_printer* printer, const ReceiptOptions& options) {
  if (options.cut == CutAt::kNever) return TALLYJET_SUCCESS;
  return options.feedBeforeCut > 0
             ? tallyjet_make_cut_n_lines(printer, kFeedAndCut, options.feedBeforeCut)
             : tallyjet_make_cut(printer, kCutHere);
}

}  // namespace

bool PrintTextDocument(pappl_job_t* job, pappl_device_t* device, void*) {
  std::unique_ptr<FILE, FileCloser> file(fopen(papplJobGetFilename(job), "rb"));
  if (file == nullptr) {
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot read the document: %s.", strerror(errno));
    return false;
  }
  tallyjet_printer* opened = nullptr;
  int rc = tallyjet_open_transport(&kDeviceTransport, device, &opened);
  if (rc != TALLYJET_SUCCESS) return Failed(job, "connecting", rc);
  PrinterHandle printer(opened);
  papplJobSetImpressions(job, 1);
  // ESC @: font A, no emphasis, left aligned, whatever an earlier client set.
  if ((rc = tallyjet_reset(printer.get())) != TALLYJET_SUCCESS) {
    return Failed(job, "initialising the printer", rc);
  }
  ReceiptTextOptions options;
  options.style.paperWidth = HeadDotsOf(papplPrinterGetDriverName(papplJobGetPrinter(job)));
  options.style.cellHeight = kFontACellHeight;
  ReceiptText text(printer.get(), options);
  if (!SendText(job, file.get(), &text)) return false;
  if (papplJobIsCanceled(job)) return true;
  if ((rc = Cut(printer.get(), OptionsOf(job))) != TALLYJET_SUCCESS) {
    return Failed(job, "cutting", rc);
  }
  papplJobSetImpressionsCompleted(job, 1);
  if (text.PictureLines() > 0) {
    papplLogJob(job, PAPPL_LOGLEVEL_INFO, "%u lines printed as pictures.",
                static_cast<unsigned>(text.PictureLines()));
  }
  return true;
}

}  // namespace printer_app

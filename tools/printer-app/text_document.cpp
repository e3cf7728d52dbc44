#include "text_document.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "receipt_job.h"
#include "receipt_text.h"

namespace printer_app {
namespace {

constexpr size_t kBlockBytes = 16 * 1024;
constexpr int kFontACellHeight = 24;

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

// Prints the file's lines on the printer: the library's result, the first failure logged with
// what was being done.
int SendText(pappl_job_t* job, FILE* file, tallyjet_printer* printer, int headDots) {
  ReceiptTextOptions options;
  options.style.paperWidth = headDots;
  options.style.cellHeight = kFontACellHeight;
  ReceiptText text(printer, options);
  std::vector<char> block(kBlockBytes);
  int rc = TALLYJET_SUCCESS;
  size_t count;
  while (rc == TALLYJET_SUCCESS && !papplJobIsCanceled(job) &&
         (count = fread(block.data(), 1, block.size(), file)) > 0) {
    rc = text.Add(block.data(), count);
  }
  if (rc == TALLYJET_SUCCESS && ferror(file)) {
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot read the document: %s.", strerror(errno));
    return TALLYJET_ERR_FAILED;
  }
  if (rc == TALLYJET_SUCCESS) rc = text.Finish();
  if (rc != TALLYJET_SUCCESS) {
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Text receipt failed while %s.",
                text.FailedStep().c_str());
  } else if (text.PictureLines() > 0) {
    papplLogJob(job, PAPPL_LOGLEVEL_INFO, "%u lines printed as pictures.",
                static_cast<unsigned>(text.PictureLines()));
  }
  return rc;
}

}  // namespace

bool PrintTextDocument(pappl_job_t* job, pappl_device_t* device, void*) {
  std::unique_ptr<FILE, FileCloser> file(fopen(papplJobGetFilename(job), "rb"));
  if (file == nullptr) {
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot read the document: %s.", strerror(errno));
    return false;
  }
  ReceiptJob receipt(job, device);
  if (receipt.headDots() == 0 || !receipt.StartPage()) return false;
  papplJobSetImpressions(job, 1);
  const bool sent = receipt.Send("Text", [&](tallyjet_printer* printer) {
    return SendText(job, file.get(), printer, receipt.headDots());
  });
  if (!sent || !receipt.EndPage() || !receipt.Finish()) return false;
  papplJobSetImpressionsCompleted(job, 1);
  return true;
}

}  // namespace printer_app

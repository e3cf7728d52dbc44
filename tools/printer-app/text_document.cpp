#include "text_document.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "receipt_job.h"
#include "text_stream.h"

namespace printer_app {
namespace {

constexpr size_t kBlockBytes = 16 * 1024;

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

// Prints the file's lines on the printer through the library's text path: its result, the
// first failure logged.
int SendText(pappl_job_t* job, FILE* file, tallyjet_printer* printer, int headDots) {
  int rc = tallyjet_set_paper_width(printer, headDots);
  TextStream text(printer);
  std::vector<char> block(kBlockBytes);
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
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Text receipt failed: %s.", tallyjet_result_name(rc));
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

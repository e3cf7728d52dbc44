#include "markup_document.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "receipt_job.h"

namespace printer_app {
namespace {

// A document larger than this is no receipt.
constexpr std::streamoff kMaxMarkup = 16 * 1024 * 1024;

// The document's text; false, logged, when it cannot be read or is too large.
bool ReadMarkup(pappl_job_t* job, std::string* markup) {
  std::ifstream file(papplJobGetFilename(job), std::ios::binary | std::ios::ate);
  const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
  if (size > kMaxMarkup) {
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "The receipt is larger than 16 MB.");
    return false;
  }
  markup->resize(size > 0 ? static_cast<size_t>(size) : 0);
  if (size < 0 || !file.seekg(0) || !file.read(&(*markup)[0], size)) {
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot read the document: %s.", strerror(errno));
    return false;
  }
  return true;
}

}  // namespace

bool PrintMarkupDocument(pappl_job_t* job, pappl_device_t* device, void*) {
  std::string markup;
  if (!ReadMarkup(job, &markup)) return false;
  ReceiptJob receipt(job, device);
  if (receipt.headDots() == 0 || !receipt.StartPage()) return false;
  papplJobSetImpressions(job, 1);
  const bool sent = receipt.Send("Receipt", [&](tallyjet_printer* printer) {
    int rc = tallyjet_set_paper_width(printer, receipt.headDots());
    if (rc == TALLYJET_SUCCESS) {
      rc = tallyjet_print_markup(printer, markup.data(), static_cast<int>(markup.size()));
    }
    if (rc == TALLYJET_ERR_INVALID_ARGUMENT) {
      papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "The receipt's markup cannot be read.");
    }
    return rc;
  });
  if (!sent || !receipt.Finish(/*cutByDocument=*/true)) return false;
  papplJobSetImpressionsCompleted(job, 1);
  return true;
}

}  // namespace printer_app

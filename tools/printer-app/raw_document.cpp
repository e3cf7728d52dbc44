#include "raw_document.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "receipt_job.h"

namespace printer_app {
namespace {

// Bytes per write: a USB transfer has a time limit.
constexpr size_t kBlockBytes = 4096;

// Closes the descriptor when the copy ends, on every path.
class OpenFile {
 public:
  explicit OpenFile(const char* path) : fd_(path != nullptr ? open(path, O_RDONLY) : -1) {}
  ~OpenFile() {
    if (fd_ >= 0) close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

ssize_t ReadBlock(int fd, char* block, size_t size) {
  ssize_t count;
  do {
    count = read(fd, block, size);
  } while (count < 0 && errno == EINTR);
  return count;
}

}  // namespace

// The printer is waited for like any other job's, and the job is completed once the printer
// confirmed the bytes printed.
bool PrintRawDocument(pappl_job_t* job, pappl_device_t* device, void*) {
  const OpenFile file(papplJobGetFilename(job));
  if (file.fd() < 0) {
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot read the document: %s.", strerror(errno));
    return false;
  }
  ReceiptJob receipt(job, device);
  if (receipt.failed() || !receipt.StartRaw()) return false;
  std::vector<char> block(kBlockBytes);
  size_t sent = 0;
  for (;;) {
    if (papplJobIsCanceled(job)) return true;
    const ssize_t count = ReadBlock(file.fd(), block.data(), block.size());
    if (count == 0) break;
    if (count < 0) {
      papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot read the document: %s.", strerror(errno));
      return false;
    }
    const bool written = receipt.Send("Raw data", [&](tallyjet_printer* printer) {
      return tallyjet_write(printer, block.data(), static_cast<int>(count));
    });
    if (!written) {
      papplLogJob(job, PAPPL_LOGLEVEL_ERROR,
                  "The printer took %lu bytes of the document, then no more.",
                  static_cast<unsigned long>(sent));
      return false;
    }
    sent += static_cast<size_t>(count);
  }
  papplLogJob(job, PAPPL_LOGLEVEL_INFO, "Sent %lu bytes as they are.",
              static_cast<unsigned long>(sent));
  return receipt.Confirm();
}

const char* RawFormatOf(const unsigned char*, size_t, void*) { return kRawFormat; }

}  // namespace printer_app

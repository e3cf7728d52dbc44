#include "raw_document.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace printer_app {
namespace {

constexpr size_t kBlockBytes = 64 * 1024;

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

ssize_t ReadBlock(int fd, unsigned char* block, size_t size) {
  ssize_t count;
  do {
    count = read(fd, block, size);
  } while (count < 0 && errno == EINTR);
  return count;
}

}  // namespace

bool PrintRawDocument(pappl_job_t* job, pappl_device_t* device, void*) {
  const OpenFile file(papplJobGetFilename(job));
  if (file.fd() < 0) {
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot read the document: %s.", strerror(errno));
    return false;
  }
  std::vector<unsigned char> block(kBlockBytes);
  size_t sent = 0;
  for (;;) {
    if (papplJobIsCanceled(job)) return true;
    const ssize_t count = ReadBlock(file.fd(), block.data(), block.size());
    if (count == 0) break;
    if (count < 0) {
      papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot read the document: %s.", strerror(errno));
      return false;
    }
    if (papplDeviceWrite(device, block.data(), static_cast<size_t>(count)) != count) {
      papplLogJob(job, PAPPL_LOGLEVEL_ERROR,
                  "The printer took %lu bytes of the document, then no more.",
                  static_cast<unsigned long>(sent));
      return false;
    }
    sent += static_cast<size_t>(count);
  }
  papplDeviceFlush(device);
  papplLogJob(job, PAPPL_LOGLEVEL_INFO, "Sent %lu bytes as they are.",
              static_cast<unsigned long>(sent));
  return true;
}

const char* RawFormatOf(const unsigned char*, size_t, void*) { return kRawFormat; }

}  // namespace printer_app

#include "quiet_decoding.h"

#include <sys/mman.h>
#include <unistd.h>

#include <QString>
#include <cstdio>
#include <string>

namespace {

std::mutex decoding;
QtMessageHandler outerHandler = nullptr;
thread_local bool quiet = false;
thread_local bool endedEarly = false;

// libjpeg's warnings for a file that stops before its picture does (Qt then fills the rest
// grey) or whose data is damaged.
constexpr const char* kJpegBroken[] = {"Premature end of JPEG file", "Corrupt JPEG data"};

// Drops the messages of the decoding thread, noting a picture that ended early; other threads'
// messages go on to the handler that was in place, so an application's own logging is not lost
// meanwhile.
void DropDecodingMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (quiet) {
    for (const char* broken : kJpegBroken) {
      if (text.startsWith(QLatin1String(broken))) endedEarly = true;
    }
    return;
  }
  if (outerHandler != nullptr) outerHandler(type, context, text);
}

bool FromLibpng(const std::string& line) { return line.compare(0, 7, "libpng ") == 0; }

// Writes all of text to descriptor fd, as far as it takes it.
void WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written <= 0) return;
    done += static_cast<size_t>(written);
  }
}

// The lines written to the memory file fd that did not come from libpng.
std::string OthersLines(int fd) {
  std::string held;
  char chunk[4096];
  ssize_t got;
  lseek(fd, 0, SEEK_SET);
  while ((got = read(fd, chunk, sizeof chunk)) > 0) held.append(chunk, static_cast<size_t>(got));
  std::string kept;
  for (size_t start = 0; start < held.size();) {
    size_t end = held.find('\n', start);
    end = end == std::string::npos ? held.size() : end + 1;
    const std::string line = held.substr(start, end - start);
    if (!FromLibpng(line)) kept += line;
    start = end;
  }
  return kept;
}

}  // namespace

// When descriptor 2 is closed or no memory file can be had, standard error is left as it is.
QuietDecoding::QuietDecoding() : turn_(decoding), savedError_(-1), heldError_(-1) {
  outerHandler = qInstallMessageHandler(DropDecodingMessages);
  quiet = true;
  endedEarly = false;
  fflush(stderr);
  const int saved = dup(STDERR_FILENO);
  if (saved < 0) return;
  const int held = memfd_create("tallyjet-stderr", MFD_CLOEXEC);
  if (held < 0 || dup2(held, STDERR_FILENO) < 0) {
    if (held >= 0) close(held);
    close(saved);
    return;
  }
  savedError_ = saved;
  heldError_ = held;
}

bool QuietDecoding::EndedEarly() const { return endedEarly; }

QuietDecoding::~QuietDecoding() {
  quiet = false;
  qInstallMessageHandler(outerHandler);
  if (savedError_ < 0) return;
  fflush(stderr);
  dup2(savedError_, STDERR_FILENO);
  close(savedError_);
  WriteAll(STDERR_FILENO, OthersLines(heldError_));
  close(heldError_);
}

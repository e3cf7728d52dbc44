#include "device_printer.h"

#include "port_scheme.h"
#include "receipt_options.h"

namespace printer_app {
namespace {

// Writes through PAPPL's buffer and flushes at once, so that a query reaches the printer before
// its answer is read. PAPPL reports a failed flush only in its log: the device's count of
// bytes written tells whether all of them went out.
int WriteToDevice(void* context, const char* data, int length) {
  const auto* link = static_cast<const DevicePrinter::Link*>(context);
  if (link->job != nullptr && papplJobIsCanceled(link->job)) return TALLYJET_ERR_FAILED;
  pappl_devmetrics_t before, after;
  papplDeviceGetMetrics(link->device, &before);
  if (papplDeviceWrite(link->device, data, static_cast<size_t>(length)) != length) {
    return TALLYJET_ERR_FAILED;
  }
  papplDeviceFlush(link->device);
  papplDeviceGetMetrics(link->device, &after);
  return after.write_bytes - before.write_bytes == static_cast<size_t>(length)
             ? length
             : TALLYJET_ERR_FAILED;
}

// PAPPL's devices read with their own bound (up to 10 s on the network and on USB) and cannot
// be asked whether input is waiting: the drop of stale input before a query (timeout 0) finds
// nothing, and a query waits as long as the device lets it.
int ReadFromDevice(void* context, char* buffer, int length, int timeoutMs) {
  if (timeoutMs == 0) return 0;
  const auto* link = static_cast<const DevicePrinter::Link*>(context);
  const ssize_t count = papplDeviceRead(link->device, buffer, static_cast<size_t>(length));
  return count < 0 ? TALLYJET_ERR_READ : static_cast<int>(count);
}

}  // namespace

DevicePrinter::DevicePrinter(pappl_printer_t* printer, pappl_device_t* device, pappl_job_t* job)
    : link_{device, job} {
  handle_ = PortPrinterOf(device, papplPrinterGetDeviceURI(printer));
  if (handle_ == nullptr) {
    const tallyjet_transport transport = {WriteToDevice, ReadFromDevice, /*close*/ nullptr};
    result_ = tallyjet_open_transport(&transport, &link_, &handle_);
    owned_ = result_ == TALLYJET_SUCCESS;
  }
  // A printer behind a slow link answers late: its page sets how long to wait.
  const int answerWaitMs = AnswerWaitOf(printer);
  if (handle_ != nullptr && answerWaitMs > 0) tallyjet_set_answer_timeout(handle_, answerWaitMs);
}

DevicePrinter::~DevicePrinter() {
  if (owned_) tallyjet_close(handle_);
}

}  // namespace printer_app

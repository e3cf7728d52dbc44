// Printer answers: the fuzz input is everything the printer says back (see ReplayTransport) to
// the status words, the raw status bytes, the identification, the free NV graphics memory and
// the fill level that paces a raster picture. Whatever it says, every query ends, a status
// word that could not be read says so, and a successful status byte is a byte.
#include <unistd.h>

#include <chrono>
#include <cstdint>

#include "connection.h"
#include "raster_pacing.h"
#include "replay_transport.h"
#include "usb_ids.h"

// The pauses that give a real printer time to answer only slow the replay down.
extern "C" int usleep(useconds_t) { return 0; }

namespace {

// A picture waits for room up to 10 s, asking again after a query without an answer. The
// replay answers at once, so each reading of this clock moves it 6 s on: a printer gone silent
// is given up after two queries instead of after 10 s of asking.
std::chrono::steady_clock::time_point SixSecondsPerReading() {
  static std::chrono::steady_clock::time_point now;
  now += std::chrono::seconds(6);
  return now;
}

// A failed reading must not leave a word that looks like an answer.
template <typename Read>
void ExpectWord(Read read, int notObtained) {
  int word;
  if (read(&word) != TALLYJET_SUCCESS && word != notObtained) __builtin_trap();
}

void AskEverything(ProtEscPos* encoder) {
  ExpectWord(GetPrinterStatus, TALLYJET_PRINTER_NOT_OBTAINED);
  ExpectWord(GetMediaStatus, TALLYJET_MEDIA_NOT_OBTAINED);
  ExpectWord([](int* word) { return GetDrawerStatus(1, word); }, TALLYJET_DRAWER_NOT_OBTAINED);
  int info[5];
  GetPrinterInfo(info);
  for (int n : {1, 2, 3, 4, 6}) {
    int status = -1;
    if (encoder->GetRealTimeStatus(n, &status) == TALLYJET_SUCCESS && (status & ~0xFF) != 0) {
      __builtin_trap();
    }
  }
  int bytes = 0;
  encoder->GetMemoryAvailabled(&bytes);
  encoder->GetBufferSize(&bytes);
  // 200 rows of 40 bytes: three bands, each waiting for room in the printer's buffer.
  static const unsigned char picture[200 * 40] = {};
  encoder->PrintRasterBitImage(0, 320, 200, picture);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  escpos::SetPacingClock(SixSecondsPerReading);
  auto* transport = new ReplayTransport(data + 1, size - 1);
  // The first byte chooses the printer: odd is the extended product, asked one more byte.
  if (data[0] & 1) transport->pid = kUsbExtendedProductId;
  comm_ = transport;
  prot_ = new ProtEscPos(transport);
  AskEverything(prot_);
  ClosePort();
  return 0;
}

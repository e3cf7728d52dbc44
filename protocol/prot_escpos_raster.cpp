// Pictures: raster bit images sent in bands paced by the printer's receive buffer (GS v 0),
// column bit images (ESC *), and the NV graphics kept in the printer under two key codes
// (GS 8 L, GS ( L).
#include <algorithm>
#include <chrono>
#include <cstring>

#include "comm_base.h"
#include "escpos_command.h"
#include "heap_buffer.h"
#include "prot_escpos.h"
#include "raster_pacing.h"

using namespace escpos;

namespace {

constexpr int kMaxBandRows = 83;
// The printer's receive buffer in bytes: no band is larger, and the fill level the printer
// reports is a percentage of it.
constexpr int kReceiveBuffer = 6000;
// How long a printer may report too little room for a band before the picture is given up: a
// printer out of paper would otherwise hold the caller forever.
constexpr std::chrono::seconds kRoomWait(10);

PacingClock pacingClock = nullptr;

std::chrono::steady_clock::time_point Now() {
  return pacingClock != nullptr ? pacingClock() : std::chrono::steady_clock::now();
}

// Free bytes in the receive buffer at this fill level; negative above 100 percent.
int FreeBytes(int level) { return kReceiveBuffer - level * kReceiveBuffer / 100; }

// Asks the printer's fill level until bandBytes fit. 1 when they do; -1 once kRoomWait has
// passed with too little room reported or no answer at all; a failed query's own negative
// result. A query that brings no answer in time is asked again: a busy printer's answer may come
// late, and the next query drops it before it asks.
int WaitForRoom(ProtEscPos* encoder, int bandBytes) {
  const auto start = Now();
  for (;;) {
    int level = 0;
    const int rc = encoder->GetBufferSize(&level);
    if (rc < 0) return rc;
    if (rc == 1 && bandBytes <= FreeBytes(level)) return TALLYJET_SUCCESS;
    if (Now() - start >= kRoomWait) return TALLYJET_ERR_FAILED;
  }
}

// Writes a command made of its fixed header and length bytes of caller data in one Write.
// -3 when the command's size does not fit an int, -6 when no buffer is to be had.
int SendWithData(CommBase* transport, std::initializer_list<char> header,
                 const unsigned char* data, int length) {
  int total;
  if (!AddSize(static_cast<int>(header.size()), length, &total)) {
    return TALLYJET_ERR_INVALID_ARGUMENT;
  }
  HeapBuffer command(static_cast<size_t>(total));
  if (!command.ok()) return TALLYJET_ERR_NO_MEMORY;
  memcpy(command.data(), header.begin(), header.size());
  if (length > 0) memcpy(command.data() + header.size(), data, static_cast<size_t>(length));
  return transport->Write(command.data(), total);
}

// Sends a raster bit image as GS v 0 bands. With pacedByFillLevel each band waits until the
// printer reports room for it; without, the transport's own flow control holds the writes back.
int SendRasterBands(ProtEscPos* encoder, CommBase* transport, int mode, int width, int height,
                    const unsigned char* data, bool pacedByFillLevel) {
  if (transport == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (!InRange(mode, 0, 3) || width < 0 || height < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int bytesPerRow = width / 8;  // a partial byte at the right edge is not part of a row
  if (bytesPerRow < 1 || height < 1) return 0;  // nothing to print
  int total;
  if (data == nullptr || bytesPerRow > kReceiveBuffer ||
      !MultiplySize(bytesPerRow, height, &total)) {
    return TALLYJET_ERR_INVALID_ARGUMENT;
  }
  // As many rows as the receive buffer holds, so that every band can find room.
  const int bandRows = std::min(kMaxBandRows, kReceiveBuffer / bytesPerRow);
  for (int done = 0; done < height;) {
    const int rows = std::min(bandRows, height - done);
    const int bandBytes = rows * bytesPerRow;
    int rc = pacedByFillLevel ? WaitForRoom(encoder, bandBytes) : TALLYJET_SUCCESS;
    if (rc != TALLYJET_SUCCESS) return rc;
    const unsigned char* band = data + static_cast<size_t>(done) * static_cast<size_t>(bytesPerRow);
    // GS v 0 m xL xH yL yH: print raster bit image
    rc = SendWithData(transport, {GS, 'v', '0', Low(mode), Low(bytesPerRow), High(bytesPerRow),
                                  Low(rows), High(rows)},
                      band, bandBytes);
    // A lost band would leave a gap and shift the rest of the picture: stop there.
    if (rc != TALLYJET_SUCCESS) return rc;
    done += rows;
  }
  return TALLYJET_SUCCESS;
}

}  // namespace

void escpos::SetPacingClock(PacingClock clock) { pacingClock = clock; }

int ProtEscPos::PrintRasterBitImage(int mode, int width, int height, const unsigned char* data) {
  return SendRasterBands(this, transport_, mode, width, height, data, true);
}

int ProtEscPos::PrintRasterBands(int mode, int width, int height, const unsigned char* data) {
  return SendRasterBands(this, transport_, mode, width, height, data, false);
}

int ProtEscPos::SetBitImageMode(int mode, const unsigned char* data, int length) {
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (mode == 0 || mode == 32) return TALLYJET_ERR_NOT_SUPPORTED;  // single density
  const int columns = mode == 33 ? length / 3 : length;  // 33: three bytes per 24-dot column
  const bool accepted = OneOf(mode, {1, 33}) && length >= 0 && (mode == 1 || length % 3 == 0) &&
                        columns <= kMaxLowHigh && (data != nullptr || length == 0);
  if (!accepted) return TALLYJET_ERR_INVALID_ARGUMENT;
  // ESC * m nL nH d1...dk: select bit-image mode
  return SendWithData(transport_, {ESC, '*', Low(mode), Low(columns), High(columns)}, data,
                      length);
}

int ProtEscPos::SaveGraphic(int width, int height, const unsigned char* data, int kc1, int kc2) {
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  const int bytesPerRow = width / 8 + (width % 8 != 0);
  int dataLength = 0;
  const bool accepted = InRange(width, 0, kMaxLowHigh) && InRange(height, 0, kMaxLowHigh) &&
                        MultiplySize(bytesPerRow, height, &dataLength) &&
                        (data != nullptr || dataLength == 0);
  if (!accepted) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int p = dataLength + 11;  // the bytes after p1 p2 p3 p4: from m up to the data's end
  // GS 8 L p1 p2 p3 p4 m fn a kc1 kc2 b xL xH yL yH c d1...dk: define NV graphics data, fn 67
  // (raster format a 48, one colour b 1, colour c 49)
  return SendWithData(transport_,
                      {GS, '8', 'L', Low(p), High(p), Low(p >> 16), High(p >> 16), '0', 'C', '0',
                       Low(kc1), Low(kc2), 0x01, Low(width), High(width), Low(height),
                       High(height), '1'},
                      data, dataLength);
}

int ProtEscPos::PrintGraphic(int kc1, int kc2) {
  // GS ( L pL pH m fn kc1 kc2 x y: print NV graphics data, fn 69, at scale 1 x 1
  return Send(transport_, true, {GS, '(', 'L', 0x06, 0x00, '0', 'E', Low(kc1), Low(kc2), 0x01,
                                 0x01});
}

int ProtEscPos::CleanGraphic(int kc1, int kc2) {
  // GS ( L pL pH m fn kc1 kc2: delete the NV graphic of these key codes, fn 66
  return Send(transport_, true, {GS, '(', 'L', 0x04, 0x00, '0', 'B', Low(kc1), Low(kc2)});
}

int ProtEscPos::CleanAllGraphics() {
  // GS ( L pL pH m fn d1 d2 d3: delete all NV graphics, fn 65, "CLR"
  return Send(transport_, true, {GS, '(', 'L', 0x05, 0x00, '0', 'A', 'C', 'L', 'R'});
}

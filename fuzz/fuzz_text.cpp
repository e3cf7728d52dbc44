// Text conversion: any bytes through the code page 850 conversion, into a second buffer and in
// place (the two must agree, and the output is never longer than the input), and through
// SendData, which must hand the transport exactly the converted bytes.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "connection.h"
#include "cp850.h"
#include "replay_transport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto* in = reinterpret_cast<const char*>(data);
  const int length = static_cast<int>(size);
  std::vector<char> out(size);
  std::vector<char> inPlace(in, in + size);
  const int written = cp850::FromUtf8(in, length, out.data());
  if (written < 0 || written > length) __builtin_trap();
  if (cp850::FromUtf8(inPlace.data(), length, inPlace.data()) != written ||
      !std::equal(out.begin(), out.begin() + written, inPlace.begin())) {
    __builtin_trap();
  }
  if (parse850(in, length, out.data()) != TALLYJET_SUCCESS) __builtin_trap();

  auto* transport = new ReplayTransport(nullptr, 0);
  comm_ = transport;
  prot_ = new ProtEscPos(transport);
  if (SendData(in, length) != TALLYJET_SUCCESS || transport->lastWrite != written) __builtin_trap();
  ClosePort();
  return 0;
}

// Reading the little-endian counts of ESC/POS commands (nL nH, p1 p2 p3 p4).
#ifndef VPRINTER_WIRE_H
#define VPRINTER_WIRE_H

#include <cstddef>
#include <string>

namespace vprinter {

// The count bytes at p, lowest first; count is at most 4.
inline size_t LittleEndian(const unsigned char* p, size_t count) {
  size_t value = 0;
  for (size_t i = count; i > 0; --i) value = (value << 8) | p[i - 1];
  return value;
}

// The same from a command's data, at offset; 0 when the data are too short.
inline size_t LittleEndian(const std::string& data, size_t offset, size_t count) {
  if (data.size() < offset + count) return 0;
  return LittleEndian(reinterpret_cast<const unsigned char*>(data.data()) + offset, count);
}

// Byte i of a command's data as 0 to 255; -1 when the data are too short.
inline int ByteAt(const std::string& data, size_t i) {
  return i < data.size() ? static_cast<unsigned char>(data[i]) : -1;
}

}  // namespace vprinter

#endif  // VPRINTER_WIRE_H

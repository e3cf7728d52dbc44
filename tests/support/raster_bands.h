// The raster data of the bands a printer received from the picture entry points, which send
// a margin, then each band behind any number of fill-level queries.
#ifndef TALLYJET_TESTS_RASTER_BANDS_H
#define TALLYJET_TESTS_RASTER_BANDS_H

#include <string>

inline const std::string kFillQuery = "\x10\x04\x0B";  // DLE EOT 11: the fill level

// The raster data of the bands in what the printer received, with the fill-level queries in
// front of each band taken out; empty when the bytes are not margin, queries and bands.
inline std::string BandData(const std::string& received) {
  const std::string margin("\x1D\x4C\x00\x00", 4);
  if (received.compare(0, margin.size(), margin) != 0) return "";
  std::string data;
  size_t at = margin.size();
  while (at < received.size()) {
    while (received.compare(at, kFillQuery.size(), kFillQuery) == 0) at += kFillQuery.size();
    if (received.compare(at, 3, "\x1D\x76\x30") != 0 || at + 8 > received.size()) return "";
    const size_t bytesPerRow = static_cast<unsigned char>(received[at + 4]) +
                               256u * static_cast<unsigned char>(received[at + 5]);
    const size_t rows = static_cast<unsigned char>(received[at + 6]) +
                        256u * static_cast<unsigned char>(received[at + 7]);
    data += received.substr(at + 8, bytesPerRow * rows);
    at += 8 + bytesPerRow * rows;
  }
  return data;
}

#endif  // TALLYJET_TESTS_RASTER_BANDS_H

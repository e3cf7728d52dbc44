// The ESC/POS control bytes that introduce commands or act on their own.
#ifndef VPRINTER_CONTROL_BYTES_H
#define VPRINTER_CONTROL_BYTES_H

namespace vprinter {

constexpr unsigned char NUL = 0x00;
constexpr unsigned char EOT = 0x04;
constexpr unsigned char ENQ = 0x05;
constexpr unsigned char HT = 0x09;
constexpr unsigned char LF = 0x0A;
constexpr unsigned char FF = 0x0C;
constexpr unsigned char CR = 0x0D;
constexpr unsigned char DLE = 0x10;
constexpr unsigned char DC4 = 0x14;
constexpr unsigned char CAN = 0x18;
constexpr unsigned char ESC = 0x1B;
constexpr unsigned char FS = 0x1C;
constexpr unsigned char GS = 0x1D;

}  // namespace vprinter

#endif  // VPRINTER_CONTROL_BYTES_H

// The hex dump that applications may call to see the bytes of a command.
#include <cstdio>

#include "tallyjet.h"

// Prints "\t [ " then "%02X " for each byte, then " ]\n". The bytes are formatted straight to
// standard output, so a dump of any length needs no buffer of its own.
void DumpConsole(int length, unsigned char* data) {
  fputs("\t [ ", stdout);
  for (int i = 0; i < length; ++i) printf("%02X ", data[i]);
  fputs(" ]\n", stdout);
}

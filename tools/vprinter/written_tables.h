// The code tables that glibc's iconv lacks, written out byte by byte.
#ifndef VPRINTER_WRITTEN_TABLES_H
#define VPRINTER_WRITTEN_TABLES_H

namespace vprinter {

// ESC t numbers of the tables written out here.
constexpr int kPc853 = 12;
constexpr int kThai42 = 20;
constexpr int kPc720 = 32;

// The UTF-8 character that byte 80 to FF stands for in table n; null where the table holds
// nothing, for bytes below 80 and for the tables iconv reads.
const char* WrittenCharacter(int table, unsigned char byte);

}  // namespace vprinter

#endif  // VPRINTER_WRITTEN_TABLES_H

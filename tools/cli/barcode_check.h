// Barcode data checked with zint before anything is sent: what the printer would refuse or
// print wrongly (a wrong check digit, a character the symbology lacks, a wrong length) is
// refused here, and a check digit that is left out is added.
#ifndef TALLYJET_CLI_BARCODE_CHECK_H
#define TALLYJET_CLI_BARCODE_CHECK_H

#include <string>

// type is the barcode subcommand's --type (upca, upce, ean13, ean8, code39, itf, codabar,
// code93, code128). True with *data set to what to send; false with *why set.
bool CheckBarcode(const std::string& type, const std::string& given, std::string* data,
                  std::string* why);

#endif  // TALLYJET_CLI_BARCODE_CHECK_H

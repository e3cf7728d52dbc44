// One receipt through the entry points on an open port (or a printer handle's twins), to a
// printer whose cover is open: the text and a partial cut arrive, and the status query reports
// the open cover.
#ifndef TALLYJET_TESTS_RECEIPT_ROUND_TRIP_H
#define TALLYJET_TESTS_RECEIPT_ROUND_TRIP_H

#include <gtest/gtest.h>

#include <string>

#include "tallyjet.h"
#include "virtual_printer.h"

inline void ExpectReceiptRoundTrip(vprinter::VirtualPrinter* printer, const std::string& text,
                                   tallyjet_printer* handle = nullptr) {
  vprinter::PrinterState state;
  state.coverOpen = true;
  printer->SetState(state);
  EXPECT_EQ(tallyjet_send_data(handle, text.data(), static_cast<int>(text.size())),
            TALLYJET_SUCCESS);
  EXPECT_EQ(tallyjet_make_cut(handle, 1), TALLYJET_SUCCESS);
  int status = 0;
  EXPECT_EQ(tallyjet_get_printer_status(handle, &status), TALLYJET_SUCCESS);
  EXPECT_EQ(status & TALLYJET_PRINTER_COVER_OPEN, TALLYJET_PRINTER_COVER_OPEN);
  const std::string printed = text + "\x1D\x56\x01";  // GS V 1: partial cut
  EXPECT_TRUE(printer->WaitForReceived(printed.size(), 5000));
  EXPECT_NE(printer->Received().find(printed), std::string::npos);
}

#endif  // TALLYJET_TESTS_RECEIPT_ROUND_TRIP_H

// The PAPPL drivers of the receipt printer models.
#ifndef TALLYJET_PRINTER_APP_RECEIPT_DRIVER_H
#define TALLYJET_PRINTER_APP_RECEIPT_DRIVER_H

#include <pappl/pappl.h>

#include "receipt_models.h"

namespace printer_app {

extern pappl_pr_driver_t kReceiptDrivers[];
extern const int kReceiptDriverCount;

// PAPPL's driver callback: fills the driver data and attributes of a printer.
bool FillDriverData(pappl_system_t* system, const char* driverName, const char* deviceUri,
                    const char* deviceId, pappl_pr_driver_data_t* data, ipp_t** attributes,
                    void* context);

// PAPPL's auto-add callback: the 80 mm driver for devices of our scheme, none for others.
const char* ChooseDriver(const char* deviceInfo, const char* deviceUri, const char* deviceId,
                         void* context);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_RECEIPT_DRIVER_H

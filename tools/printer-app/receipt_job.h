// PAPPL's raster job callbacks for the receipt printers. A job's state lives in one struct from
// StartJob to EndJob; every command goes through the library on the job's device.
#ifndef TALLYJET_PRINTER_APP_RECEIPT_JOB_H
#define TALLYJET_PRINTER_APP_RECEIPT_JOB_H

#include <pappl/pappl.h>

namespace printer_app {

bool StartJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);
// Waits, before each page, while the printer reports no paper, an open cover or off-line.
bool StartPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device,
               unsigned page);
bool WriteLine(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned y,
               const unsigned char* line);
bool EndPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device,
             unsigned page);
bool EndJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_RECEIPT_JOB_H

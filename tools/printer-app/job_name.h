// Job names as a shop reads them in the job lists: clients such as ipptool name a job after
// the document's full path ("/home/till/spool/receipt-0042.png"), which says little and shows
// the sender's directories to everyone who lists the jobs.
#ifndef TALLYJET_PRINTER_APP_JOB_NAME_H
#define TALLYJET_PRINTER_APP_JOB_NAME_H

#include <pappl/pappl.h>

namespace printer_app {

// Replaces a job-name that is a path by its last part ("receipt-0042.png"); a name without a
// '/' or ending in one stays as it is.
void ShortenJobName(ipp_t* request);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_JOB_NAME_H

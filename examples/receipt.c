/* Prints a sample receipt. Usage: receipt PORT [BAUD]
 *   PORT  "USB", a serial device such as /dev/ttyUSB0 (give BAUD), or a device node such as
 *         /dev/usb/lp0 (no BAUD). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tallyjet.h"

static int check(const char* what, int rc)
{
    if (rc < 0) fprintf(stderr, "receipt: %s: %s (%d)\n", what, tallyjet_result_name(rc), rc);
    return rc;
}

static int print_text(const char* text)
{
    return check("SendData", SendData(text, (int)strlen(text)));
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: receipt PORT [BAUD]\n");
        return 2;
    }
    const int baud = argc > 2 ? atoi(argv[2]) : 0;
    check("SetProtocol", SetProtocol(TALLYJET_PROTOCOL_ESCPOS));
    if (check("OpenPort", OpenPort(argv[1], baud, 'N', 8, 1)) != TALLYJET_SUCCESS) {
        ClosePort();
        return 1;
    }
    check("Reset", Reset());
    print_text("Caf\xc3\xa9 TallyJet\n");
    check("ClosePort", ClosePort());
    return 0;
}

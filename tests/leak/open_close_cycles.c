/* Opens and closes a device node many times through the public interface, process-wide and as
 * printer handles, so that valgrind can show whether a connection leaks. */
#include <stdio.h>

#include "tallyjet.h"

int main(void)
{
    if (SetProtocol(TALLYJET_PROTOCOL_ESCPOS) != TALLYJET_SUCCESS) return 1;
    for (int i = 0; i < 1000; ++i) {
        if (OpenPort("/dev/null", 0, 'N', 8, 1) != TALLYJET_SUCCESS) return 1;
        if (i % 2 == 0 && OpenPort("/dev/null", 0, 'N', 8, 1) != TALLYJET_SUCCESS) return 1;
        if (Reset() != TALLYJET_SUCCESS) return 1;
        if (ClosePort() != TALLYJET_SUCCESS) return 1;
        /* A failed open leaves a transport that ClosePort must still release, and that the
         * next OpenPort asking for another kind releases when it replaces it. */
        if (OpenPort("/nonexistent/tty", 9600, 'N', 8, 1) != TALLYJET_ERR_PORT_NOT_OPEN) return 1;
        if (OpenPort("/nonexistent/lp0", 0, 'N', 8, 1) != TALLYJET_ERR_PORT_NOT_OPEN) return 1;
        if (ClosePort() != TALLYJET_ERR_PORT_NOT_OPEN) return 1;
        /* A printer handle, and one that failed to open. */
        tallyjet_printer* printer = NULL;
        if (tallyjet_open("/dev/null", 0, &printer) != TALLYJET_SUCCESS) return 1;
        if (tallyjet_set_char_code_table(printer, TALLYJET_CODEPAGE_437) != TALLYJET_SUCCESS) return 1;
        if (tallyjet_close(printer) != TALLYJET_SUCCESS) return 1;
        if (tallyjet_open("/nonexistent/tty", 9600, &printer) != TALLYJET_ERR_PORT_NOT_OPEN) return 1;
        if (printer != NULL) return 1;
    }
    puts("1000 cycles");
    return 0;
}

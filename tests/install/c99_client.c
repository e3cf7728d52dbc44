/* An application in plain C99 that uses only the installed header and library. */
#include <stdio.h>
#include <string.h>

#include <tallyjet.h>

int main(void)
{
    int status = 0;
    if (GetPrinterStatus(&status) != TALLYJET_ERR_PORT_NOT_OPEN) return 1;
    if (status != TALLYJET_PRINTER_NOT_OBTAINED) return 1;
    if (SetProtocol(TALLYJET_PROTOCOL_ESCPOS) != TALLYJET_SUCCESS) return 1;
    if (OpenPort("/dev/null", 0, 'N', 8, 1) != TALLYJET_SUCCESS) return 1;
    const char text[] = "Caf\xc3\xa9\n";
    if (SendData(text, (int)strlen(text)) != TALLYJET_SUCCESS) return 1;
    if (ClosePort() != TALLYJET_SUCCESS) return 1;
    printf("installed library works: %s\n", tallyjet_result_name(TALLYJET_SUCCESS));
    return 0;
}

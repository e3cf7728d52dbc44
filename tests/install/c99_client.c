/* An application in plain C99 that uses only the installed header and library. */
#include <stdio.h>
#include <string.h>

#include <tallyjet.h>

/* An application's own link that takes every byte and never answers. */
static int sink_write(void* context, const char* data, int length)
{
    (void)data;
    *(int*)context += length;
    return length;
}

static int silent_read(void* context, char* buffer, int length, int timeout_ms)
{
    (void)context; (void)buffer; (void)length; (void)timeout_ms;
    return 0;
}

/* Two printers at once: a device node and the application's link, each with its own table. */
static int use_handles(void)
{
    tallyjet_printer* node = NULL;
    tallyjet_printer* link = NULL;
    int written = 0;
    const tallyjet_transport sink = {sink_write, silent_read, NULL};
    tallyjet_picture_options options = {0, TALLYJET_DITHER_DIFFUSION, TALLYJET_ALIGN_CENTER,
                                        TALLYJET_PAPER_WIDTH_58MM, TALLYJET_PACING_AUTO};
    if (tallyjet_open("/dev/null", 0, &node) != TALLYJET_SUCCESS) return 0;
    if (tallyjet_open_transport(&sink, &written, &link) != TALLYJET_SUCCESS) return 0;
    if (tallyjet_set_char_code_table(link, TALLYJET_CODEPAGE_437) != TALLYJET_SUCCESS) return 0;
    if (tallyjet_send_data(node, "ok\n", 3) != TALLYJET_SUCCESS) return 0;
    if (tallyjet_send_data(link, "ok\n", 3) != TALLYJET_SUCCESS) return 0;
    if (tallyjet_print_picture(link, "/nonexistent.png", &options) != TALLYJET_ERR_FAILED) return 0;
    if (tallyjet_close(node) != TALLYJET_SUCCESS || tallyjet_close(link) != TALLYJET_SUCCESS) return 0;
    return written == 3 + 3; /* ESC t 0, then the text */
}

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
    if (!use_handles()) return 1;
    printf("installed library works: %s\n", tallyjet_result_name(TALLYJET_SUCCESS));
    return 0;
}

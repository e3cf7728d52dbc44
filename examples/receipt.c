/* Prints a sample receipt: a logo, a styled header, accented lines, an item table with totals,
 * two barcodes and a QR code, then cuts the paper and opens the cash drawer.
 *
 * Usage: receipt [--logo FILE] PORT [BAUD]
 *   PORT  "USB" for a direct USB printer, a serial device such as /dev/ttyUSB0 (give BAUD:
 *         9600, 19200 or 115200), a printer device node such as /dev/usb/lp0 (no BAUD), or a
 *         network printer such as socket://192.168.1.50 (port 9100 unless given; no BAUD). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tallyjet.h"

#ifndef RECEIPT_LOGO
#define RECEIPT_LOGO "logo.png"
#endif

/* Characters in a line of font A on 80 mm paper (576 dots, 12 dots a character), and the
 * width of the price column at its right end. */
#define LINE_COLUMNS 48
#define PRICE_COLUMNS 10

/* The NV graphic key under which the logo is stored in the printer. */
#define LOGO_KEY1 'T'
#define LOGO_KEY2 'J'

struct item {
    const char* name; /* UTF-8 */
    int quantity;
    int cents;
};

static const struct item items[] = {
    {"Caf\xc3\xa9 cr\xc3\xa8me", 2, 320},
    {"Cr\xc3\xa8me br\xc3\xbbl\xc3\xa9" "e", 1, 650},
    {"Jalape\xc3\xb1o bagel", 1, 475},
    {"Th\xc3\xa9 \xc3\xa0 la menthe", 3, 280},
};

static int failed;

static int check(const char* what, int rc)
{
    if (rc < 0) {
        fprintf(stderr, "receipt: %s: %s (%d)\n", what, tallyjet_result_name(rc), rc);
        failed = 1;
    }
    return rc;
}

static void text(const char* utf8)
{
    check("SendData", SendData(utf8, (int)strlen(utf8)));
}

/* The number of characters in UTF-8 text: every byte but the continuation bytes. */
static int utf8_length(const char* utf8)
{
    int n = 0;
    for (; *utf8; ++utf8) n += ((unsigned char)*utf8 & 0xC0) != 0x80;
    return n;
}

/* A label and an amount, the amount right-aligned in the price column of a full line. */
static void line(const char* label, int cents)
{
    char buffer[128];
    const int pad = LINE_COLUMNS - PRICE_COLUMNS - utf8_length(label);
    snprintf(buffer, sizeof buffer, "%s%*s%*d.%02d\n", label, pad > 0 ? pad : 0, "",
             PRICE_COLUMNS - 3, cents / 100, cents % 100);
    text(buffer);
}

/* A rule across the line. */
static void rule(void)
{
    char buffer[LINE_COLUMNS + 2];
    memset(buffer, '-', LINE_COLUMNS);
    buffer[LINE_COLUMNS] = '\n';
    buffer[LINE_COLUMNS + 1] = '\0';
    text(buffer);
}

/* Asks the printer how it is; answers 0 when it cannot print a receipt now. */
static int printer_ready(void)
{
    int printer = 0, media = 0, drawer = 0;
    check("GetPrinterStatus", GetPrinterStatus(&printer));
    check("GetMediaStatus", GetMediaStatus(&media));
    check("GetDrawerStatus", GetDrawerStatus(1, &drawer));
    printf("printer status 0x%03X (%s), media status 0x%03X (%s), drawer %s\n", printer,
           printer & TALLYJET_PRINTER_ONLINE ? "on-line" : "off-line", media,
           media & TALLYJET_MEDIA_PAPER_END ? "paper out"
           : media & TALLYJET_MEDIA_PAPER_NEAR_END ? "paper near end"
           : media & TALLYJET_MEDIA_PAPER_PRESENT ? "paper present" : "unknown",
           drawer == TALLYJET_DRAWER_PIN3_HIGH ? "pin 3 high" : "pin 3 low");
    if (media & (TALLYJET_MEDIA_PAPER_END | TALLYJET_MEDIA_NOT_OBTAINED)) {
        fprintf(stderr, "receipt: the printer %s; nothing printed\n",
                media & TALLYJET_MEDIA_PAPER_END ? "is out of paper" : "does not answer");
        return 0;
    }
    if (printer & TALLYJET_PRINTER_COVER_OPEN) {
        fprintf(stderr, "receipt: the printer's cover is open; nothing printed\n");
        return 0;
    }
    return 1;
}

static void header(const char* logo)
{
    check("SaveGraphic", SaveGraphic(logo, LOGO_KEY1, LOGO_KEY2));
    check("SetJustification", SetJustification(1));
    check("PrintBmpImage", PrintBmpImage(logo, 1.0f, 1.0f, 0, 0, 0));
    check("SetTextProperties", SetTextProperties(2, 0, 0, 1));
    text("CAF\xc3\x89 DU MARCH\xc3\x89\n");
    check("SetTextProperties", SetTextProperties(0, 0, 0, 0));
    text("12 rue de la Gare, Lyon\n");
    check("SetItalicEnable", SetItalicEnable());
    text("Ouvert tous les jours\n");
    check("SetItalicDisable", SetItalicDisable());
    check("SetJustification", SetJustification(0));
    check("PaperFeed", PaperFeed(24));
}

static int items_table(void)
{
    int total = 0;
    check("SetLineSpacing", SetLineSpacing(36));
    for (size_t i = 0; i < sizeof items / sizeof items[0]; ++i) {
        char label[64];
        snprintf(label, sizeof label, "%d x %s", items[i].quantity, items[i].name);
        line(label, items[i].quantity * items[i].cents);
        total += items[i].quantity * items[i].cents;
    }
    check("SetDefaultLineSpacing", SetDefaultLineSpacing());
    rule();
    return total;
}

static void totals(int total)
{
    const int vat = total * 10 / 110;
    line("dont TVA 10 %", vat);
    check("SetBoldEnable", SetBoldEnable(1));
    line("TOTAL EUR", total);
    check("SetBoldDisable", SetBoldDisable());
    check("GetPartialLineFeed", GetPartialLineFeed(1));
}

static void codes(void)
{
    check("SetJustification", SetJustification(1));
    check("PrintBarCode EAN-13", PrintBarCode(67, 80, 1, 0, 2, 0, "401234567890"));
    check("PaperFeed", PaperFeed(24));
    check("PrintBarCode CODE128", PrintBarCode(73, 60, 0, 0, 2, 0, "{BTJ-2026-0042"));
    check("PaperFeed", PaperFeed(24));
    char url[] = "https://tallyjet.example/r/2026-0042";
    check("SetQrCodeModel", SetQrCodeModel(2));
    check("SetQrCodeResolution", SetQrCodeResolution(6));
    check("SetQrCodeErrorCorretion", SetQrCodeErrorCorretion(1));
    check("StoreQrCodeData", StoreQrCodeData(url, (int)strlen(url)));
    check("MakeQrCode", MakeQrCode());
    check("PaperFeed", PaperFeed(24));
    text("Merci de votre visite !\n");
    check("PrintGraphic", PrintGraphic(LOGO_KEY1, LOGO_KEY2));
    check("SetJustification", SetJustification(0));
}

int main(int argc, char** argv)
{
    const char* logo = RECEIPT_LOGO;
    int arg = 1;
    if (argc > 2 && strcmp(argv[1], "--logo") == 0) {
        logo = argv[2];
        arg = 3;
    }
    if (arg >= argc) {
        fprintf(stderr, "usage: receipt [--logo FILE] PORT [BAUD]\n");
        return 2;
    }
    const int baud = arg + 1 < argc ? atoi(argv[arg + 1]) : 0;

    check("SetProtocol", SetProtocol(TALLYJET_PROTOCOL_ESCPOS));
    if (check("OpenPort", OpenPort(argv[arg], baud, 'N', 8, 1)) != TALLYJET_SUCCESS) {
        ClosePort();
        return 1;
    }
    if (!printer_ready()) {
        ClosePort();
        return 3;
    }
    check("Reset", Reset());
    check("SetCharCodeTable", SetCharCodeTable(TALLYJET_CODEPAGE_850));
    header(logo);
    totals(items_table());
    codes();
    check("MakeCutnLines", MakeCutnLines(66, 48));
    check("GeneratePulse", GeneratePulse(0, 25, 250));
    check("ClosePort", ClosePort());
    return failed;
}

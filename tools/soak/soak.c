/* Prints receipts through the public interface, each in a port session of its own as a till
 * prints them, and checks that the process keeps its descriptors and its memory: those after
 * the last receipt must equal those after receipt 100 (resident memory within RSS_SLACK_KB).
 * One receipt is first printed into a plain file, which gives the bytes a receipt takes, so
 * that the bytes the printer should have received can be reported.
 *
 * Usage: soak PORT PICTURE COUNT SCRATCH_FILE
 *   Prints one line of figures; exits 0 when descriptors and memory held and every call
 *   succeeded, 1 otherwise, 2 on a usage error. */
#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "tallyjet.h"

/* Receipts printed before the baseline is taken: time for the first allocations and
 * caches (the picture decoders, the C library's pools) to settle. */
#define BASELINE_RECEIPT 100
/* Resident memory moves by a few pages as the allocator reuses its pools; a leak of even a
 * few hundred bytes per receipt grows past this over 1900 receipts. */
#define RSS_SLACK_KB 256

static int failures;

static void check(const char* what, int rc)
{
    if (rc != TALLYJET_SUCCESS && ++failures <= 10)
        fprintf(stderr, "soak: %s: %s (%d)\n", what, tallyjet_result_name(rc), rc);
}

static void text(const char* bytes)
{
    check("SendData", SendData(bytes, (int)strlen(bytes)));
}

/* Text, a barcode, a QR code and a small picture, then a cut. Every receipt has the same
 * length: the number is written with five digits. */
static void receipt(const char* port, const char* picture, int number)
{
    char line[96];
    check("OpenPort", OpenPort(port, 0, 'N', 8, 1));
    check("SaveGraphic", SaveGraphic(picture, 'S', 'K'));
    check("PrintGraphic", PrintGraphic('S', 'K'));
    snprintf(line, sizeof line, "Re\xc3\xa7u %05d\n1 x Caf\xc3\xa9 cr\xc3\xa8me        3.20\n",
             number);
    text(line);
    check("PrintBarCode", PrintBarCode(73, 60, 0, 0, 2, 0, "{BTJ-SOAK"));
    snprintf(line, sizeof line, "https://tallyjet.example/r/%05d", number);
    check("SetQrCodeModel", SetQrCodeModel(2));
    check("SetQrCodeResolution", SetQrCodeResolution(4));
    check("SetQrCodeErrorCorretion", SetQrCodeErrorCorretion(1));
    check("StoreQrCodeData", StoreQrCodeData(line, (int)strlen(line)));
    check("MakeQrCode", MakeQrCode());
    check("MakeCutnLines", MakeCutnLines(66, 48));
    check("ClosePort", ClosePort());
}

static long resident_kb(void)
{
    char line[128];
    long kb = -1;
    FILE* status = fopen("/proc/self/status", "r");
    if (status == NULL) return -1;
    while (fgets(line, sizeof line, status) != NULL)
        if (sscanf(line, "VmRSS: %ld", &kb) == 1) break;
    fclose(status);
    return kb;
}

static int open_descriptors(void)
{
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    if (dir == NULL) return -1;
    for (struct dirent* entry; (entry = readdir(dir)) != NULL;)
        count += entry->d_name[0] != '.';
    closedir(dir);
    return count - 1; /* the directory's own descriptor */
}

/* The bytes one receipt takes: it is printed into path, a plain file. */
static long receipt_bytes(const char* path, const char* picture)
{
    struct stat info;
    FILE* file = fopen(path, "w");
    if (file == NULL) return -1;
    fclose(file);
    receipt(path, picture, 0);
    return stat(path, &info) == 0 ? (long)info.st_size : -1;
}

int main(int argc, char** argv)
{
    if (argc != 5 || atoi(argv[3]) <= BASELINE_RECEIPT) {
        fprintf(stderr, "usage: soak PORT PICTURE COUNT SCRATCH_FILE (COUNT above %d)\n",
                BASELINE_RECEIPT);
        return 2;
    }
    const char* port = argv[1];
    const char* picture = argv[2];
    const int count = atoi(argv[3]);
    check("SetProtocol", SetProtocol(TALLYJET_PROTOCOL_ESCPOS));
    const long bytes = receipt_bytes(argv[4], picture);
    if (bytes <= 0) {
        fprintf(stderr, "soak: cannot print a receipt into %s\n", argv[4]);
        return 1;
    }
    int fds = 0;
    long rss = 0;
    for (int number = 1; number <= count; ++number) {
        receipt(port, picture, number);
        if (number == BASELINE_RECEIPT) {
            fds = open_descriptors();
            rss = resident_kb();
        }
    }
    const int fdsEnd = open_descriptors();
    const long rssEnd = resident_kb();
    printf("soak: %d receipts of %ld bytes, %ld bytes in all; descriptors %d after receipt %d, "
           "%d at the end; resident memory %ld kB after receipt %d, %ld kB at the end; "
           "%d failed calls\n",
           count, bytes, bytes * count, fds, BASELINE_RECEIPT, fdsEnd, rss, BASELINE_RECEIPT,
           rssEnd, failures);
    const int held = fdsEnd == fds && rssEnd - rss <= RSS_SLACK_KB;
    if (!held) fprintf(stderr, "soak: the process kept descriptors or memory\n");
    return held && failures == 0 ? 0 : 1;
}

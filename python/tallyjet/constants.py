"""The library's named values, as tallyjet.h defines them."""

SUCCESS = 1
ERR_FAILED = -1
ERR_NOT_SUPPORTED = -2
ERR_INVALID_ARGUMENT = -3
ERR_PORT_NOT_OPEN = -4
ERR_NO_MEMORY = -6
ERR_PRINTER_STOPPED = -40
ERR_NOT_CONFIRMED = -41

PRINTER_OFFLINE = 0x001
PRINTER_PAPER_END_STOP = 0x002
PRINTER_ERROR = 0x010
PRINTER_COVER_OPEN = 0x100
PRINTER_ONLINE = 0x200
MEDIA_PAPER_PRESENT = 0x001
MEDIA_PAPER_NEAR_END = 0x004
MEDIA_PAPER_END = 0x008
DRAWER_PIN3_LOW = 0
DRAWER_PIN3_HIGH = 1

PAPER_WIDTH_58MM = 384
PAPER_WIDTH_80MM = 576

DITHER = {"threshold": 0, "diffusion": 1, "ordered": 2}
ALIGN = {"left": 0, "center": 1, "right": 2}
BARCODE = {
    "upca": 65, "upce": 66, "ean13": 67, "ean8": 68, "code39": 69,
    "itf": 70, "codabar": 71, "code93": 72, "code128": 73,
}
BARCODE_MODULE = {2: 0, 3: 1, 6: 2}  # module width in dots: the library's width argument
HRI = {"none": 0, "above": 1, "below": 2, "both": 3}
QR_LEVEL = {"l": 0, "m": 1, "q": 2, "h": 3}

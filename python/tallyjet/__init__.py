"""Drive ESC/POS receipt printers through libtallyjet-linux: text in any script, barcodes,
QR codes, pictures, the drawer, the printer's status and confirmed printing.

    import tallyjet
    with tallyjet.Printer("socket://192.168.1.50") as printer:
        printer.text("Hello\\n")
        printer.cut()
        printer.wait_printed()
"""

from . import constants
from ._library import lib
from .errors import Error, PrinterStopped, result_name
from .printer import Printer, Status

__version__ = "1.3.0"


def library_version() -> str:
    """The version of the shared library in use."""
    return lib.tallyjet_version().decode()


__all__ = [
    "Error",
    "Printer",
    "PrinterStopped",
    "Status",
    "constants",
    "library_version",
    "result_name",
    "__version__",
]

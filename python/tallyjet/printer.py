"""A receipt printer: a printer handle of the library, its calls as methods."""

from __future__ import annotations

import ctypes
import io
import os
from dataclasses import dataclass
from typing import Callable, Optional, Tuple, Union

from . import constants as c
from ._library import CLOSE, READ, WRITE, PictureOptions, Transport, lib
from .errors import Error, check


@dataclass(frozen=True)
class Status:
    """What the printer says about itself."""

    online: bool
    cover_open: bool
    paper_end: bool
    paper_near_end: bool
    drawer_open: bool  # pin 3 of the drawer connector low
    error: bool


class Printer:
    """A printer opened on a port the library takes ("USB", a device node, a serial line with
    baud 9600, 19200 or 115200, or "socket://HOST[:PORT]"). Use it in a with block, or call
    close(): closing raises Error when the printer did not get the whole job."""

    def __init__(
        self,
        port: str,
        baud: int = 0,
        *,
        paper_width: int = c.PAPER_WIDTH_80MM,
        answer_timeout_ms: Optional[int] = None,
    ):
        self._handle = ctypes.c_void_p()
        self._link = None
        check(lib.tallyjet_open(port.encode(), baud, ctypes.byref(self._handle)), f"opening {port}")
        self._set_up(paper_width, answer_timeout_ms)

    @classmethod
    def from_transport(
        cls,
        write: Callable[[bytes], int],
        read: Callable[[int, int], bytes],
        close: Optional[Callable[[], None]] = None,
        *,
        paper_width: int = c.PAPER_WIDTH_80MM,
        answer_timeout_ms: Optional[int] = None,
    ) -> "Printer":
        """A printer on a link the application owns. write(data) answers how many bytes it took
        (0 or less for a failure); read(length, timeout_ms) answers the bytes that came within
        timeout_ms (b"" when none); close() is called once, when the printer is closed. The
        printer keeps the callbacks alive as long as it lives."""
        printer = cls.__new__(cls)
        printer._handle = ctypes.c_void_p()
        printer._link = _Link(write, read, close)
        check(
            lib.tallyjet_open_transport(
                ctypes.byref(printer._link.functions), None, ctypes.byref(printer._handle)
            ),
            "opening the application's link",
        )
        printer._set_up(paper_width, answer_timeout_ms)
        return printer

    def _set_up(self, paper_width: int, answer_timeout_ms: Optional[int]) -> None:
        try:
            self._call("tallyjet_set_paper_width", paper_width)
            if answer_timeout_ms is not None:
                self._call("tallyjet_set_answer_timeout", answer_timeout_ms)
        except Error:
            lib.tallyjet_close(self._handle)
            self._handle = None
            raise

    def _call(self, name: str, *arguments) -> int:
        if not self._handle:
            raise Error(c.ERR_PORT_NOT_OPEN, name)
        return check(getattr(lib, name)(self._handle, *arguments), name)

    def close(self) -> None:
        """Closes the printer; raises Error when it did not get the whole job."""
        if not self._handle:
            return
        handle, self._handle = self._handle, None
        check(lib.tallyjet_close(handle), "closing the printer")

    def __enter__(self) -> "Printer":
        return self

    def __exit__(self, kind, value, traceback) -> None:
        if kind is None:
            self.close()
        else:
            try:
                self.close()
            except Error:
                pass  # the error that ended the block says more

    def __del__(self) -> None:
        if getattr(self, "_handle", None):
            lib.tallyjet_close(self._handle)

    # Text

    def text(self, text: str) -> None:
        """Prints text in any script: each line in a code table that holds it, any other line
        drawn as a picture of itself."""
        data = text.encode("utf-8", "surrogatepass")
        self._call("tallyjet_print_text", data, len(data))

    def markup(self, document: str) -> None:
        """Prints a whole receipt written in ReceiptLine markup: columns, styles, rules, cuts,
        barcodes, QR codes and pictures, cut at its end. A document the library cannot read
        raises tallyjet.Error with code -3 and prints nothing."""
        data = document.encode("utf-8", "surrogatepass")
        self._call("tallyjet_print_markup", data, len(data))

    def style(
        self,
        *,
        bold: Optional[bool] = None,
        underline: Optional[bool] = None,
        size: Optional[Tuple[int, int]] = None,
        align: Optional[str] = None,
        font: Optional[str] = None,
    ) -> None:
        """Sets the parts of the text style given: size (width, height) in multiples 1 or 2,
        align "left", "center" or "right", font "a" or "b"."""
        if bold is not None:
            if bold:
                self._call("tallyjet_set_bold_enable", 1)
            else:
                self._call("tallyjet_set_bold_disable")
        if underline is not None:
            self._call("tallyjet_set_print_mode_underline", 1 if underline else 0)
        if size is not None:
            width, height = size
            if width not in (1, 2) or height not in (1, 2):
                raise Error(c.ERR_INVALID_ARGUMENT, "style(size=...)")
            self._call("tallyjet_set_char_size", (width - 1) << 4 | (height - 1))
        if align is not None:
            self._call("tallyjet_set_justification", _choice(c.ALIGN, align, "style(align=...)"))
        if font is not None:
            self._call("tallyjet_set_font_type", _choice({"a": 0, "b": 1}, font, "style(font=...)"))

    # Codes and pictures

    def barcode(
        self,
        data: str,
        kind: str = "code128",
        *,
        height: int = 80,
        width: int = 3,
        hri: str = "below",
    ) -> None:
        """Prints a barcode: kind upca, upce, ean13, ean8, code39, itf, codabar, code93 or
        code128; module width 2, 3 or 6 dots; hri none, above, below or both."""
        if kind == "code128" and not data.startswith("{"):
            data = "{B" + data
        self._call(
            "tallyjet_print_bar_code",
            _choice(c.BARCODE, kind, "barcode(kind=...)"),
            height,
            _choice(c.BARCODE_MODULE, width, "barcode(width=...)"),
            0,
            _choice(c.HRI, hri, "barcode(hri=...)"),
            0,
            data.encode(),
        )

    def qr(self, data: Union[str, bytes], *, size: int = 6, error_correction: str = "m") -> None:
        """Prints a QR code of modules size dots, error correction l, m, q or h."""
        payload = data.encode() if isinstance(data, str) else bytes(data)
        self._call("tallyjet_set_qr_code_model", 2)
        self._call("tallyjet_set_qr_code_resolution", size)
        self._call(
            "tallyjet_set_qr_code_error_correction",
            _choice(c.QR_LEVEL, error_correction, "qr(error_correction=...)"),
        )
        self._call("tallyjet_store_qr_code_data", payload, len(payload))
        self._call("tallyjet_make_qr_code")

    def image(
        self,
        picture,
        *,
        width: int = 0,
        dither: str = "diffusion",
        align: str = "left",
    ) -> None:
        """Prints a picture: a file path, the bytes of an encoded picture (PNG, JPEG, ...) or a
        PIL.Image. width 0 keeps its own (the paper's when wider); dither threshold,
        diffusion or ordered; align left, center or right."""
        options = PictureOptions(
            width,
            _choice(c.DITHER, dither, "image(dither=...)"),
            _choice(c.ALIGN, align, "image(align=...)"),
            0,
            0,
        )
        if isinstance(picture, (str, os.PathLike)):
            path = os.fsencode(picture)
            self._call("tallyjet_print_picture", path, ctypes.byref(options))
            return
        if not isinstance(picture, (bytes, bytearray, memoryview)):
            encoded = io.BytesIO()
            picture.save(encoded, format="PNG")  # a PIL.Image
            picture = encoded.getvalue()
        data = bytes(picture)
        self._call("tallyjet_print_picture_data", data, len(data), ctypes.byref(options))

    # Paper, drawer and raw bytes

    def feed(self, lines: int = 1) -> None:
        """Prints what is in the line buffer and feeds lines (0 to 255)."""
        self._call("tallyjet_get_partial_line_feed", lines)

    def cut(self, partial: bool = False, *, feed: int = 0) -> None:
        """Feeds feed dots past the cutter and cuts. The printers cut partially (a hinge of
        paper is left) whatever partial says."""
        del partial
        self._call("tallyjet_make_cut_n_lines", 66, feed)

    def drawer(self, pin: int = 2, *, on_ms: int = 100, off_ms: int = 100) -> None:
        """Pulses the cash drawer connector's pin 2 or 5."""
        connector = {2: 0, 5: 1}.get(pin)
        if connector is None:
            raise Error(c.ERR_INVALID_ARGUMENT, "drawer(pin=...)")
        self._call("tallyjet_generate_pulse", connector, (on_ms + 1) // 2, (off_ms + 1) // 2)

    def send(self, data: bytes) -> None:
        """Sends raw ESC/POS bytes."""
        self._call("tallyjet_send_data", bytes(data), len(data))

    # State

    def status(self) -> Status:
        """Asks the printer's status; raises Error when it does not answer."""
        printer, media, drawer = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        self._call("tallyjet_get_printer_status", ctypes.byref(printer))
        self._call("tallyjet_get_media_status", ctypes.byref(media))
        self._call("tallyjet_get_drawer_status", 1, ctypes.byref(drawer))
        return Status(
            online=bool(printer.value & c.PRINTER_ONLINE),
            cover_open=bool(printer.value & c.PRINTER_COVER_OPEN),
            paper_end=bool(media.value & c.MEDIA_PAPER_END),
            paper_near_end=bool(media.value & c.MEDIA_PAPER_NEAR_END),
            drawer_open=drawer.value == c.DRAWER_PIN3_LOW,
            error=bool(printer.value & c.PRINTER_ERROR),
        )

    def wait_printed(self, timeout: float = 10.0) -> bool:
        """Waits up to timeout seconds for the printer to confirm that everything sent so far
        has printed: True when it did, False when it cannot confirm (it does not know the
        request, or is still printing); raises PrinterStopped when it stopped first."""
        if not self._handle:
            raise Error(c.ERR_PORT_NOT_OPEN, "wait_printed")
        code = lib.tallyjet_wait_printed(self._handle, int(timeout * 1000))
        if code == c.ERR_NOT_CONFIRMED:
            return False
        check(code, "waiting for the printer to confirm")
        return True


def _choice(choices: dict, value, call: str) -> int:
    if value not in choices:
        raise Error(c.ERR_INVALID_ARGUMENT, call)
    return choices[value]


class _Link:
    """The C callbacks of an application's link, kept alive with the printer that uses them."""

    def __init__(self, write, read, close):
        def write_bytes(_context, data, length):
            try:
                taken = write(ctypes.string_at(data, length))
            except Exception:  # a failure the library reports; the exception cannot cross C
                return -1
            return int(taken) if taken is not None else length

        def read_bytes(_context, buffer, length, timeout_ms):
            try:
                data = read(length, timeout_ms)
            except Exception:
                return -1
            data = bytes(data or b"")[:length]
            ctypes.memmove(buffer, data, len(data))
            return len(data)

        def close_link(_context):
            if close is not None:
                try:
                    close()
                except Exception:
                    pass

        self._callbacks = (WRITE(write_bytes), READ(read_bytes), CLOSE(close_link))
        self.functions = Transport(*self._callbacks)

"""The package against the virtual printer: a receipt in two scripts with a QR code and a
picture, confirmed; failures as exceptions with the library's codes; an application's link."""

import gc
import socket
import struct
import zlib

import pytest

import tallyjet


def png(width: int, height: int) -> bytes:
    """A black-and-white striped PNG, made without Pillow."""

    def chunk(kind: bytes, data: bytes) -> bytes:
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rows = b"".join(b"\0" + bytes((0 if (x // 8 + y // 8) % 2 else 255) for x in range(width))
                    for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows))
            + chunk(b"IEND", b""))


def free_port() -> int:
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def test_receipt_in_two_scripts_with_a_qr_code_and_a_picture_is_confirmed(vprinter):
    printer = vprinter("--speed", "250")
    with tallyjet.Printer(printer.port) as receipt:
        receipt.style(bold=True, align="center", size=(2, 2))
        receipt.text("Caf\u00e9 \u20ac 3.50\n")
        receipt.style(bold=False, align="left", size=(1, 1))
        receipt.text("\u0391\u03b8\u03ae\u03bd\u03b1\n")
        receipt.qr("https://example.test/r/42", size=4, error_correction="q")
        receipt.image(png(64, 32), align="center")
        receipt.barcode("12345")
        receipt.cut(feed=40)
        assert receipt.wait_printed(timeout=10)
        assert receipt.status() == tallyjet.Status(True, False, False, False, True, False)
    log = printer.stop()
    for expected in ("ESC E 1", "GS ! 0x11", "TEXT \"Café € 3.50\" (cp858)", "raster band",
                     "QR store 25 bytes", "GS k 73", "GS V 66 40", "process ID"):
        assert expected in log


def test_markup_receipt_prints_whole_and_is_confirmed(vprinter):
    printer = vprinter()
    with tallyjet.Printer(printer.port, paper_width=384) as receipt:
        receipt.markup('^"Caf\u00e9"\nEspresso | 2.50\n\u039a\u03b1\u03c6\u03ad\u03c2 | 3.00\n'
                       "{code:https://example.test/r/7; option:qrcode}\n=\n")
        assert receipt.wait_printed(timeout=10)
    log = printer.stop()
    for expected in ("ESC E 1", "TEXT \"Espresso\" (cp850)", "absolute position: 336", "raster band: 384x",
                     "QR store", "GS V 66 0", "process ID"):
        assert expected in log
    assert log.count("GS V") == 1


@pytest.mark.parametrize(
    "call, code",
    [
        (lambda p: p.style(size=(3, 1)), tallyjet.constants.ERR_INVALID_ARGUMENT),
        (lambda p: p.barcode("1", kind="pdf"), tallyjet.constants.ERR_INVALID_ARGUMENT),
        (lambda p: p.image(b"not a picture"), tallyjet.constants.ERR_FAILED),
        (lambda p: p.image("/nonexistent.png"), tallyjet.constants.ERR_FAILED),
        (lambda p: p.drawer(pin=3), tallyjet.constants.ERR_INVALID_ARGUMENT),
        (lambda p: p.feed(300), tallyjet.constants.ERR_INVALID_ARGUMENT),
        (lambda p: p.markup("total {5}"), tallyjet.constants.ERR_INVALID_ARGUMENT),
    ],
)
def test_refused_calls_raise_errors_with_the_library_code(vprinter, call, code):
    with tallyjet.Printer(vprinter().port) as printer:
        with pytest.raises(tallyjet.Error) as raised:
            call(printer)
    assert raised.value.code == code
    assert raised.value.name == tallyjet.result_name(code)
    assert str(code) in str(raised.value)


def test_unreachable_printer_raises_port_not_open():
    with pytest.raises(tallyjet.Error) as raised:
        tallyjet.Printer(f"socket://127.0.0.1:{free_port()}")
    assert raised.value.code == -4
    assert raised.value.name == "port not open"
    assert tallyjet.result_name(1) == "success"
    assert tallyjet.library_version() == tallyjet.__version__


def test_stopped_and_silent_printers_are_told_apart(vprinter):
    with tallyjet.Printer(vprinter("--speed", "200", "--paper-length", "20").port) as printer:
        printer.text("line\n" * 40)
        with pytest.raises(tallyjet.PrinterStopped):
            printer.wait_printed(timeout=10)
        assert printer.status().paper_end
    with tallyjet.Printer(vprinter("--silent").port, answer_timeout_ms=100) as printer:
        printer.text("line\n")
        assert printer.wait_printed(timeout=0.5) is False


def test_application_link_keeps_its_callbacks_alive(vprinter):
    target = vprinter()
    host, port = target.port[len("socket://"):].rsplit(":", 1)
    link = socket.create_connection((host, int(port)))
    closed = []

    def read(length: int, timeout_ms: int) -> bytes:
        link.settimeout(timeout_ms / 1000 or 0.001)
        try:
            return link.recv(length)
        except socket.timeout:
            return b""

    printer = tallyjet.Printer.from_transport(link.send, read, lambda: closed.append(True))
    gc.collect()  # the callbacks must outlive any collection while the printer lives
    printer.text("through the application's link\n")
    assert printer.status().online
    printer.close()
    link.close()
    assert closed == [True]
    assert "through the application's link" in target.stop()


def test_pillow_pictures_print_as_their_png(vprinter):
    image = pytest.importorskip("PIL.Image")
    picture = image.new("L", (64, 32), 255)
    for x in range(0, 64, 2):
        picture.putpixel((x, 5), 0)
    target = vprinter()
    with tallyjet.Printer(target.port, paper_width=tallyjet.constants.PAPER_WIDTH_58MM) as printer:
        printer.image(picture, dither="threshold")
    assert "raster band: 384x32 dots" in target.stop()

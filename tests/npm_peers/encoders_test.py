"""Receipts from two point-of-sale encoders on npm (receipt-printer-encoder and esc-pos-encoder,
installed here at test time) printed to the virtual printer on loopback: it knows every command
they send, draws every character they chose a code table for as that character, and its picture
of their barcodes and QR code reads back as their data.

Arguments: the virtual printer."""

import json
import os
import re
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from npm_peers import VirtualPrinter, install  # noqa: E402

VPRINTER = sys.argv[1]
# Lines that reach the written-out tables too: Polish and Maltese through PC853, Turkish and
# Esperanto through it alone, Thai through Thai Character Code 42, Arabic through PC720.
LINES = ["Café crème 3,50 € – «très» ñ ß", "Příliš žluťoučký kůň", "Καλημέρα κόσμε",
         "Здравствуй, мир", "שלום עולם", "Ünïcödé £ ¥ ° ½", "Zażółć gęślą jaźń",
         "Il-Ħadd ta' ġimgħa", "Ğüşiöç İı Ĝĉĥĵŝŭ", "สวัสดีครับ ราคา 50 บาท", "مرحبا بالعالم"]
# EAN-13, EAN-8, UPC-E (read back as the UPC-A number it stands for) and a QR code.
CODES = {"3130630574613": "3130630574613", "96385074": "96385074", "01234565": "0012345000065",
         "https://example.test/r/7": "https://example.test/r/7"}
# Each encoder's receipt: the lines in code tables it picks, italic, the codes, a cut; written to
# socket://HOST:PORT.
CLIENT = r"""
const [name, host, port, linesJson] = process.argv.slice(1);
const Encoder = require(name);
let e = name.includes('receipt-printer') ? new Encoder({ language: 'esc-pos', columns: 48 })
                                         : new Encoder();
e = e.initialize().codepage('auto');
for (const line of JSON.parse(linesJson)) e = e.line(line);
e = e.italic(true).line('italic').italic(false)
     .barcode('3130630574613', 'ean13', 60).barcode('96385074', 'ean8', 60)
     .barcode('01234565', 'upce', 60).qrcode('https://example.test/r/7')
     .newline().newline().newline().newline().cut();
const socket = require('net').connect(Number(port), host, () => socket.end(Buffer.from(e.encode())));
socket.on('close', () => process.exit(0));
"""
ENCODERS = ["@point-of-sale/receipt-printer-encoder@4", "esc-pos-encoder@3"]


class EncodersTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls) -> None:
        cls.work = tempfile.TemporaryDirectory()
        cls.modules = install(cls.work.name, *ENCODERS)

    @classmethod
    def tearDownClass(cls) -> None:
        cls.work.cleanup()

    def test_each_encoders_receipt_prints_as_it_means(self) -> None:
        for package in ENCODERS:
            name = package.rsplit("@", 1)[0]
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                printer = VirtualPrinter(VPRINTER, folder)
                host, port = printer.host_and_port()
                try:
                    subprocess.run(["node", "-e", CLIENT, name, host, port, json.dumps(LINES)],
                                   check=True, timeout=60,
                                   env=dict(os.environ, NODE_PATH=self.modules))
                finally:
                    log = printer.stop()
                self.assertNotIn("UNKNOWN", log)
                printed = printed_lines(log)
                for line in LINES:
                    self.assertIn(line, printed)
                self.assertIn("ESC 4 1  italic on", log)
                self.assertNotIn("through printed lines", log)
                read = subprocess.run(["zbarimg", "-q", "--raw", printer.png],
                                      capture_output=True, text=True).stdout.split("\n")
                for data in CODES.values():
                    self.assertIn(data, read)


def printed_lines(log: str) -> list:
    """The text of each printed line as the log shows it, its runs in any tables joined."""
    lines, current = [], ""
    for entry in log.splitlines():
        text = re.match(r'TEXT "(.*)" \(', entry)
        if text:
            current += text.group(1)
        elif entry.startswith("LF "):
            lines.append(current)
            current = ""
    return lines


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)

"""Markup receipts printed by `tallyjet receipt` and by the reference implementation of the
markup (the npm package receiptline, installed here at test time) to the virtual printer on
loopback: every document of the package's own examples and of ours must show the same text in
the same columns on each printed line, with the cuts in the same places, at 80 and at 58 mm; the
barcodes and QR codes we print read back as their data.

Arguments: the tallyjet command, the virtual printer, the folder of our documents."""

import glob
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from log_transcript import transcript  # noqa: E402
from npm_peers import VirtualPrinter, install  # noqa: E402

TALLYJET, VPRINTER, DOCUMENTS = sys.argv[1:4]
# The reference's own ESC/POS output, written to the printer at socket://HOST:PORT.
REFERENCE_CLIENT = r"""
const receiptline = require('receiptline');
const net = require('net');
const fs = require('fs');
const [file, host, port, cpl] = process.argv.slice(1);
const doc = fs.readFileSync(file, 'utf8');
const bytes = receiptline.transform(doc, { cpl: Number(cpl), encoding: 'multilingual', command: 'escpos' });
const socket = net.connect(Number(port), host, () => socket.end(Buffer.from(bytes, 'binary')));
socket.on('close', () => process.exit(0));
"""


class ReferenceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls) -> None:
        cls.work = tempfile.TemporaryDirectory()
        cls.modules = install(cls.work.name, "receiptline@4")
        examples = os.path.join(cls.modules, "receiptline", "example", "data", "en")
        cls.documents = sorted(glob.glob(os.path.join(examples, "*.receipt")) +
                               glob.glob(os.path.join(DOCUMENTS, "*.receipt")))

    @classmethod
    def tearDownClass(cls) -> None:
        cls.work.cleanup()

    def ours(self, document: str, paper: int, folder: str) -> str:
        printer = VirtualPrinter(VPRINTER, folder, paper)
        try:
            done = subprocess.run([TALLYJET, "--port", printer.port, "receipt", document,
                                   "--paper", str(paper)], capture_output=True, text=True,
                                  timeout=60)
        finally:
            log = printer.stop()
        self.assertEqual(done.returncode, 0, done.stderr)
        return log

    def reference(self, document: str, paper: int, folder: str) -> str:
        printer = VirtualPrinter(VPRINTER, folder, paper)
        host, port = printer.host_and_port()
        columns = "48" if paper == 80 else "32"
        try:
            subprocess.run(["node", "-e", REFERENCE_CLIENT, document, host, port, columns],
                           check=True, timeout=60, env=dict(os.environ, NODE_PATH=self.modules))
        finally:
            log = printer.stop()
        return log

    def test_every_document_prints_the_same_lines_as_the_reference(self) -> None:
        self.assertGreater(len(self.documents), 20)
        for paper in (80, 58):
            for document in self.documents:
                name = f"{os.path.basename(document)} at {paper} mm"
                with self.subTest(name), tempfile.TemporaryDirectory() as ours_folder, \
                        tempfile.TemporaryDirectory() as reference_folder:
                    ours = self.ours(document, paper, ours_folder)
                    reference = self.reference(document, paper, reference_folder)
                    self.assertNotIn("UNKNOWN", ours, name)
                    self.assertEqual(transcript(ours), transcript(reference), name)

    def test_codes_read_back_as_their_data(self) -> None:
        document = os.path.join(DOCUMENTS, "codes.receipt")
        with tempfile.TemporaryDirectory() as folder:
            self.ours(document, 80, folder)
            read = subprocess.run(["zbarimg", "-q", "--raw", os.path.join(folder, "receipt.png")],
                                  capture_output=True, text=True).stdout.split("\n")
        # zbar reads UPC-A as EAN-13 with a leading 0, and UPC-E as the UPC-A number it stands for.
        expected = ["4901234567894", "49012347", "0036000291452", "0012345000065",
                    "TALLYJET-128", "TJ0001", "https://tallyjet.example/r/42"]
        for data in expected:
            self.assertIn(data, read)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)

"""The virtual printer as a program, for the package's tests: started on a free TCP port of
127.0.0.1 (or a pty), its decoded log read back."""

import os
import subprocess
import tempfile

import pytest

VPRINTER = os.environ.get("TALLYJET_VPRINTER", "tallyjet-vprinter")


class VirtualPrinter:
    def __init__(self, *arguments: str, network: bool = True):
        self.directory = tempfile.TemporaryDirectory()
        self.log = os.path.join(self.directory.name, "log")
        where = ["--listen", "0"] if network else ["--link", os.path.join(self.directory.name, "pty")]
        self.process = subprocess.Popen(
            [VPRINTER, *where, "--log", self.log, *arguments],
            stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL,
            text=True,
        )
        self.port = self.process.stdout.readline().strip()
        assert self.port, "the virtual printer did not start"

    def stop(self) -> str:
        """Stops the printer; its decoded log."""
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)
        with open(self.log, encoding="utf-8", errors="replace") as log:
            text = log.read()
        self.directory.cleanup()
        return text


@pytest.fixture
def vprinter():
    started = []

    def start(*arguments: str, network: bool = True) -> VirtualPrinter:
        printer = VirtualPrinter(*arguments, network=network)
        started.append(printer)
        return printer

    yield start
    for printer in started:
        if printer.process.poll() is None:
            printer.stop()

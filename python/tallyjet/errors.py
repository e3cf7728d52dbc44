"""Exceptions for the library's negative result codes."""

from ._library import lib
from .constants import ERR_PRINTER_STOPPED


def result_name(code: int) -> str:
    """The library's name of a result code, such as "port not open"."""
    return lib.tallyjet_result_name(code).decode()


class Error(Exception):
    """A call of the library answered a negative result code."""

    def __init__(self, code: int, call: str):
        self.code = code
        self.name = result_name(code)
        self.call = call
        super().__init__(f"{call}: {self.name} ({code})")


class PrinterStopped(Error):
    """The printer said it cannot go on (paper end, cover open, an error, off-line)."""


def check(code: int, call: str) -> int:
    """Answers code when it is not negative; raises Error otherwise."""
    if code == ERR_PRINTER_STOPPED:
        raise PrinterStopped(code, call)
    if code < 0:
        raise Error(code, call)
    return code

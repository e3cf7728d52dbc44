"""The text a virtual printer's log shows printed, laid out as on paper: each printed line a
string with every character in the column (12 dots of font A) where it printed, following
ESC $, ESC \\, GS L and character widths; a cut is a line of its own."""

import re
import unicodedata

CUT = "--- cut ---"
_COLUMN_DOTS = 12
# Rounded corners of some code tables print as the square ones.
_CORNERS = str.maketrans("╭╮╯╰", "┌┐┘└")


def _unquote(quoted: str) -> str:
    text, at = [], 0
    while at < len(quoted):
        if quoted.startswith("\\x", at):
            at += 4  # a byte no character stands for
        elif quoted[at] == "\\":
            text.append(quoted[at + 1])
            at += 2
        else:
            text.append(quoted[at])
            at += 1
    return "".join(text)


def _cells(character: str) -> int:
    if unicodedata.combining(character):
        return 0
    return 2 if unicodedata.east_asian_width(character) in ("W", "F") else 1


class _Paper:
    def __init__(self) -> None:
        self.lines = []
        self.row = {}
        self.margin = 0
        self.x = 0
        self.width = 1

    def put(self, text: str) -> None:
        for character in text.translate(_CORNERS):
            cells = _cells(character) * self.width
            column = (self.margin + self.x) // _COLUMN_DOTS
            self.row[column] = self.row.get(column, "") + character
            self.x += cells * _COLUMN_DOTS

    def end_line(self) -> None:
        if self.row:
            width = max(self.row) + 1
            cells = [self.row.get(column, " ") for column in range(width)]
            self.lines.append("".join(cells).rstrip())
        else:
            self.lines.append("")
        self.row = {}
        self.x = 0

    def cut(self) -> None:
        if self.row:
            self.end_line()
        if not self.lines or self.lines[-1] != CUT:
            self.lines.append(CUT)


_NUMBER = r"(-?\d+)"


def transcript(log: str) -> list:
    paper = _Paper()
    for line in log.splitlines():
        if line.startswith('TEXT "'):
            paper.put(_unquote(line[len('TEXT "'):line.rindex('" (')]))
        elif line.startswith("LF "):
            paper.end_line()
        elif line.startswith("GS V "):
            paper.cut()
        elif line.startswith("ESC @"):
            paper.margin, paper.width = 0, 1
        elif match := re.search(r"left margin: " + _NUMBER, line):
            paper.margin = int(match.group(1))
        elif match := re.search(r"absolute position: " + _NUMBER, line):
            paper.x = int(match.group(1))
        elif match := re.search(r"relative position: " + _NUMBER, line):
            paper.x += int(match.group(1))
        elif match := re.search(r"character size: width " + _NUMBER, line):
            paper.width = int(match.group(1))
    if paper.row:
        paper.end_line()
    while paper.lines and paper.lines[-1] in ("", CUT):
        paper.lines.pop()
    return paper.lines

"""What the tests of npm packages share: the packages installed from the npm registry at test
time, and the virtual printer on a free loopback port with its log and picture."""

import os
import re
import subprocess
import time


def install(folder: str, *packages: str) -> str:
    """Installs the packages into folder; their node_modules folder."""
    subprocess.run(["npm", "install", "--silent", "--no-audit", "--no-fund", "--prefix", folder,
                    *packages], check=True, timeout=300)
    return os.path.join(folder, "node_modules")


class VirtualPrinter:
    """The virtual printer on a free loopback port, its log and its picture in a folder."""

    def __init__(self, program: str, folder: str, paper: int = 80) -> None:
        self.log = os.path.join(folder, "log.txt")
        self.png = os.path.join(folder, "receipt.png")
        self.process = subprocess.Popen(
            [program, "--listen", "0", "--quiet", "--log", self.log, "--png", self.png,
             "--paper", str(paper)],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.port = self.process.stdout.readline().split()[-1]

    def host_and_port(self):
        return re.match(r"socket://([^:]+):(\d+)", self.port).groups()

    def stop(self) -> str:
        """Stops once the log has been still for a moment; the log."""
        size, still_since = -1, time.monotonic()
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline and time.monotonic() - still_since < 0.2:
            current = os.path.getsize(self.log) if os.path.exists(self.log) else 0
            if current != size:
                size, still_since = current, time.monotonic()
            time.sleep(0.05)
        self.process.terminate()
        self.process.wait(timeout=10)
        self.process.stdout.close()
        with open(self.log, encoding="utf-8", errors="replace") as log:
            return log.read()

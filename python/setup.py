"""The tallyjet package: libtallyjet-linux from Python, with the standard library alone."""

from setuptools import setup

setup(
    name="tallyjet",
    version="1.3.0",
    description="Drive ESC/POS receipt printers through libtallyjet-linux",
    packages=["tallyjet"],
    python_requires=">=3.9",
)

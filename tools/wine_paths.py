"""Paths as Windows programs under Wine see them, for the scripts that start
them (tools/, tests/, bench/)."""

from pathlib import Path


def windows_path(path):
    """The absolute path through Wine's drive Z:, which is the Unix root."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")

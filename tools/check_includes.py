#!/usr/bin/env python3
"""Lists the includes between the product's folders and checks that every one
runs down: a folder includes only folders below it, never one above it and
never a sibling of its own rank. Prints one line per pair of folders with the
number of includes, then every include that runs the wrong way; exits 1 when
there is one.

    python3 tools/check_includes.py [repository folder]
"""

import re
import sys
from collections import Counter
from pathlib import Path

# Top to bottom; folders of one rank are siblings and must not include each other.
RANKS = {
    "app": 7,       # frmMain, the entry point: the one top
    "press": 6,     # the press's steps
    "settings": 5,  # inifile_IO, layout, restore, save
    "platform": 4,  # Platform, its Win32 and portable implementations
    "ui": 3,        # the window's tables, fonts, caption fitting: data
    "script": 2,    # pure, on texts
    "verify": 2,    # pure, on bytes
    "resources": 1,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def folder_of(path):
    return path.split("/", 1)[0] if "/" in path else None


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parents[1])
    pairs = Counter()
    wrong = []
    for folder in RANKS:
        for source in sorted((root / folder).rglob("*")):
            if source.suffix not in {".h", ".cpp", ".rc", ".in"}:
                continue
            relative = source.relative_to(root).as_posix()
            for target in INCLUDE.findall(source.read_text(encoding="utf-8", errors="replace")):
                to = folder_of(target)
                if to not in RANKS or to == folder:
                    continue
                pairs[(folder, to)] += 1
                if RANKS[to] >= RANKS[folder]:
                    wrong.append(f"{relative} includes {target}")
    print("Includes between folders (from -> to: count):")
    for (source, target), count in sorted(pairs.items(), key=lambda p: (-RANKS[p[0][0]], -RANKS[p[0][1]], p[0])):
        print(f"  {source:9} -> {target:9} {count:3}")
    if wrong:
        print(f"{len(wrong)} include(s) run up or sideways:")
        for line in wrong:
            print("  " + line)
        return 1
    print("Every include runs down.")
    return 0


if __name__ == "__main__":
    sys.exit(main())

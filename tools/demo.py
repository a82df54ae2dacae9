"""The sample job of tools/run.sh, with its values kept in one place.

    /usr/bin/python3 demo.py ini <demo folder>     writes Quillmark.ini there
    /usr/bin/python3 demo.py show <program>         prints its version resource;
                                                    exits 1 unless it holds the sample
    /usr/bin/python3 demo.py failure <results>      prints the UI driver's failing line

pefile is importable from /usr/bin/python3 only.
"""

import sys
from pathlib import Path

from wine_paths import windows_path

EDITOR = "ResHacker.exe"
SAMPLE = "sample.exe"

# Info0 to Info9 as the window's boxes show them; the two versions as
# Major, Minor, Rev.
STRINGS = {
    0: "社内配布用の試用版",
    1: "株式会社クイルマーク",
    2: "バージョン情報を付ける見本",
    3: "(C) 2026 株式会社クイルマーク",
    4: "クイルマークは見本の商標です",
    5: "クイルマーク見本",
    8: "sample",
    9: SAMPLE,
}
KEYS = ["Comments", "CompanyName", "FileDescription", "LegalCopyright", "LegalTrademarks", "ProductName",
        "FileVersion", "ProductVersion", "InternalName", "OriginalFilename"]
FILE_VERSION = (2, 1, 30)
PRODUCT_VERSION = (2, 1, 0)


def packed(version):
    """As Quillmark stores a version: Major × 1000000 + Minor × 10000 + Rev., eight digits."""
    major, minor, rev = version
    return f"{major * 1000000 + minor * 10000 + rev:08d}"


def write_ini(folder):
    folder = Path(folder)
    values = {**STRINGS, 6: packed(FILE_VERSION), 7: packed(PRODUCT_VERSION)}
    lines = ["[Files]", "ResHacker=" + windows_path(folder / EDITOR), "LastExeFile=" + windows_path(folder / SAMPLE),
             "[VerInfo]"] + [f"Info{i}={values[i]}" for i in range(10)]
    (folder / "Quillmark.ini").write_bytes(ini_bytes("".join(line + "\r\n" for line in lines)))


def ini_bytes(text):
    """The settings file as Quillmark writes it: in the ANSI code page of a
    Japanese Windows (932) while every value fits it, else in UTF-16LE behind
    its byte-order mark (a folder named Café, say)."""
    try:
        return text.encode("cp932")
    except UnicodeEncodeError:
        return b"\xff\xfe" + text.encode("utf-16-le")


def text(value):
    return value.decode("utf-8") if isinstance(value, bytes) else value


def show(program):
    import pefile

    pe = pefile.PE(str(program))
    tables = {}
    for info in getattr(pe, "FileInfo", None) or []:
        for block in info:
            if text(block.Key) == "StringFileInfo":
                for table in block.StringTable:
                    tables[text(table.LangID).upper()] = {text(k): text(v) for k, v in table.entries.items()}
    fixed = pe.VS_FIXEDFILEINFO[0] if getattr(pe, "VS_FIXEDFILEINFO", None) else None
    pe.close()

    print(f"{Path(program).name} now holds:")
    if fixed is not None:
        for name, ms, ls in [("file", fixed.FileVersionMS, fixed.FileVersionLS),
                             ("product", fixed.ProductVersionMS, fixed.ProductVersionLS)]:
            print(f"  {name} version (fixed part): {ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}")
    for lang, entries in tables.items():
        print(f"  string table {lang}:")
        for key, value in entries.items():
            print(f"    {key}: {value}")

    japanese = tables.get("041104B0", {})
    wrong = [KEYS[i] for i, value in STRINGS.items() if japanese.get(KEYS[i]) != value]
    expected_fixed = [FILE_VERSION[:2] + (0,) + FILE_VERSION[2:], PRODUCT_VERSION[:2] + (0,) + PRODUCT_VERSION[2:]]
    got_fixed = None
    if fixed is not None:
        got_fixed = [(ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
                     for ms, ls in [(fixed.FileVersionMS, fixed.FileVersionLS),
                                    (fixed.ProductVersionMS, fixed.ProductVersionLS)]]
    if not japanese or wrong or got_fixed != expected_fixed:
        print(f"demo: {Path(program).name} does not hold the sample values in 0411"
              f" (differing: {', '.join(wrong) or 'none'}; versions {got_fixed}, expected {expected_fixed})",
              file=sys.stderr)
        return 1
    return 0


def unescape(field):
    """The UI driver's escapes: \\\\ \\t \\r \\n."""
    out, i = [], 0
    while i < len(field):
        if field[i] == "\\" and i + 1 < len(field):
            i += 1
            out.append({"t": "\t", "r": "\r", "n": "\n"}.get(field[i], field[i]))
        else:
            out.append(field[i])
        i += 1
    return "".join(out)


def failure(results):
    lines = Path(results).read_text(encoding="utf-8").splitlines() if Path(results).exists() else []
    if not lines:
        print("  (the UI driver wrote nothing)")
        return 0
    parts = lines[-1].split("\t")
    print(f"  {parts[0]}: " + " / ".join(unescape(d).replace("\r\n", " ") for d in parts[2:] if d))
    return 0


if __name__ == "__main__":
    commands = {"ini": write_ini, "show": show, "failure": failure}
    if len(sys.argv) != 3 or sys.argv[1] not in commands:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(commands[sys.argv[1]](sys.argv[2]) or 0)

"""Fails when a Quillmark.exe imports a DLL that Windows could take from the
program's own folder: every import must be a KnownDLL, or comctl32, which the
manifest's side-by-side assembly supplies. Prints each program's DLL list and
its load configuration's DependentLoadFlags.

    /usr/bin/python3 check_imports.py Quillmark.exe [more.exe ...]
"""

import sys

import pefile

ALLOWED_DLLS = {
    "kernel32",
    "user32",
    "gdi32",
    "comdlg32",
    "shell32",
    "shlwapi",
    "ole32",
    "oleaut32",
    "advapi32",
    "msvcrt",
    "comctl32",
}


def dll_stem(name):
    stem = name.lower()
    return stem[: -len(".dll")] if stem.endswith(".dll") else stem


def imported_dlls(pe):
    kinds = (("import", "DIRECTORY_ENTRY_IMPORT"), ("delay import", "DIRECTORY_ENTRY_DELAY_IMPORT"))
    return [(kind, entry.dll.decode("ascii", "replace"))
            for kind, attribute in kinds
            for entry in getattr(pe, attribute, [])]


def dependent_load_flags(pe):
    config = getattr(pe, "DIRECTORY_ENTRY_LOAD_CONFIG", None)
    if config is None:
        return "no load configuration directory"
    # Older pefile releases still call the field by its first name.
    flags = getattr(config.struct, "DependentLoadFlags", getattr(config.struct, "Reserved1", None))
    return f"DependentLoadFlags=0x{flags:x}" if flags is not None else "no DependentLoadFlags field"


def check(path):
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(directories=[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG"],
    ])
    machine = pefile.MACHINE_TYPE.get(pe.FILE_HEADER.Machine, hex(pe.FILE_HEADER.Machine))
    dlls = imported_dlls(pe)
    print(f"{path} ({machine}): {dependent_load_flags(pe)}")
    failures = 0
    for kind, name in dlls:
        allowed = dll_stem(name) in ALLOWED_DLLS
        failures += not allowed
        print(f"  {kind}: {name}{'' if allowed else '  <- not a KnownDLL: could be planted beside the program'}")
    if not dlls:
        print("  no imports at all: not a program this check understands")
        failures += 1
    return failures


def main(paths):
    if not paths:
        print(__doc__, file=sys.stderr)
        return 2
    failures = sum(check(path) for path in paths)
    print(f"imports: {failures} DLL(s) outside the allowed list" if failures else "imports: all allowed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

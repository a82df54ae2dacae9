#!/usr/bin/env python3
"""Runs the private-profile case table through the portable implementation
(a small Linux program built here from platform/portable) and through the
system's own GetPrivateProfileStringA / WritePrivateProfileStringA and their
wide forms under Wine (WineProfile.exe), then compares the two reports case by case.

Unmarked cases must agree byte for byte. Cases marked "differs" document
where Wine departs from Windows: there each side must give its own
documented result, and the two must differ. Exits non-zero on any failure
and prints a summary table either way."""

import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
REPO = HERE.parent.parent
sys.path.insert(0, str(REPO / "tools"))
from wine_paths import windows_path  # noqa: E402
PORTABLE_SOURCES = [
    HERE / "PortableProfile.cpp",
    REPO / "platform/portable/PrivateProfile.cpp",
    REPO / "platform/portable/ProfileText.cpp",
]
HEADERS = [
    HERE / "ProfileBatch.h",
    REPO / "platform/portable/PrivateProfile.h",
    REPO / "platform/portable/ProfileText.h",
]
WARNINGS = ["-Wall", "-Wextra", "-Wpedantic", "-Wshadow", "-Werror"]
MINGW_CXX = "x86_64-w64-mingw32-g++-win32"
DEFAULT_SIZE = 1024

BUILD_SECONDS = 120
PORTABLE_SECONDS = 30
WINE_SECONDS = 60


class TableError(Exception):
    pass


def to_bytes(spec):
    """The bytes a table entry stands for (see the table's "about")."""
    if isinstance(spec, str):
        try:
            return spec.encode("latin-1")
        except UnicodeEncodeError as error:
            raise TableError(f"{spec!r}: only U+0000..U+00FF stand for bytes; use {{\"cp932\": ...}}") from error
    if isinstance(spec, list):
        return b"".join(to_bytes(part) for part in spec)
    if isinstance(spec, dict) and set(spec) == {"cp932"}:
        return spec["cp932"].encode("cp932")
    if isinstance(spec, dict) and set(spec) == {"utf16le"}:
        return spec["utf16le"].encode("utf-16-le")
    if isinstance(spec, dict) and set(spec) == {"repeat", "times"}:
        return to_bytes(spec["repeat"]) * int(spec["times"])
    raise TableError(f"not a byte string: {spec!r}")


def wide(text):
    """The text a wide call takes or gives, as UTF-16LE bytes: a string, a
    list of parts, or {"repeat": text, "times": n}."""
    if isinstance(text, list):
        return b"".join(wide(part) for part in text)
    if isinstance(text, dict) and set(text) == {"repeat", "times"}:
        return wide(text["repeat"]) * int(text["times"])
    if not isinstance(text, str):
        raise TableError(f"a wide call's string is text: {text!r}")
    return text.encode("utf-16-le")


def hexed(data):
    return ":" + data.hex()


def batch_text(cases):
    lines = []
    for case in cases:
        lines.append(f"case {case['name']}")
        lines.append("file missing" if case["file"] is None else f"file {hexed(to_bytes(case['file']))}")
        for op in case["ops"]:
            if "read" in op:
                section, key = (to_bytes(x) for x in op["read"])
                lines.append(f"read {hexed(section)} {hexed(key)} {op.get('size', DEFAULT_SIZE)}")
            elif "write" in op:
                section, key, value = (to_bytes(x) for x in op["write"])
                lines.append(f"write {hexed(section)} {hexed(key)} {hexed(value)}")
            elif "readw" in op:
                section, key = (wide(x) for x in op["readw"])
                lines.append(f"readw {hexed(section)} {hexed(key)} {op.get('size', DEFAULT_SIZE)}")
            elif "writew" in op:
                section, key, value = (wide(x) for x in op["writew"])
                lines.append(f"writew {hexed(section)} {hexed(key)} {hexed(value)}")
            else:
                raise TableError(f"{case['name']}: operation {op!r} is no read or write")
        lines.append("end")
    return "\n".join(lines) + "\n"


def check_table(cases):
    names = [case["name"] for case in cases]
    duplicates = {name for name in names if names.count(name) > 1}
    if duplicates:
        raise TableError(f"case names used twice: {sorted(duplicates)}")
    for case in cases:
        if not case["name"].replace("_", "").isalnum():
            raise TableError(f"case name {case['name']!r}: letters, digits and '_' only")
        if not case.get("ops"):
            raise TableError(f"{case['name']}: no operations")
        marked = "differs" in case
        wine_only = [op for op in case["ops"] if "wine" in op] + (["file"] if "wine_file_after" in case else [])
        if marked and not case.get("windows"):
            raise TableError(f"{case['name']}: a marked case says how the Windows side is known (\"windows\")")
        if marked and not wine_only:
            raise TableError(f"{case['name']}: a marked case documents what Wine gives (\"wine\", \"wine_file_after\")")
        if not marked and (wine_only or "windows" in case):
            raise TableError(f"{case['name']}: Wine results are documented only in cases marked \"differs\"")
        if "wine_file_after" in case and "file_after" not in case:
            raise TableError(f"{case['name']}: \"wine_file_after\" without \"file_after\"")


def parse_report(text):
    """{case name: [report lines between 'case' and 'end']}"""
    cases = {}
    current = None
    for line in text.splitlines():
        if line.startswith("error "):
            raise RuntimeError(f"the program stopped: {line[6:]}")
        words = line.split(" ")
        if words[0] == "case":
            current = words[1]
            cases[current] = []
        elif words[0] == "end":
            current = None
        elif current is not None:
            cases[current].append(line)
    return cases


def read_line(buffer):
    return f"read {len(buffer)} {hexed(buffer)} 1"


def readw_line(text):
    return f"readw {len(wide(text)) // 2} {hexed(wide(text))} 1"


def expected_lines(case, side):
    """The report lines `side` ("portable" or "wine") must give, with None
    where the table leaves a line open. Wine falls back on the portable
    expectation where the table documents no Wine result of its own."""
    lines = []
    for op in case["ops"]:
        if "read" in op:
            spec = op.get("wine", op.get("expect")) if side == "wine" else op.get("expect")
            lines.append(None if spec is None else read_line(to_bytes(spec)))
        elif "readw" in op:
            spec = op.get("wine", op.get("expect")) if side == "wine" else op.get("expect")
            lines.append(None if spec is None else readw_line(spec))
        else:
            lines.append("writew 1" if "writew" in op else "write 1")
    file_key = "wine_file_after" if side == "wine" and "wine_file_after" in case else "file_after"
    if file_key in case:
        after = case[file_key]
        lines.append("file missing" if after is None else f"file {hexed(to_bytes(after))}")
        lines.append("names (none)" if after is None else "names Quillmark.ini")
    else:
        lines.append(None)
        lines.append("names Quillmark.ini")
    return lines


def mismatches(actual, expected):
    if len(actual) != len(expected):
        return [f"{len(actual)} report lines, {len(expected)} expected"]
    return [f"{got!r} where {want!r} was expected" for got, want in zip(actual, expected)
            if want is not None and got != want]


def describe(line, limit=90):
    """A report line with its hex fields shown as Python byte literals."""
    shown = []
    for word in line.split(" "):
        if word.startswith(":"):
            data = bytes.fromhex(word[1:])
            text = repr(data)
            if len(text) > limit:
                text = repr(data[:30]) + f"...({len(data)} bytes)..." + repr(data[-12:])
            shown.append(text)
        else:
            shown.append(word)
    return " ".join(shown)


def judge(case, portable, wine):
    """(verdict, problems) for one case."""
    problems = []
    if portable is None or wine is None:
        return "FAILED", ["missing from the " + ("portable" if portable is None else "Wine") + " report"]
    for line in mismatches(portable, expected_lines(case, "portable")):
        problems.append("portable: " + describe(line))
    if "differs" not in case:
        if portable != wine:
            for number, (p, w) in enumerate(zip(portable, wine)):
                if p != w:
                    problems.append(f"line {number + 1}: portable {describe(p)}")
                    problems.append(f"line {number + 1}: Wine     {describe(w)}")
            if len(portable) != len(wine):
                problems.append("the reports differ in length")
        return ("agree" if not problems else "FAILED"), problems
    for line in mismatches(wine, expected_lines(case, "wine")):
        problems.append("Wine: " + describe(line))
    if portable == wine:
        problems.append("marked as differing, but Wine now agrees: the mark is stale")
    return ("differs as documented" if not problems else "FAILED"), problems


def newer_than(target, sources):
    return target.exists() and all(target.stat().st_mtime >= s.stat().st_mtime for s in sources)


def run_logged(command, log_base, seconds, cwd=None):
    """Runs `command` with its output in files (a Wine pipe can stay open for
    ever) and in its own process group, so that a timeout ends all of it."""
    with open(f"{log_base}.out", "wb") as out, open(f"{log_base}.err", "wb") as err:
        process = subprocess.Popen(command, stdout=out, stderr=err, stdin=subprocess.DEVNULL, cwd=cwd,
                                   start_new_session=True)
        try:
            return process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            raise RuntimeError(f"{command[0]} did not finish within {seconds} s; see {log_base}.err")


def build(compiler, sources, output, extra, log_base):
    if newer_than(output, sources + HEADERS):
        return
    command = [compiler, "-std=c++20", "-O1", *WARNINGS, f"-I{REPO}", f"-I{HERE}", *extra, "-o", str(output),
               *map(str, sources)]
    if run_logged(command, log_base, BUILD_SECONDS) != 0:
        raise RuntimeError(f"building {output.name} failed:\n" + Path(f"{log_base}.err").read_text(errors="replace"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--wine-exe", type=Path, help="WineProfile.exe (built here with MinGW when not given)")
    parser.add_argument("--out", type=Path, default=REPO / "build/profile-compare",
                        help="folder for the Linux program, the batch, the reports and the case folders")
    parser.add_argument("--cases", type=Path, default=HERE / "cases/cases.json")
    parser.add_argument("--wine-run", type=Path, default=REPO / "tools/wine-run.sh")
    args = parser.parse_args()

    cases = json.loads(args.cases.read_text(encoding="utf-8"))["cases"]
    check_table(cases)
    out = args.out.resolve()
    out.mkdir(parents=True, exist_ok=True)
    logs = out / "logs"
    logs.mkdir(exist_ok=True)

    portable_exe = out / "portable_profile"
    build("g++", PORTABLE_SOURCES, portable_exe, [], logs / "build-portable")
    wine_exe = args.wine_exe
    if wine_exe is None:
        wine_exe = out / "WineProfile.exe"
        build(shutil.which(MINGW_CXX) or MINGW_CXX, [HERE / "WineProfile.cpp"], wine_exe,
              ["-static", "-static-libgcc", "-static-libstdc++"], logs / "build-wine")
    wine_exe = wine_exe.resolve()

    batch = out / "batch.txt"
    batch.write_bytes(batch_text(cases).encode("ascii"))
    reports = {"portable": out / "portable-report.txt", "wine": out / "wine-report.txt"}
    for report in reports.values():
        report.unlink(missing_ok=True)

    status = run_logged([str(portable_exe), str(batch), str(out / "work/portable"), str(reports["portable"])],
                        logs / "portable", PORTABLE_SECONDS)
    if status != 0 or not reports["portable"].exists():
        raise RuntimeError(f"the portable program failed ({status}); see {logs / 'portable.err'}")
    status = run_logged(["bash", str(args.wine_run), str(wine_exe), windows_path(batch),
                         windows_path(out / "work/wine"), windows_path(reports["wine"])],
                        logs / "wine", WINE_SECONDS)
    if status != 0 or not reports["wine"].exists():
        raise RuntimeError(f"WineProfile.exe failed under Wine ({status}); see {logs / 'wine.err'}")

    portable = parse_report(reports["portable"].read_text(encoding="ascii"))
    wine = parse_report(reports["wine"].read_text(encoding="ascii"))

    rows = []
    failed = 0
    for case in cases:
        verdict, problems = judge(case, portable.get(case["name"]), wine.get(case["name"]))
        failed += verdict == "FAILED"
        rows.append((case, verdict, problems))

    width = max(len(case["name"]) for case in cases)
    print(f"{'case':<{width}}  result")
    print(f"{'-' * width}  {'-' * 22}")
    for case, verdict, problems in rows:
        print(f"{case['name']:<{width}}  {verdict}")
        for problem in problems:
            print(f"{'':<{width}}    {problem}")
    print()
    marked = [(case, verdict) for case, verdict, _ in rows if "differs" in case]
    if marked:
        print("Marked: where Wine departs from what the portable implementation does as Windows does:")
        for case, _ in marked:
            print(f"- {case['name']}: {case['differs']} [Windows: {case['windows']}]")
        print()
    notes = [case for case, _, _ in rows if "note" in case]
    if notes:
        print("Notes:")
        for case in notes:
            print(f"- {case['name']}: {case['note']}")
        print()
    agreed = sum(verdict == "agree" for _, verdict, _ in rows)
    print(f"{len(rows)} cases: {agreed} agree, {len(marked)} marked as differing, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (RuntimeError, TableError) as error:
        print(f"profile comparison: {error}", file=sys.stderr)
        sys.exit(2)

"""Shared pieces of the stand-in's end-to-end checks: the Wine environment
(from tools/wine-env.sh), Windows paths, .res parsing, the version script
template and its filling, and windres."""

import argparse
import atexit
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[3]
sys.path.insert(0, str(REPO / "tools"))
from wine_paths import windows_path  # noqa: E402,F401  (the stand-in's tests call it through this module)
RT_VERSION = 16
RT_RCDATA = 10


def common_arguments(description):
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--standin", required=True, help="the stand-in ResHacker.exe")
    parser.add_argument("--driver", required=True, help="StandinDriver.exe")
    parser.add_argument("--windres", required=True, help="GNU windres of the MinGW toolchain")
    parser.add_argument("--template", required=True, help="script/VersionScriptTemplate.cpp")
    parser.add_argument("--work", required=True, help="a scratch folder, emptied first")
    return parser


class Failures:
    """Collects failed checks so that one run reports all of them."""

    def __init__(self):
        self.messages = []

    def check(self, condition, message):
        if not condition:
            self.messages.append(message)
            print("FAIL: " + message)
        return condition

    def finish(self, name):
        if self.messages:
            print(f"{name}: {len(self.messages)} check(s) failed")
            sys.exit(1)
        print(f"{name}: all checks passed")
        sys.exit(0)


def fresh_folder(path):
    path = Path(path)
    if path.exists():
        shutil.rmtree(path)
    path.mkdir(parents=True)
    return path


class Wine:
    """Runs Windows programs in the project's Wine prefix and X display."""

    def __init__(self, work):
        self.work = Path(work)
        env_file = self.work / "wine-env.txt"
        script = REPO / "tools" / "wine-env.sh"
        with open(env_file, "wb") as out, open(self.work / "wine-env.log", "wb") as err:
            subprocess.run(["bash", "-c", 'source "$1" && env -0', "wine-env", str(script)],
                           stdout=out, stderr=err, stdin=subprocess.DEVNULL, timeout=300, check=True)
        self.env = dict(os.environ)
        for item in env_file.read_bytes().split(b"\0"):
            if b"=" in item:
                key, value = item.split(b"=", 1)
                self.env[key.decode()] = value.decode(errors="replace")
        self.wine64 = self.env.get("QUILLMARK_WINE64", "/usr/lib/wine/wine64")
        self.runs = 0
        self.holder = None

    def keep_desktop(self, driver, seconds=600):
        """Starts the driver's "hold" mode: one process that stays on Wine's
        desktop, so that the desktop does not close (and fail window
        creation) between the short runs of this and other tests. A holder
        that dies before it is ready is started again, a few times."""
        for attempt in range(3):
            ready = self.work / f"desktop-held-{attempt}"
            log = open(self.work / f"desktop-holder-{attempt}.log", "wb")
            self.holder = subprocess.Popen([self.wine64, str(driver), "hold", windows_path(ready), str(seconds)],
                                           stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                           env=self.env, cwd=self.work)
            log.close()
            atexit.register(self.release_desktop)
            for _ in range(600):
                if ready.exists() or self.holder.poll() is not None:
                    break
                time.sleep(0.1)
            if ready.exists():
                return
            self.release_desktop()
        raise RuntimeError("could not keep Wine's desktop up: see desktop-holder-*.log")

    def release_desktop(self):
        holder, self.holder = self.holder, None
        if holder is not None and holder.poll() is None:
            holder.terminate()
            try:
                holder.wait(timeout=20)
            except subprocess.TimeoutExpired:
                holder.kill()
                holder.wait(timeout=20)

    def run(self, args, timeout):
        """Runs wine64 with args; output goes to a file (Wine keeps pipes open).
        Returns (exit code, output text); exit code None on timeout."""
        self.runs += 1
        log = self.work / f"wine-run-{self.runs}.log"
        with open(log, "wb") as out:
            try:
                code = subprocess.run([self.wine64] + [str(a) for a in args], stdout=out, stderr=subprocess.STDOUT,
                                      stdin=subprocess.DEVNULL, env=self.env, cwd=self.work,
                                      timeout=timeout).returncode
            except subprocess.TimeoutExpired:
                code = None
        return code, log.read_text(errors="replace")

    def screenshot(self, name):
        if shutil.which("import") and self.env.get("DISPLAY"):
            subprocess.run(["import", "-window", "root", str(self.work / name)], env=self.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)


def parse_res(data):
    """Entries of a 32-bit .res file as dicts: type, name (int or str), lang, flags, data."""

    def read_id(pos):
        if struct.unpack_from("<H", data, pos)[0] == 0xFFFF:
            return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
        end = pos
        while struct.unpack_from("<H", data, end)[0] != 0:
            end += 2
        return data[pos:end].decode("utf-16-le"), end + 2

    entries = []
    pos = 0
    while pos + 8 <= len(data):
        size, header = struct.unpack_from("<II", data, pos)
        rtype, p = read_id(pos + 8)
        name, p = read_id(p)
        p = (p + 3) & ~3
        _, flags, lang = struct.unpack_from("<IHH", data, p)
        body = data[pos + header:pos + header + size]
        if len(body) != size:
            raise ValueError(f"entry at {pos} runs past the end")
        if not (size == 0 and rtype == 0 and name == 0):
            entries.append({"type": rtype, "name": name, "lang": lang, "flags": flags, "data": body})
        pos = (pos + header + size + 3) & ~3
    return entries


def version_entries(entries):
    return [e for e in entries if e["type"] == RT_VERSION]


def read_template(template_cpp):
    """The 28 template lines, taken from the product's source, joined by CR LF."""
    source = Path(template_cpp).read_text(encoding="utf-8")
    array = re.search(r"kLines\s*\{(.*?)\};", source, re.S)
    if not array:
        raise ValueError(f"no kLines array in {template_cpp}")
    lines = [re.sub(r'\\(.)', lambda m: {"t": "\t", '"': '"', "\\": "\\"}[m.group(1)], raw)
             for raw in re.findall(r'L"((?:[^"\\]|\\.)*)"', array.group(1))]
    text = "".join(line + "\r\n" for line in lines)
    if len(lines) != 28 or len(text) != 645:
        raise ValueError(f"template read as {len(lines)} lines, {len(text)} characters")
    return text


FIELD_KEYS = ["Comments", "CompanyName", "FileDescription", "LegalCopyright", "LegalTrademarks", "ProductName",
              "FileVersion", "ProductVersion", "InternalName", "OriginalFilename"]


def fill_template(template, values, file_version, product_version):
    """Fills the placeholders as the tool does: values go in as they are, the
    version lines get bare commas."""
    script = template
    for key in FIELD_KEYS:
        script = script.replace(f"({key})", values[key], 1)
    script = script.replace("FILEVERSION 1, 0, 0, 0", "FILEVERSION " + ",".join(map(str, file_version)), 1)
    script = script.replace("PRODUCTVERSION 1, 0, 0, 0", "PRODUCTVERSION " + ",".join(map(str, product_version)), 1)
    return script


def windres_dialect(script):
    """The same script as windres wants it: VALUE in capitals, a comma between
    the translation numbers, UTF-8 declared."""
    script = re.sub(r"^(\s*)Value ", r"\1VALUE ", script, flags=re.M)
    script = re.sub(r'("Translation",\s*)(\S+)\s+(\S+)', r"\1\2, \3", script)
    return "#pragma code_page(65001)\r\n" + script


def windres_compile(windres, rc_text, folder, stem, language=None):
    """Compiles rc_text (str) with windres into folder/stem.res; returns the parsed entries."""
    folder = Path(folder)
    rc = folder / f"{stem}.rc"
    res = folder / f"{stem}.res"
    prefix = f"LANGUAGE {language[0]:#x}, {language[1]:#x}\r\n" if language else ""
    rc.write_bytes((prefix + rc_text).encode("utf-8"))
    log = folder / f"{stem}.windres.log"
    with open(log, "wb") as out:
        code = subprocess.run([windres, "--input-format=rc", "--output-format=res", "-i", str(rc), "-o", str(res)],
                              stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, timeout=120).returncode
    if code != 0:
        raise RuntimeError(f"windres failed on {rc}:\n{log.read_text(errors='replace')}")
    return parse_res(res.read_bytes()), res


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b)) if len(a) != len(b) else None


def describe_difference(a, b, label_a, label_b):
    at = first_difference(a, b)
    if at is None:
        return "identical"
    start = max(0, at - 16) & ~15
    return (f"{label_a} {len(a)} bytes, {label_b} {len(b)} bytes, first difference at offset {at:#x}\n"
            f"  {label_a}: {a[start:at + 32].hex(' ')}\n  {label_b}: {b[start:at + 32].hex(' ')}")


def read_log(path):
    """The stand-in's events (ResHacker.events) as (tag, text) pairs."""
    path = Path(path)
    if not path.exists():
        return []
    pairs = []
    for line in path.read_text(encoding="utf-8", errors="replace").splitlines():
        tag, _, text = line.partition(": ")
        pairs.append((tag, text))
    return pairs


def read_editor_log(path):
    """ResHacker.log as the editor writes it: code page 932 (the ANSI code
    page of the tests' Wine), split at CR LF; None when there is none."""
    path = Path(path)
    if not path.exists():
        return None
    return path.read_bytes().decode("cp932", errors="replace").split("\r\n")


def escape_like_log(text):
    out = []
    for c in text:
        if c == "\\":
            out.append("\\\\")
        elif c == "\r":
            out.append("\\r")
        elif c == "\n":
            out.append("\\n")
        elif c == "\t":
            out.append("\\t")
        elif ord(c) < 0x20 or ord(c) == 0x7F:
            out.append(f"\\x{ord(c):02X}")
        else:
            out.append(c)
    return "".join(out)


def copy_standin(args, folder):
    """A private copy of the stand-in and the driver, so that the files beside it are this test's own;
    returns the stand-in, the driver and its events file."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    standin = folder / "ResHacker.exe"
    driver = folder / "StandinDriver.exe"
    shutil.copy2(args.standin, standin)
    shutil.copy2(args.driver, driver)
    return standin, driver, folder / "ResHacker.events"


def temp_name(folder, suffix):
    fd, name = tempfile.mkstemp(suffix=suffix, dir=folder)
    os.close(fd)
    return Path(name)

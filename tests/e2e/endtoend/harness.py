"""The pieces the end-to-end cases share: a Wine desktop of their own (an
Xvfb display and a Wine prefix that only these tests use), a fresh folder per
case laid out like an installation, the UI driver's scripts and results, the
stand-in's timing file, pefile readings of the version resource, and targets
made signed or with data appended after their image."""

import argparse
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[3]
sys.path.insert(0, str(REPO / "tests" / "e2e" / "standin"))
import e2e_common as common  # noqa: E402  (the stand-in's .res reader and events reader)

import pefile  # noqa: E402  (python3-pefile, importable from /usr/bin/python3)

RT_VERSION = 16
TICKS_PER_MS = 10_000  # FILETIME counts 100 ns


def arguments(description):
    parser = argparse.ArgumentParser(description=description)
    for name, what in [("quillmark", "Quillmark.exe"), ("initial-res", "initial.res beside it"),
                       ("standin", "the stand-in ResHacker.exe"), ("driver", "QuillmarkDriver.exe"),
                       ("plain", "a target without resources"),
                       ("versioned", "a target with an older version resource in 0x411, as initial.res"),
                       ("versioned-en", "a target with an older version resource in 0x409"),
                       ("prefix", "a Wine prefix used by these tests only"), ("work", "a scratch folder")]:
        parser.add_argument("--" + name, required=True, help=what)
    parser.add_argument("--case", required=True)
    return parser


class Failures:
    def __init__(self, name):
        self.name = name
        self.messages = []

    def check(self, condition, message):
        if not condition:
            self.messages.append(message)
            print("FAIL: " + message, flush=True)
        return bool(condition)

    def exit(self):
        if self.messages:
            print(f"{self.name}: {len(self.messages)} check(s) failed", flush=True)
            sys.exit(1)
        print(f"{self.name}: all checks passed", flush=True)
        sys.exit(0)


def fresh_folder(path):
    path = Path(path)
    if path.exists():
        # A read-only file left by an earlier run would stop rmtree elsewhere.
        for item in path.rglob("*"):
            if not item.is_symlink():
                item.chmod(0o755 if item.is_dir() else 0o644)
        shutil.rmtree(path)
    path.mkdir(parents=True)
    return path


windows_path = common.windows_path


class Desktop:
    """An Xvfb display and a Wine prefix of these tests. Everything started
    in it ends with close(): the prefix is private to these tests, so its
    wineserver may be killed."""

    def __init__(self, prefix, work):
        self.work = Path(work)
        self.prefix = Path(prefix).resolve()
        self.xvfb = None
        self.runs = 0
        self.env = None
        try:
            self._start()
        except BaseException:
            self.close()
            raise

    def _start(self):
        display = self._start_xvfb()
        env = dict(os.environ)
        env.pop("WINEPREFIX", None)
        env["DISPLAY"] = f":{display}"
        env["QUILLMARK_WINEPREFIX"] = str(self.prefix)
        env["QUILLMARK_SESSION_DIR"] = str(self.prefix.parent / (self.prefix.name + "-session"))
        # The locale, code page 932, quiet Wine and (once) the prefix with a
        # virtual desktop at 96 DPI come from the project's script.
        env_file = self.work / "wine-env.txt"
        with open(env_file, "wb") as out, open(self.work / "wine-env.log", "wb") as err:
            subprocess.run(["bash", "-c", 'source "$1" && env -0', "wine-env", str(REPO / "tools" / "wine-env.sh")],
                           stdout=out, stderr=err, stdin=subprocess.DEVNULL, env=env, timeout=600, check=True)
        self.env = dict(env)
        for item in env_file.read_bytes().split(b"\0"):
            if b"=" in item:
                key, value = item.split(b"=", 1)
                self.env[key.decode()] = value.decode(errors="replace")
        if Path(self.env.get("WINEPREFIX", "")).resolve() != self.prefix:
            raise RuntimeError(f"wine-env.sh chose the prefix {self.env.get('WINEPREFIX')}, not {self.prefix}")
        self.wine64 = self.env.get("QUILLMARK_WINE64", "/usr/lib/wine/wine64")
        # A case that was killed may have left its programs running, on a
        # display that is gone.
        self._end_wine()

    def _start_xvfb(self):
        for number in range(150, 250):
            if Path(f"/tmp/.X{number}-lock").exists() or Path(f"/tmp/.X11-unix/X{number}").exists():
                continue
            log = open(self.work / "xvfb.log", "wb")
            self.xvfb = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                         stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                         start_new_session=True, preexec_fn=end_with_parent)
            log.close()
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline and self.xvfb.poll() is None:
                if Path(f"/tmp/.X11-unix/X{number}").exists():
                    return number
                time.sleep(0.05)
            self._stop_xvfb()  # another one took the number first
        raise RuntimeError("no free X display for Xvfb")

    def _stop_xvfb(self):
        if self.xvfb is not None:
            if self.xvfb.poll() is None:
                self.xvfb.terminate()
                try:
                    self.xvfb.wait(10)
                except subprocess.TimeoutExpired:
                    self.xvfb.kill()
                    self.xvfb.wait(10)
            self.xvfb = None

    def run(self, args, timeout, name=None):
        """wine64 with args, output to a file; (exit code or None on timeout, output)."""
        self.runs += 1
        log = self.work / f"{name or 'wine-run'}-{self.runs}.log"
        with open(log, "wb") as out:
            process = subprocess.Popen([self.wine64] + [str(a) for a in args], stdout=out, stderr=subprocess.STDOUT,
                                       stdin=subprocess.DEVNULL, env=self.env, cwd=self.work)
            try:
                code = process.wait(timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(10)
                code = None
        return code, log.read_text(errors="replace")

    def screenshot(self, name):
        if self.env and shutil.which("import"):
            subprocess.run(["import", "-window", "root", str(self.work / name)], env=self.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)

    def _end_wine(self):
        for command in (["wineserver", "-k"], ["wineserver", "-w"]):
            try:
                subprocess.run(command, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               stdin=subprocess.DEVNULL, timeout=30)
            except subprocess.TimeoutExpired:
                pass

    def close(self):
        if self.env is not None:
            self._end_wine()
        self._stop_xvfb()


# The target kinds (each named by its argument: --versioned-en gives
# args.versioned_en) and the exit code that shows a target still runs.
TARGET_EXIT_CODES = {"plain": 7, "versioned": 8, "versioned_en": 9}


class Installation:
    """A case's folder: the program with initial.res, the stand-in in a folder
    of its own (its events, its log and its timing file land beside it), and
    one target."""

    def __init__(self, args, folder, target_kind, app_folder="app", editor_folder="editor", target_folder="target",
                 target_name="app.exe"):
        self.folder = fresh_folder(folder)
        self.app = self.folder / app_folder
        self.editor_dir = self.folder / editor_folder
        self.target_dir = self.folder / target_folder
        for d in (self.app, self.editor_dir, self.target_dir):
            d.mkdir(parents=True)
        self.quillmark = self.app / "Quillmark.exe"
        self.initial_res = self.app / "initial.res"
        self.ini = self.app / "Quillmark.ini"
        self.editor = self.editor_dir / "ResHacker.exe"
        self.events = self.editor_dir / "ResHacker.events"
        self.editor_log = self.editor_dir / "ResHacker.log"
        self.times = self.editor_dir / "ResHacker.times"
        self.target = self.target_dir / target_name
        self.backup = self.target_dir / (target_name[:-4] + "_original.exe")
        shutil.copyfile(args.quillmark, self.quillmark)
        shutil.copyfile(args.initial_res, self.initial_res)
        shutil.copyfile(args.standin, self.editor)
        if target_kind not in TARGET_EXIT_CODES:
            raise ValueError(f"unknown target kind {target_kind}")
        shutil.copyfile(getattr(args, target_kind), self.target)
        self.driver = Path(args.driver).resolve()
        self.original_target = self.target.read_bytes()
        self.original_initial_res = self.initial_res.read_bytes()
        self.scripts = 0

    def drive(self, desktop, lines, timeout=180):
        """Runs one driver script; returns the result lines as lists of fields."""
        self.scripts += 1
        script = self.folder / f"driver-{self.scripts}.txt"
        results = self.folder / f"driver-{self.scripts}.results.txt"
        script.write_bytes(("\n".join("\t".join(escape(str(f)) for f in line) for line in lines) + "\n").encode("utf-8"))
        if results.exists():
            results.unlink()
        code, output = desktop.run([self.driver, windows_path(script), windows_path(results)], timeout,
                                   name=f"driver-{self.scripts}")
        text = results.read_bytes().decode("utf-8") if results.exists() else ""
        rows = [[unescape(f) for f in line.split("\t")] for line in text.splitlines()]
        return DriverRun(code, rows, output)


def escape(field):
    return field.replace("\\", "\\\\").replace("\t", "\\t").replace("\r", "\\r").replace("\n", "\\n")


def unescape(field):
    out, i = [], 0
    while i < len(field):
        c = field[i]
        if c == "\\" and i + 1 < len(field):
            i += 1
            out.append({"t": "\t", "r": "\r", "n": "\n"}.get(field[i], field[i]))
        else:
            out.append(c)
        i += 1
    return "".join(out)


class DriverRun:
    def __init__(self, code, rows, output):
        self.code = code
        self.rows = rows
        self.output = output

    def ok(self):
        return self.code == 0 and all(len(r) > 1 and r[1] == "ok" for r in self.rows)

    def describe(self):
        shown = "\n".join("  " + " | ".join(r) for r in self.rows)
        return f"driver exit {self.code}; results:\n{shown}\n  output: {self.output.strip()[:2000]}"

    def all(self, command):
        return [r for r in self.rows if r[0] == command]

    def first(self, command):
        found = self.all(command)
        return found[0] if found else None

    def boxes(self):
        """{(name, index): text} from the get lines."""
        return {(r[2], int(r[3])): r[4] for r in self.all("get") if len(r) >= 5 and r[1] == "ok"}

    def marks(self):
        return {r[2]: int(r[3]) for r in self.all("time-mark") if len(r) >= 4}


def editor_runs(times_file):
    """[(start ticks, exit ticks or None, pid)] of the stand-in's processes, in start order."""
    if not Path(times_file).exists():
        return []
    started = {}
    order = []
    for line in Path(times_file).read_text(encoding="utf-8").splitlines():
        parts = line.split()
        if len(parts) != 3:
            continue
        event, ticks, pid = parts[0], int(parts[1]), parts[2]
        if event == "start":
            started[pid] = [ticks, None]
            order.append(pid)
        elif event == "exit" and pid in started:
            started[pid][1] = ticks
    return [(started[p][0], started[p][1], p) for p in order]


def press_timing(press_ticks, end_ticks, runs):
    """(total ms, editor ms, overhead ms) of a press from the driver's marks
    and the stand-in's processes that started within it."""
    inside = [(s, e) for s, e, _ in runs if press_ticks <= s <= end_ticks and e is not None]
    total = (end_ticks - press_ticks) / TICKS_PER_MS
    editor = sum(e - s for s, e in inside) / TICKS_PER_MS
    return total, editor, total - editor, len(inside)


class VersionReading:
    """The version resource of an executable as pefile reads it."""

    def __init__(self, path):
        pe = pefile.PE(str(path))
        self.entries = []  # (type, name, language, data bytes)
        if hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
            for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
                for name in rtype.directory.entries:
                    for lang in name.directory.entries:
                        rva, size = lang.data.struct.OffsetToData, lang.data.struct.Size
                        tkey = rtype.id if rtype.id is not None else str(rtype.name)
                        nkey = name.id if name.id is not None else str(name.name)
                        self.entries.append((tkey, nkey, lang.id, pe.get_data(rva, size)))
        self.fixed = pe.VS_FIXEDFILEINFO[0] if getattr(pe, "VS_FIXEDFILEINFO", None) else None
        self.string_tables = {}  # lang-codepage text -> {key: value}
        self.translations = []
        for info in getattr(pe, "FileInfo", None) or []:
            for block in info:
                key = block.Key.decode() if isinstance(block.Key, bytes) else block.Key
                if key == "StringFileInfo":
                    for table in block.StringTable:
                        lang = table.LangID.decode() if isinstance(table.LangID, bytes) else table.LangID
                        self.string_tables[lang.upper()] = {
                            (k.decode("utf-8") if isinstance(k, bytes) else k):
                            (v.decode("utf-8") if isinstance(v, bytes) else v)
                            for k, v in table.entries.items()}
                elif key == "VarFileInfo":
                    for var in block.Var:
                        for _, value in var.entry.items():
                            self.translations.append(value)
        pe.close()

    def versions(self):
        """((file major, minor, third, rev), (product ...)) from the fixed part."""
        f = self.fixed
        if f is None:
            return None

        def split(ms, ls):
            return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

        return split(f.FileVersionMS, f.FileVersionLS), split(f.ProductVersionMS, f.ProductVersionLS)

    def version_entries(self):
        return [e for e in self.entries if e[0] == RT_VERSION]


# --- signed targets and appended data ------------------------------------

IMAGE_DIRECTORY_ENTRY_SECURITY = 4


def security_directory(path):
    """(file offset, size) of the certificate table; (0, 0) without one."""
    pe = pefile.PE(str(path), fast_load=True)
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[IMAGE_DIRECTORY_ENTRY_SECURITY]
    found = (entry.VirtualAddress, entry.Size)  # this one entry holds a file offset, not an RVA
    pe.close()
    return found if found[1] else (0, 0)


def image_end(path):
    """Where the image ends in the file: past the headers and the raw data of
    every section. The certificate table does not count."""
    pe = pefile.PE(str(path), fast_load=True)
    end = max([pe.OPTIONAL_HEADER.SizeOfHeaders] +
              [s.PointerToRawData + s.SizeOfRawData for s in pe.sections if s.SizeOfRawData])
    pe.close()
    return end


def overlay(path):
    """The bytes after the image end, less the certificate table when it is
    the file's last part."""
    data = Path(path).read_bytes()
    start = image_end(path)
    offset, size = security_directory(path)
    end = offset if size and offset >= start and offset + size == len(data) else len(data)
    return data[start:end]


def append_data(path, n):
    """Appends n bytes of a pattern that no image holds; returns them."""
    stamp = b"Quillmark appended data "
    data = (stamp * (n // len(stamp) + 1))[:n]
    with open(path, "ab") as out:
        out.write(data)
    return data


def signing_certificate(work):
    """A throwaway self-signed code-signing certificate and its key, made once
    in work/signing."""
    folder = Path(work) / "signing"
    cert, key = folder / "cert.pem", folder / "key.pem"
    if not cert.exists():
        folder.mkdir(parents=True, exist_ok=True)
        run_tool(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                  "-days", "7", "-subj", "/CN=Quillmark end-to-end test signer",
                  "-addext", "keyUsage=critical,digitalSignature", "-addext", "extendedKeyUsage=codeSigning"],
                 folder / "openssl.log")
    return cert, key


def sign(path, work):
    """A copy of path signed for real (osslsigncode, sha256, no timestamp),
    as work/signed/<name>; raises when the copy has no certificate table."""
    path = Path(path)
    cert, key = signing_certificate(work)
    folder = Path(work) / "signed"
    folder.mkdir(parents=True, exist_ok=True)
    signed = folder / path.name
    if signed.exists():
        signed.unlink()
    run_tool(["osslsigncode", "sign", "-certs", cert, "-key", key, "-h", "sha256", "-n", "Quillmark e2e target",
              "-in", path, "-out", signed], folder / (path.name + ".osslsigncode.log"))
    if security_directory(signed)[1] == 0:
        raise RuntimeError(f"osslsigncode left {signed} without a certificate table")
    return signed


def run_tool(args, log):
    """A Linux tool with its output in log; raises with that output when it fails."""
    with open(log, "wb") as out:
        code = subprocess.run([str(a) for a in args], stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                              timeout=120).returncode
    if code != 0:
        raise RuntimeError(f"{args[0]} failed ({code}):\n{Path(log).read_text(errors='replace')}")


def end_with_parent():
    """In the child before exec: the X server goes when the test's process
    goes, even when it is killed without a chance to clean up."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def stop_on_term(signum, frame):
    raise SystemExit(f"stopped by signal {signum}")  # runs the cases' clean-up


signal.signal(signal.SIGTERM, stop_on_term)

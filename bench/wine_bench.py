"""The measurements of bench/run.sh that need Wine, on a desktop of their own
(an Xvfb display and a Wine prefix that only the benchmark uses), written to
a JSON file:

- presses: the real Quillmark.exe pressed through its window by the e2e UI
  driver against the stand-in editor; per press the driver's click and its
  seeing the window enabled again, and each editor process's creation and exit
  as the system records them (the driver holds a handle on every process the
  program starts), with the stand-in's own marks inside them (main entry, its
  window up, the first key, the end of its main);
- the program's peak working set after the presses, and its resident memory
  by mapping (/proc/<pid>/smaps of the Wine process);
- presses on a target with 50 MB appended: what the checks around a press
  cost on a file of that size (see measure_big_presses);
- presses whose target keeps a version resource in 0409, the question about
  it answered No and Yes: what the -delete run and its checks add;
- start-up: Quillmark.exe against a minimal one-window program, the same
  program with Quillmark's DLL imports and manifest, and that one with
  Quillmark's controls as well, alternating, from just before CreateProcess
  to the window's being visible.

    /usr/bin/python3 bench/wine_bench.py --build build/mingw64 --work DIR --prefix DIR --out FILE
"""

import argparse
import json
import re
import subprocess
import sys
import time
from pathlib import Path
from types import SimpleNamespace

sys.dont_write_bytecode = True  # nothing lands in the source tree
REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e" / "endtoend"))
import harness as h  # noqa: E402  (the e2e cases' Wine desktop, installation and driver)

W = h.windows_path
TICKS_PER_MS = h.TICKS_PER_MS
WAIT_MS = 60000
MINIMAL_CLASS = "QuillmarkBenchMinimalWindow"


def fill_lines(inst):
    lines = [["set", "txtResHack", -1, W(inst.editor)], ["set", "txtExe", -1, W(inst.target)]]
    texts = ["benchmark", "Quillmark ベンチ", "計測", "(c) 2026", "TM", "Quillmark", "", "", "bench", "app.exe"]
    lines += [["set", "txtInfo", i, t] for i, t in enumerate(texts) if i not in (6, 7)]
    lines += [["set", "txtFileVer", i, n] for i, n in enumerate(["1", "2", "3"])]
    lines += [["set", "txtProductVer", i, n] for i, n in enumerate(["12", "34", "5678"])]
    return lines


def stand_in_marks(times_file):
    """{(pid, created ticks): {event: ticks}} from ResHacker.times; a
    process's marks follow its "created" line."""
    marks, current = {}, {}
    for line in Path(times_file).read_text(encoding="utf-8").splitlines():
        parts = line.split()
        if len(parts) != 3:
            continue
        event, ticks, pid = parts[0], int(parts[1]), parts[2]
        if event == "created":
            current[pid] = {}
            marks[(pid, ticks)] = current[pid]
        elif pid in current:
            current[pid].setdefault(event, ticks)
    return marks


def drive_watching(desktop, inst, lines, when, action, timeout=600):
    """inst.drive, and action() once the results so far satisfy when(rows)."""
    inst.scripts += 1
    script = inst.folder / f"driver-{inst.scripts}.txt"
    results = inst.folder / f"driver-{inst.scripts}.results.txt"
    script.write_bytes(("\n".join("\t".join(h.escape(str(f)) for f in line) for line in lines) + "\n")
                       .encode("utf-8"))
    log = inst.folder / f"driver-{inst.scripts}.log"

    def rows():
        text = results.read_bytes().decode("utf-8", errors="replace") if results.exists() else ""
        return [[h.unescape(f) for f in line.split("\t")] for line in text.splitlines()]

    with open(log, "wb") as out:
        process = subprocess.Popen([desktop.wine64, inst.driver, W(script), W(results)], stdout=out,
                                   stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, env=desktop.env,
                                   cwd=desktop.work)
        deadline = time.monotonic() + timeout
        done = False
        while process.poll() is None and time.monotonic() < deadline:
            if not done and when(rows()):
                action()
                done = True
            time.sleep(0.02)
        if process.poll() is None:
            process.kill()
        code = process.wait(10)
    return h.DriverRun(code, rows(), log.read_text(errors="replace"))


def resident_by_mapping(prefix):
    """{kind of mapping: resident KB} of the running Quillmark.exe of this
    prefix, from /proc/<pid>/smaps."""
    pid = None
    for entry in Path("/proc").iterdir():
        try:
            if entry.name.isdigit() and (entry / "comm").read_text().strip() == "Quillmark.exe" and \
                    f"WINEPREFIX={prefix}".encode() in (entry / "environ").read_bytes().split(b"\0"):
                pid = entry
                break
        except OSError:
            continue
    if pid is None:
        return {}
    kinds, kind = {}, None
    for line in (pid / "smaps").read_text(errors="replace").splitlines():
        fields = line.split()
        if re.match(r"^[0-9a-f]+-[0-9a-f]+ ", line):
            kind = mapping_kind(fields[5] if len(fields) > 5 else "")
        elif fields and fields[0] == "Rss:" and kind is not None:
            kinds[kind] = kinds.get(kind, 0) + int(fields[1])
    return kinds


def mapping_kind(path):
    name = path.lower()
    if name.endswith("quillmark.exe"):
        return "Quillmark.exe, pages mapped from its file (Wine copies the rest: anonymous)"
    if "/x86_64-windows/" in name or name.endswith((".dll", ".drv", ".exe")):
        return "Wine's Windows-side DLLs"
    if "/fonts/" in name or name.endswith((".ttf", ".ttc", ".otf", ".fon")):
        return "fonts"
    if ".so" in name:
        return "Unix libraries (Wine's .so, X11, freetype, libc...)"
    if not name or name.startswith("[") or name.startswith("/memfd:") or name.startswith("/dev/zero"):
        return "anonymous: heaps, stacks, Wine's own tables"
    return "other files (Wine's shared memory, locale data...)"


def measure_presses(desktop, args, work, presses):
    inst = h.Installation(args, work / "press", "plain")
    lines = [["start", W(inst.quillmark)], ["wait-window", WAIT_MS], ["watch-children"]] + fill_lines(inst)
    # One press more than measured: the first one's files come from the disk.
    for _ in range(presses + 1):
        lines += [["sleep", 200], ["click", "Command1", -1], ["wait-press-end", WAIT_MS], ["children"],
                  ["wait-idle", WAIT_MS]]
    # The pause after `memory` leaves time to read the program's mappings.
    lines += [["memory"], ["sleep", 3000], ["close"], ["wait-exit", WAIT_MS]]
    rss = {}
    run = drive_watching(desktop, inst, lines, lambda rows: any(r[0] == "memory" for r in rows),
                         lambda: rss.update(resident_by_mapping(desktop.prefix)))
    if not run.ok():
        raise RuntimeError("the press run failed:\n" + run.describe())

    marks = stand_in_marks(inst.times)
    clicks = [int(r[3]) for r in run.all("click")]
    ends = [(r[2], int(r[3])) for r in run.all("wait-press-end")]
    # The "child" rows of each press precede its "children" row.
    groups, group = [], []
    for row in run.rows:
        if row[0] == "child":
            group.append({"pid": row[2], "created": int(row[3]), "exited": int(row[4]), "code": int(row[5])})
        elif row[0] == "children":
            groups.append((group, int(row[3])))
            group = []
    result = []
    for n, (click, (how, end), (children, missed)) in enumerate(zip(clicks, ends, groups)):
        press = {"click": click, "end": end, "how": how, "missed": missed, "processes": []}
        for child in sorted(children, key=lambda c: c["created"]):
            child["marks"] = marks.get((child["pid"], child["created"]), {})
            press["processes"].append(child)
        press["warm-up"] = n == 0
        result.append(press)
    memory = run.first("memory")
    return inst, result, {"peak": int(memory[2]), "current": int(memory[3]), "private": int(memory[4])}, rss


BIG_APPENDED = 50 * 1024 * 1024
BOX_BASELINE_PRESSES = 5


def measure_big_presses(desktop, args, work, presses):
    """Presses on a target with 50 MB appended, as an installer carries its
    payload, against a stand-in that keeps the payload after the image: the
    checks read the headers before, and the whole payload of the target and of
    the backup after. The question about the appended data is answered Yes;
    the time the box waits for that answer is marked, so that it can be left
    out of the press."""
    inst = h.Installation(args, work / "big-press", "versioned")
    h.append_data(inst.target, BIG_APPENDED)
    (inst.editor_dir / "ResHacker.faults").write_text("keep-appended\n", encoding="utf-8")
    lines = [["start", W(inst.quillmark)], ["wait-window", WAIT_MS], ["watch-children"]] + fill_lines(inst)
    # What a message box costs by itself: presses that stop at the range
    # check, before any file is read.
    for _ in range(BOX_BASELINE_PRESSES):
        lines += [["set", "txtFileVer", 0, "100"], ["sleep", 200], ["click", "Command1", -1],
                  ["wait-press-end", WAIT_MS], ["message-box", WAIT_MS, "ok"], ["wait-idle", WAIT_MS],
                  ["set", "txtFileVer", 0, "1"]]
    for _ in range(presses + 1):
        lines += [["sleep", 200], ["click", "Command1", -1], ["wait-press-end", WAIT_MS],
                  ["message-box", WAIT_MS, "yes"], ["time-mark", "answered"], ["wait-press-end", WAIT_MS],
                  ["children"], ["no-message-box", 200], ["wait-idle", WAIT_MS]]
    lines += [["close"], ["wait-exit", WAIT_MS]]
    run = inst.drive(desktop, lines, timeout=1200)
    if not run.ok():
        raise RuntimeError("the 50 MB press run failed:\n" + run.describe())
    clicks = [int(r[3]) for r in run.all("click")]
    ends = [int(r[3]) for r in run.all("wait-press-end")]
    answered = [int(r[3]) for r in run.all("time-mark")]
    groups, group = [], []
    for row in run.rows:
        if row[0] == "child":
            group.append({"pid": row[2], "created": int(row[3]), "exited": int(row[4]), "code": int(row[5])})
        elif row[0] == "children":
            groups.append((sorted(group, key=lambda c: c["created"]), int(row[3])))
            group = []
    boxes = [end - click for click, end in zip(clicks[:BOX_BASELINE_PRESSES], ends)]
    clicks, ends = clicks[BOX_BASELINE_PRESSES:], ends[BOX_BASELINE_PRESSES:]
    result = []
    for n, (click, (children, missed)) in enumerate(zip(clicks, groups)):
        result.append({"click": click, "asked": ends[2 * n], "answered": answered[n], "end": ends[2 * n + 1],
                       "box-alone": sorted(boxes)[len(boxes) // 2],
                       "missed": missed, "processes": children, "warm-up": n == 0,
                       "target-size": inst.target.stat().st_size})
    return result


def measure_delete_presses(desktop, args, work, presses):
    """Presses on a target whose version resource is in 0409: the question
    about the language left behind answered No (three editor runs), then Yes
    (a fourth, the -delete run, and the read-backs of its work file and of
    the target). Each press on a fresh copy, the time the question waits for
    its answer left out; the first of each answer warms the disk up."""
    result = []
    for answer in ("no", "yes"):
        for n in range(presses + 1):
            inst = h.Installation(args, work / f"delete-{answer}-{n}", "versioned_en")
            lines = [["start", W(inst.quillmark)], ["wait-window", WAIT_MS], ["watch-children"]] + fill_lines(inst)
            lines += [["sleep", 200], ["click", "Command1", -1], ["wait-press-end", WAIT_MS],
                      ["message-box", WAIT_MS, answer], ["time-mark", "answered"], ["wait-idle", WAIT_MS],
                      ["children"], ["no-message-box", 200], ["close"], ["wait-exit", WAIT_MS]]
            run = inst.drive(desktop, lines)
            if not run.ok():
                raise RuntimeError(f"the delete press run ({answer}) failed:\n" + run.describe())
            # the window takes input again once the press has ended
            result.append({"answer": answer, "click": int(run.first("click")[3]),
                           "asked": int(run.first("wait-press-end")[3]),
                           "answered": int(run.first("time-mark")[3]), "end": int(run.first("wait-idle")[2]),
                           "processes": len(run.all("child")), "warm-up": n == 0})
    return result


def measure_start_up(desktop, args, work, inst, runs):
    """Quillmark.exe starts from the installation the presses used, so that
    it restores real settings (a missing editor or target would stop the
    start with a message)."""
    folder = h.fresh_folder(work / "start")
    minimal = folder / "MinimalWindow.exe"
    minimal.write_bytes(Path(args.minimal).read_bytes())
    same_dlls = folder / "MinimalWindowSameDlls.exe"
    same_dlls.write_bytes(Path(args.minimal_same_dlls).read_bytes())
    same_controls = folder / "MinimalWindowSameControls.exe"
    same_controls.write_bytes(Path(args.minimal_same_controls).read_bytes())
    results = folder / "starts.txt"
    code, output = desktop.run([args.probe, W(results), runs, W(inst.quillmark), "QuillmarkMainWindow", W(minimal),
                                MINIMAL_CLASS, W(same_dlls), MINIMAL_CLASS, W(same_controls), MINIMAL_CLASS], 600,
                               name="startup-probe")
    starts = []
    if results.exists():
        for line in results.read_text(encoding="utf-8").splitlines():
            name, run, launch, created, visible, peak, exit_code = line.split()
            starts.append({"program": name, "run": int(run), "launch": int(launch), "created": int(created),
                           "visible": int(visible), "peak": int(peak), "code": int(exit_code)})
    if code != 0:
        raise RuntimeError(f"the start-up probe exited with {code}: {output.strip()[:2000]}")
    return starts


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True, help="the mingw64 build folder")
    parser.add_argument("--work", required=True, help="a scratch folder of the benchmark")
    parser.add_argument("--prefix", required=True, help="a Wine prefix only the benchmark uses")
    parser.add_argument("--out", required=True, help="the JSON file to write")
    parser.add_argument("--presses", type=int, default=10)
    parser.add_argument("--starts", type=int, default=10)
    parser.add_argument("--big-presses", type=int, default=5)
    parser.add_argument("--delete-presses", type=int, default=5)
    options = parser.parse_args()
    build = Path(options.build).resolve()
    args = SimpleNamespace(
        quillmark=build / "Quillmark.exe", initial_res=build / "initial.res",
        standin=build / "tests/e2e/ResHacker.exe", driver=build / "tests/e2e/driver/QuillmarkDriver.exe",
        plain=build / "tests/e2e/plain.exe", versioned=build / "tests/e2e/versioned.exe",
        versioned_en=build / "tests/e2e/versioned_en.exe",
        minimal=build / "bench/MinimalWindow.exe", minimal_same_dlls=build / "bench/MinimalWindowSameDlls.exe",
        minimal_same_controls=build / "bench/MinimalWindowSameControls.exe",
        probe=build / "bench/StartupProbe.exe")
    for path in vars(args).values():
        if not Path(path).is_file():
            sys.exit(f"wine_bench: {path} is missing; build the mingw64 preset first")

    work = h.fresh_folder(options.work)
    started = time.monotonic()
    load = [Path("/proc/loadavg").read_text().split()[0]]
    desktop = h.Desktop(options.prefix, work)
    try:
        print(f"wine_bench: Wine desktop ready in {time.monotonic() - started:.1f} s", flush=True)
        inst, presses, memory, rss = measure_presses(desktop, args, work, options.presses)
        print(f"wine_bench: {len(presses)} presses done at {time.monotonic() - started:.1f} s", flush=True)
        big_presses = measure_big_presses(desktop, args, work, options.big_presses)
        print(f"wine_bench: {len(big_presses)} presses on 50 MB done at {time.monotonic() - started:.1f} s",
              flush=True)
        delete_presses = measure_delete_presses(desktop, args, work, options.delete_presses)
        print(f"wine_bench: {len(delete_presses)} presses with the language question done at "
              f"{time.monotonic() - started:.1f} s", flush=True)
        starts = measure_start_up(desktop, args, work, inst, options.starts)
        print(f"wine_bench: {len(starts)} starts done at {time.monotonic() - started:.1f} s", flush=True)
    finally:
        desktop.close()
    load.append(Path("/proc/loadavg").read_text().split()[0])
    Path(options.out).write_text(json.dumps({"presses": presses, "big-presses": big_presses,
                                             "delete-presses": delete_presses, "memory": memory, "rss": rss, "starts": starts, "load": load}, indent=1),
                                 encoding="utf-8")


if __name__ == "__main__":
    main()

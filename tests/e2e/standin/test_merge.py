"""The stand-in's two merge verbs, run hidden from the exact command lines
the tool builds, on a target without a version resource (the add case), one
with an older version resource in the language of initial.res (the change
case) and one with it in another language; then the merge faults the stand-in
can play, the -delete verb, and a command line through the ANSI code page.
The results are read back with pefile; each run's ResHacker.log is checked
line by line, and its exit code: 0, as the real editor's, unless the
exit-codes fault asks for the old ones."""

import datetime
import hashlib
import shutil
from pathlib import Path

import pefile

import e2e_common as c

INITIAL_VALUES = {key: f"{key} value" for key in c.FIELD_KEYS}


def pe_resources(path):
    """{(type, name): {lang: bytes}} of a PE file; ids are ints, names strings."""
    pe = pefile.PE(str(path))
    found = {}
    directory = pe.DIRECTORY_ENTRY_RESOURCE.entries if hasattr(pe, "DIRECTORY_ENTRY_RESOURCE") else []
    for rtype in directory:
        type_id = str(rtype.name) if rtype.name is not None else rtype.id
        for rname in rtype.directory.entries:
            name_id = str(rname.name) if rname.name is not None else rname.id
            for rlang in rname.directory.entries:
                entry = rlang.data.struct
                found.setdefault((type_id, name_id), {})[rlang.id] = pe.get_data(entry.OffsetToData, entry.Size)
    pe.close()
    return found


def after_image(path):
    """The bytes past the headers and every section's raw data."""
    pe = pefile.PE(str(path), fast_load=True)
    end = max([pe.OPTIONAL_HEADER.SizeOfHeaders] +
              [s.PointerToRawData + s.SizeOfRawData for s in pe.sections if s.SizeOfRawData])
    pe.close()
    return Path(path).read_bytes()[end:]


def resource_directory(data):
    """(RVA, Size) of a program's resource data directory."""
    pe = pefile.PE(data=data, fast_load=True)
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]]
    found = entry.VirtualAddress, entry.Size
    pe.close()
    return found


def resource_section(data):
    """The raw bytes of the section that holds the resource directory."""
    pe = pefile.PE(data=data, fast_load=True)
    section = pe.get_section_by_rva(resource_directory(data)[0])
    raw = data[section.PointerToRawData:section.PointerToRawData + section.SizeOfRawData]
    pe.close()
    return raw


def with_resource_size(data, size):
    """The program with its resource directory's Size field set to size."""
    pe = pefile.PE(data=data, fast_load=True)
    offset = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]] \
        .get_file_offset() + 4
    pe.close()
    return data[:offset] + size.to_bytes(4, "little") + data[offset + 4:]


def digest(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


class Merger:
    def __init__(self, wine, standin, driver, folder, res, log_path):
        self.wine, self.standin, self.driver, self.folder, self.res = wine, standin, driver, folder, res
        self.log_path = log_path
        self.editor_log = standin.parent / "ResHacker.log"
        self.count = 0
        self.last_log = []
        self.last_editor_log = None

    def run(self, verb, src, dst, res=None, tail=" ,,,", wait_ms=60000):
        """Runs the stand-in hidden through the driver with the tool's layout:
        "editor" -verb src, dst, "res" ,,,  Returns the stand-in's exit code,
        or the driver's DID_NOT_END when it ended it after wait_ms."""
        return self.launch(f'-{verb} {c.windows_path(src)}, {c.windows_path(dst)}, '
                           f'"{c.windows_path(res or self.res)}"{tail}', wait_ms)

    def delete(self, src, dst, mask):
        """"editor" -delete src, dst, mask  as the tool writes it."""
        return self.launch(f"-delete {c.windows_path(src)}, {c.windows_path(dst)}, {mask}")

    def launch(self, operands, wait_ms=60000):
        """last_log then holds the events of this run, last_line its command line,
        last_editor_log the lines of ResHacker.log after it."""
        self.count += 1
        self.last_operands = operands.strip()
        self.last_line = f'"{c.windows_path(self.standin)}" {operands}'
        cmd = self.folder / f"merge-{self.count}.cmdline"
        cmd.write_text(self.last_line, encoding="utf-8")
        logged = len(c.read_log(self.log_path))
        code, output = self.wine.run([self.driver, "launch", c.windows_path(cmd), wait_ms], timeout=180)
        self.last_log = c.read_log(self.log_path)[logged:]
        self.last_editor_log = c.read_editor_log(self.editor_log)
        print(f"run {self.count}: {operands.split()[0]} -> {code}")
        print(output.rstrip())
        print(f"ResHacker.log: {self.last_editor_log}")
        return code

    def check_editor_log(self, failures, what, results, command_line=None):
        """ResHacker.log as this run left it: the time, the command line, the
        result lines, each ended by CR LF; results None: not written by it."""
        lines = self.last_editor_log
        # As the real editor logs it: its own path quoted, the operands without their quotes.
        command_line = f'"{c.windows_path(self.standin)}" ' + (command_line or self.last_operands).replace('"', "")
        if results is None:
            failures.check(lines is None or lines[1:2] != [command_line],
                           f"{what}: ResHacker.log was written: {lines}")
            return
        if not failures.check(lines is not None and len(lines) >= 3, f"{what}: ResHacker.log holds {lines}"):
            return
        try:
            logged = datetime.datetime.strptime(lines[0], "[%d %b %Y, %H:%M:%S]")
            late = abs((datetime.datetime.now() - logged).total_seconds())
        except ValueError:
            late = None
        failures.check(late is not None and late < 600, f"{what}: ResHacker.log's time line {lines[0]!r}")
        failures.check(lines[1:] == [command_line] + results + [""],
                       f"{what}: ResHacker.log holds {lines[1:]}, expected {[command_line] + results + ['']}")


ADDED, MODIFIED = "  Added: VERSIONINFO,1,1041", "  Modified: VERSIONINFO,1,1041"
COMPLETED = ["", "Commands completed"]
NO_MATCH = "Error: No matching resource found."
OLD, NEW = "old", "new"  # a version item as the target had it, or as initial.res holds it
VERSION_NAME = (c.RT_VERSION, 1)
RESULT_TEXTS = {True: "1 resource(s) merged", False: "nothing to do; destination untouched"}

# An item is a type, a name and a language. Each press runs -addskip, then
# -modify, both with the backup as the source and the target as the
# destination; whether each run merged, and the version languages after it.
# The exit code is 0, or with exit-codes 0 when it merged and 1 when not.
MERGE_CASES = [
    # case, target kind, its exit code, faults, version languages before, [(verb, merged, version languages after)]
    ("add", "plain", 7, "exit-codes\n", {}, [("addskip", True, {0x0411: NEW}), ("modify", False, {0x0411: NEW})]),
    ("change", "versioned", 8, "", {0x0411: OLD},
     [("addskip", False, {0x0411: OLD}), ("modify", True, {0x0411: NEW})]),
    # The backup has no 0x411 item of its own, so -modify finds nothing to
    # replace and leaves what -addskip made: both languages.
    ("other language", "versioned_en", 9, "", {0x0409: OLD},
     [("addskip", True, {0x0409: OLD, 0x0411: NEW}), ("modify", False, {0x0409: OLD, 0x0411: NEW})]),
]

# What a fault makes of the destination, from its bytes before and the bytes
# the same run makes without faults.
OUTCOMES = {
    "untouched": lambda before, normal: before,
    "merged": lambda before, normal: normal,
    "cut": lambda before, normal: before[:len(before) // 2],
    "merged, then cut": lambda before, normal: normal[:len(normal) // 2],
    # The new resource section after the source's image; the headers do not point at it.
    "invisible": lambda before, normal: before + resource_section(normal),
    "stale size": lambda before, normal: with_resource_size(normal, resource_directory(before)[1]),
}
# Not a byte image: the destination holds the version item of initial.res and nothing else.
ONLY_TAKEN = "only the taken item"
DID_NOT_END = 15  # StandinDriver's exit code for an editor it had to terminate
HANG_WAIT_MS = 3000

FAULT_CASES = [
    # ResHacker.faults, its "faults" log line, verb, target kind, exit code, outcome, ResHacker.log's result lines
    ("merge-nothing\n", "merge-nothing", "addskip", "plain", 0, "untouched", COMPLETED),
    ("# a comment\r\nmerge-nothing\r\n", "merge-nothing", "modify", "versioned", 0, "untouched", COMPLETED),
    ("merge-truncate\n", "merge-truncate", "modify", "versioned", 0, "merged, then cut", [MODIFIED]),
    ("merge-truncate\n", "merge-truncate", "modify", "plain", 0, "cut", COMPLETED),
    ("merge-truncate\n", "merge-truncate", "addskip", "plain", 0, "merged", [ADDED]),
    ("no-such-fault\n", "none; unknown: no-such-fault", "addskip", "plain", 0, "merged", [ADDED]),
    # The driver ends a hanging editor after HANG_WAIT_MS, as the tool does; it writes no log.
    ("merge-hang\n", "merge-hang", "modify", "versioned", DID_NOT_END, "untouched", None),
    ("merge-hang\n", "merge-hang", "addskip", "plain", 0, "merged", [ADDED]),
    ("merge-drop-others\n", "merge-drop-others", "addskip", "versioned_en", 0, ONLY_TAKEN, [ADDED]),
    ("merge-drop-others\n", "merge-drop-others", "modify", "versioned", 0, ONLY_TAKEN, [MODIFIED]),
    ("merge-drop-others\nexit-codes\n", "merge-drop-others, exit-codes", "modify", "plain", 1, "untouched",
     COMPLETED),
    # Logged as added, yet Windows finds no version resource; or found only by a walk that ignores the size.
    ("addskip-invisible\n", "addskip-invisible", "addskip", "plain", 0, "invisible", [ADDED]),
    ("addskip-stale-size\n", "addskip-stale-size", "addskip", "versioned_en", 0, "stale size", [ADDED]),
    ("addskip-stale-size\n", "addskip-stale-size", "modify", "versioned", 0, "merged", [MODIFIED]),
]

DELETE_CASES = [
    # mask, target kind, faults, destination, exit code, the item gone, ResHacker.log's result line
    ("VERSIONINFO,1,1033", "versioned_en", "", "other", 0, (VERSION_NAME, 0x0409), "  Deleted: VERSIONINFO,1,1033"),
    ("16, 1, 1033", "versioned_en", "exit-codes\n", "other", 0, (VERSION_NAME, 0x0409),
     "  Deleted: VERSIONINFO,1,1033"),
    ("rcdata,keepme,0", "versioned", "", "other", 0, ((c.RT_RCDATA, "KEEPME"), 0), "  Deleted: RCDATA,KEEPME,0"),
    ("VERSIONINFO,1,1041", "versioned", "", "same", 0, (VERSION_NAME, 0x0411), "  Deleted: VERSIONINFO,1,1041"),
    ("VERSIONINFO,1,1041", "versioned", "keep-appended\n", "other", 0, (VERSION_NAME, 0x0411),
     "  Deleted: VERSIONINFO,1,1041"),
    ("VERSIONINFO,1,1041", "versioned_en", "exit-codes\n", "other", 1, None, NO_MATCH),
    ("VERSIONINFO,2,1033", "versioned_en", "", "other", 0, None, NO_MATCH),
    ("ICON,1,1033", "plain", "exit-codes\n", "other", 1, None, NO_MATCH),
    # A failure reported after the work is done: only an exit code can tell it.
    ("VERSIONINFO,1,1033", "versioned_en", "delete-exit-1\n", "other", 0, (VERSION_NAME, 0x0409),
     "  Deleted: VERSIONINFO,1,1033"),
    ("VERSIONINFO,1,1033", "versioned_en", "delete-exit-1\nexit-codes\n", "other", 1, (VERSION_NAME, 0x0409),
     "  Deleted: VERSIONINFO,1,1033"),
]
APPENDED = b"payload after the image " * 100

# A folder name outside code page 932 and what an editor built for it sees
# of it: Wine's best fit for the 932 code page, as Windows' does.
ANSI_FOLDER, ANSI_FOLDER_SEEN = "Café ©", "Cafe c"


def other_items(resources):
    return {key: langs for key, langs in resources.items() if key != VERSION_NAME}


def check_merge_case(failures, merger, faults_file, targets, initial, new_version, case, kind, exit_code, faults,
                     before_langs, runs):
    target = targets / f"{kind}.exe"
    backup = targets / f"{kind}_original.exe"
    shutil.copy2(initial[kind], target)
    shutil.copy2(target, backup)
    fresh = target.read_bytes()
    before = pe_resources(target)
    old_version = before.get(VERSION_NAME, {})
    failures.check(set(old_version) == set(before_langs),
                   f"{case} case: the target starts with version languages {sorted(old_version)}")
    normal = {}
    for verb, merged, langs in runs:
        what = f"{case} case, -{verb}" + (f" with {faults.strip()}" if faults else "")
        code = 1 if faults and not merged else 0
        start = target.read_bytes()
        if faults:
            faults_file.write_text(faults, encoding="utf-8")
        got = merger.run(verb, backup, target)
        if faults:
            faults_file.unlink()
        failures.check(got == code, f"{what}: exit {got}, expected {code}")
        merger.check_editor_log(failures, what, [ADDED if verb == "addskip" else MODIFIED] if merged else COMPLETED)
        if not merged:
            failures.check(target.read_bytes() == start, f"{what}: changed the target although it found nothing")
        if start == fresh:
            normal[verb] = target.read_bytes()
        found = pe_resources(target)
        expected = {lang: old_version.get(lang) if which == OLD else new_version for lang, which in langs.items()}
        failures.check(found.get(VERSION_NAME, {}) == expected,
                       f"{what}: version languages {sorted(found.get(VERSION_NAME, {}))}, expected "
                       f"{ {hex(lang): which for lang, which in langs.items()} }")
        failures.check(other_items(found) == other_items(before), f"{what}: the other resources did not survive")
        log = merger.last_log
        decisions = [(tag, text) for tag, text in log if tag in ("merge-take", "merge-skip")]
        failures.check([tag for tag, _ in decisions] == ["merge-take" if merged else "merge-skip"] and
                       decisions[0][1].startswith("16/1 language 1041: "), f"{what}: logged decisions {decisions}")
        deletes = [text for tag, text in log if tag == "merge-delete"]
        failures.check(deletes == (["16/1 language 1041: replaced"] if verb == "modify" and merged else []),
                       f"{what}: logged deletions {deletes}")
        results = [text for tag, text in log if tag == "merge-result"]
        failures.check(results == [RESULT_TEXTS[merged]], f"{what}: logged results {results}")
    got, _ = merger.wine.run([target], timeout=120)
    failures.check(got == exit_code, f"{case} case: the merged target exits {got}, expected {exit_code}")
    return normal


def check_fault_case(failures, merger, faults_file, targets, initial, normal, new_version, row):
    content, logged, verb, kind, code, outcome, results = row
    what = f"fault {logged!r}, -{verb} on {kind}"
    target = targets / f"faulty-{kind}.exe"
    backup = targets / f"faulty-{kind}_original.exe"
    shutil.copy2(initial[kind], target)
    shutil.copy2(target, backup)
    faults_file.write_bytes(content.encode("utf-8"))
    before = target.read_bytes()
    got = merger.run(verb, backup, target, wait_ms=HANG_WAIT_MS if code == DID_NOT_END else 60000)
    faults_file.unlink()
    failures.check(got == code, f"{what}: exit {got}, expected {code}")
    if outcome == ONLY_TAKEN:
        found = pe_resources(target)
        failures.check(found == {VERSION_NAME: {0x0411: new_version}} and other_items(pe_resources(backup)),
                       f"{what}: the target holds {sorted(found)}, not only the merged version item")
    else:
        expected = OUTCOMES[outcome](before, normal.get((kind, verb), b""))
        after = target.read_bytes()
        failures.check(after == expected, f"{what}: the target is not {outcome}: {len(after)} bytes, "
                       f"expected {len(expected)}; {c.describe_difference(after, expected, 'got', 'expected')}")
    if outcome == "invisible":
        failures.check(resource_directory(target.read_bytes()) == (0, 0) and not pe_resources(target),
                       f"{what}: the headers point at resources: {resource_directory(target.read_bytes())}")
    if outcome == "stale size":
        # Walked by its RVA, as Windows' loader does, the directory holds both languages.
        size, merged_size = resource_directory(target.read_bytes())[1], resource_directory(normal[(kind, verb)])[1]
        failures.check(size == resource_directory(before)[1] < merged_size,
                       f"{what}: resource directory size {size}, the source's {resource_directory(before)[1]}, "
                       f"the merge's {merged_size}")
        found = pe_resources(target).get(VERSION_NAME, {})
        failures.check(found.get(0x0411) == new_version and 0x0409 in found,
                       f"{what}: pefile finds version languages {sorted(found)}")
    merger.check_editor_log(failures, what, results)
    failures.check([text for tag, text in merger.last_log if tag == "faults"] == [logged],
                   f"{what}: log {merger.last_log}")


def check_delete_case(failures, merger, faults_file, targets, initial, row):
    mask, kind, faults, destination, code, gone, result = row
    what = f"-delete {mask} on {kind}" + (f" with {faults.strip()}" if faults else "")
    source = targets / f"delete-{merger.count}-{kind}.exe"
    shutil.copy2(initial[kind], source)
    appended = "keep-appended" in faults
    if appended:
        source.write_bytes(source.read_bytes() + APPENDED)
    if faults:
        faults_file.write_bytes(faults.encode("utf-8"))
    before = pe_resources(source)
    original = source.read_bytes()
    target = source if destination == "same" else targets / f"delete-{merger.count}-{kind}-out.exe"
    got = merger.delete(source, target, mask)
    if faults:
        faults_file.unlink()
    failures.check(got == code, f"{what}: exit {got}, expected {code}")
    merger.check_editor_log(failures, what, [result])
    results = [text for tag, text in merger.last_log if tag == "delete-result"]
    # Wine already leaves the data right after a shrunk image: the events tell whether the fault ran.
    later = [f"keep-appended: {len(APPENDED)} bytes after the image kept"] if appended else []
    later += ["fault delete-exit-1: the run reports a failure"] if "delete-exit-1" in faults else []
    failures.check(len(results) == 1 + len(later) and results[0].endswith("untouched") == (gone is None) and
                   results[1:] == later, f"{what}: logged results {results}")
    if gone is None:
        failures.check(target == source or not target.exists(), f"{what}: wrote a destination")
        failures.check(source.read_bytes() == original, f"{what}: changed the source")
        return
    key, lang = gone
    expected = {k: {l: data for l, data in langs.items() if (k, l) != (key, lang)} for k, langs in before.items()}
    expected = {k: langs for k, langs in expected.items() if langs}
    failures.check(lang in before.get(key, {}) and pe_resources(target) == expected,
                   f"{what}: the target holds {pe_resources(target)}, expected {expected}")
    failures.check(not appended or after_image(target) == APPENDED,
                   f"{what}: {len(after_image(target))} bytes after the image, not the source's {len(APPENDED)}")
    got, _ = merger.wine.run([target], timeout=120)
    failures.check(got == {"plain": 7, "versioned": 8, "versioned_en": 9}[kind],
                   f"{what}: the written program exits {got}")


def check_ansi(failures, merger, faults_file, work, initial):
    """An editor built for code page 932 gets the command line changed: it
    cannot find the source, and its events show what it read. ResHacker.log
    is in that code page either way."""
    folder = work / ANSI_FOLDER
    folder.mkdir()
    source = folder / "versioned_en.exe"
    shutil.copy2(initial["versioned_en"], source)
    target = folder / "out.exe"
    for faults, code in (("", 0), ("ansi\nexit-codes\n", 2)):
        if target.exists():
            target.unlink()
        if faults:
            faults_file.write_text(faults, encoding="utf-8")
        got = merger.delete(source, target, "VERSIONINFO,1,1033")
        if faults:
            faults_file.unlink()
        seen = merger.last_line.replace(ANSI_FOLDER, ANSI_FOLDER_SEEN) if faults else merger.last_line
        what = f"a command line with {ANSI_FOLDER!r}" + (" through the ANSI code page" if faults else "")
        failures.check(got == code and target.exists() == (code == 0), f"{what}: exit {got}, expected {code}")
        failures.check([text for tag, text in merger.last_log if tag == "cmdline"] == [seen],
                       f"{what}: the events show {merger.last_log[:1]}, expected {seen!r}")
        # The log's command line, in code page 932, lacks the same characters either way.
        result = ["  Deleted: VERSIONINFO,1,1033"]
        if faults:
            result = (merger.last_editor_log or [])[2:3]
            failures.check(result and result[0].startswith("Error: cannot load the source file: "),
                           f"{what}: ResHacker.log's result {result}")
        merger.check_editor_log(failures, what, result, merger.last_operands.replace(ANSI_FOLDER, ANSI_FOLDER_SEEN))


def main():
    parser = c.common_arguments(__doc__)
    parser.add_argument("--plain", required=True, help="target without resources")
    parser.add_argument("--versioned", required=True, help="target with an older version resource in 0x411")
    parser.add_argument("--versioned-en", required=True, help="target with an older version resource in 0x409")
    args = parser.parse_args()
    work = c.fresh_folder(args.work)
    failures = c.Failures()
    wine = c.Wine(work)
    standin, driver, log_path = c.copy_standin(args, work / "editor dir")
    wine.keep_desktop(driver)

    template = c.read_template(args.template)
    script = c.fill_template(template, INITIAL_VALUES, (3, 1, 0, 4), (3, 1, 0, 0))
    res_entries, res = c.windres_compile(args.windres, c.windres_dialect(script), work, "initial",
                                         language=(0x11, 0x01))
    initial = work / "tool dir" / "initial.res"
    initial.parent.mkdir()
    shutil.copy2(res, initial)
    new_version = c.version_entries(res_entries)[0]["data"]
    targets = work / "my work"
    targets.mkdir()
    merger = Merger(wine, standin, driver, work, initial, log_path)
    target_files = {"plain": args.plain, "versioned": args.versioned, "versioned_en": args.versioned_en}

    normal = {}
    faults_file = standin.parent / "ResHacker.faults"
    for case, kind, exit_code, faults, before_langs, runs in MERGE_CASES:
        made = check_merge_case(failures, merger, faults_file, targets, target_files, new_version, case, kind,
                                exit_code, faults, before_langs, runs)
        normal.update({(kind, verb): data for verb, data in made.items()})
    for row in FAULT_CASES:
        check_fault_case(failures, merger, faults_file, targets, target_files, normal, new_version, row)
    for row in DELETE_CASES:
        check_delete_case(failures, merger, faults_file, targets, target_files, row)
    check_ansi(failures, merger, faults_file, work, target_files)

    # Failures leave the destination alone and say so in ResHacker.log, and
    # with exit-codes by exit code 2.
    target = targets / "versioned.exe"
    backup = targets / "versioned_original.exe"
    untouched = digest(target)
    failed_runs = [
        # what, the run, the start of ResHacker.log's error line
        ("a missing source", lambda: merger.run("modify", targets / "missing.exe", target),
         "Error: cannot load the source file: "),
        ("a missing resource file", lambda: merger.run("modify", backup, target, res=work / "missing.res"),
         "Error: cannot read the resource file: "),
        ("a command line without the trailing \" ,,,\"", lambda: merger.run("modify", backup, target, tail=""),
         "Error: invalid command"),
    ] + [(f"-delete with the mask {mask!r}", lambda mask=mask: merger.delete(backup, target, mask),
          "Error: invalid command") for mask in ("VERSIONINFO,1", "NOSUCHTYPE,1,1033", "VERSIONINFO,1,0x409")]
    for n, (what, run, error) in enumerate(failed_runs):
        faults = n % 2 == 0
        if faults:
            faults_file.write_text("exit-codes\n", encoding="utf-8")
        got = run()
        if faults:
            faults_file.unlink()
        failures.check(got == (2 if faults else 0), f"{what}: exit {got}, expected {2 if faults else 0}")
        logged = (merger.last_editor_log or [])[2:]
        failures.check(len(logged) == 2 and logged[0].startswith(error) and logged[1] == "",
                       f"{what}: ResHacker.log ends {logged}, expected {error!r}...")
        merger.check_editor_log(failures, what, logged[:1])
    failures.check(digest(target) == untouched, "a failed merge changed the target")

    log = c.read_log(log_path)
    tags = [tag for tag, _ in log]
    failures.check(tags.count("cmdline") == merger.count, f"log: {tags.count('cmdline')} command lines logged")
    failures.check(tags.count("merge-error") == 2 and tags.count("cmdline-error") == 4,
                   "log: the failed runs are not logged as such")
    failures.finish("test_merge")


if __name__ == "__main__":
    main()

"""The stand-in's two merge verbs, run hidden from the exact command lines
the tool builds, on a target without a version resource (the add case), one
with an older version resource in the language of initial.res (the change
case) and one with it in another language; then the merge faults the stand-in
can play. The results are read back with pefile."""

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


def digest(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


class Merger:
    def __init__(self, wine, standin, driver, folder, res, log_path):
        self.wine, self.standin, self.driver, self.folder, self.res = wine, standin, driver, folder, res
        self.log_path = log_path
        self.count = 0
        self.last_log = []

    def run(self, verb, src, dst, res=None, tail=" ,,,"):
        """Runs the stand-in hidden through the driver with the tool's layout:
        "editor" -verb src, dst, "res" ,,,  Returns the stand-in's exit code;
        last_log then holds the log lines of this run."""
        self.count += 1
        line = (f'"{c.windows_path(self.standin)}" -{verb} {c.windows_path(src)}, {c.windows_path(dst)}, '
                f'"{c.windows_path(res or self.res)}"{tail}')
        cmd = self.folder / f"merge-{self.count}.cmdline"
        cmd.write_text(line, encoding="utf-8")
        logged = len(c.read_log(self.log_path))
        code, output = self.wine.run([self.driver, "launch", c.windows_path(cmd), 60000], timeout=180)
        self.last_log = c.read_log(self.log_path)[logged:]
        print(f"merge {self.count}: -{verb} -> {code}")
        print(output.rstrip())
        return code


OLD, NEW = "old", "new"  # a version item as the target had it, or as initial.res holds it
VERSION_NAME = (c.RT_VERSION, 1)
RESULT_TEXTS = {0: "1 resource(s) merged; exit 0", 1: "nothing to do; destination untouched; exit 1"}

# An item is a type, a name and a language. Each press runs -addskip, then
# -modify, both with the backup as the source and the target as the
# destination; the version languages after each run.
MERGE_CASES = [
    # case, target kind, its exit code, version languages before, [(verb, exit code, version languages after)]
    ("add", "plain", 7, {}, [("addskip", 0, {0x0411: NEW}), ("modify", 1, {0x0411: NEW})]),
    ("change", "versioned", 8, {0x0411: OLD}, [("addskip", 1, {0x0411: OLD}), ("modify", 0, {0x0411: NEW})]),
    # The backup has no 0x411 item of its own, so -modify finds nothing to
    # replace and leaves what -addskip made: both languages.
    ("other language", "versioned_en", 9, {0x0409: OLD},
     [("addskip", 0, {0x0409: OLD, 0x0411: NEW}), ("modify", 1, {0x0409: OLD, 0x0411: NEW})]),
]

# What a fault makes of the destination, from its bytes before and the bytes
# the same run makes without faults.
OUTCOMES = {
    "untouched": lambda before, normal: before,
    "merged": lambda before, normal: normal,
    "cut": lambda before, normal: before[:len(before) // 2],
    "merged, then cut": lambda before, normal: normal[:len(normal) // 2],
}

FAULT_CASES = [
    # ResHacker.faults, its "faults" log line, verb, target kind, exit code, outcome
    ("merge-nothing\n", "merge-nothing", "addskip", "plain", 0, "untouched"),
    ("# a comment\r\nmerge-nothing\r\n", "merge-nothing", "modify", "versioned", 0, "untouched"),
    ("merge-truncate\n", "merge-truncate", "modify", "versioned", 0, "merged, then cut"),
    ("merge-truncate\n", "merge-truncate", "modify", "plain", 0, "cut"),
    ("merge-truncate\n", "merge-truncate", "addskip", "plain", 0, "merged"),
    ("no-such-fault\n", "none; unknown: no-such-fault", "addskip", "plain", 0, "merged"),
]


def other_items(resources):
    return {key: langs for key, langs in resources.items() if key != VERSION_NAME}


def check_merge_case(failures, merger, targets, initial, new_version, case, kind, exit_code, before_langs, runs):
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
    for verb, code, langs in runs:
        what = f"{case} case, -{verb}"
        start = target.read_bytes()
        got = merger.run(verb, backup, target)
        failures.check(got == code, f"{what}: exit {got}, expected {code}")
        if code == 1:
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
        failures.check([tag for tag, _ in decisions] == ["merge-take" if code == 0 else "merge-skip"] and
                       decisions[0][1].startswith("16/1 language 1041: "), f"{what}: logged decisions {decisions}")
        deletes = [text for tag, text in log if tag == "merge-delete"]
        failures.check(deletes == (["16/1 language 1041: replaced"] if verb == "modify" and code == 0 else []),
                       f"{what}: logged deletions {deletes}")
        results = [text for tag, text in log if tag == "merge-result"]
        failures.check(results == [RESULT_TEXTS.get(code)], f"{what}: logged results {results}")
    got, _ = merger.wine.run([target], timeout=120)
    failures.check(got == exit_code, f"{case} case: the merged target exits {got}, expected {exit_code}")
    return normal


def check_fault_case(failures, merger, faults_file, targets, initial, normal, row):
    content, logged, verb, kind, code, outcome = row
    what = f"fault {logged!r}, -{verb} on {kind}"
    target = targets / f"faulty-{kind}.exe"
    backup = targets / f"faulty-{kind}_original.exe"
    shutil.copy2(initial[kind], target)
    shutil.copy2(target, backup)
    faults_file.write_bytes(content.encode("utf-8"))
    before = target.read_bytes()
    got = merger.run(verb, backup, target)
    faults_file.unlink()
    failures.check(got == code, f"{what}: exit {got}, expected {code}")
    expected = OUTCOMES[outcome](before, normal.get((kind, verb), b""))
    after = target.read_bytes()
    failures.check(after == expected, f"{what}: the target is not {outcome}: {len(after)} bytes, "
                   f"expected {len(expected)}; {c.describe_difference(after, expected, 'got', 'expected')}")
    failures.check([text for tag, text in merger.last_log if tag == "faults"] == [logged],
                   f"{what}: log {merger.last_log}")


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
    for case, kind, exit_code, before_langs, runs in MERGE_CASES:
        made = check_merge_case(failures, merger, targets, target_files, new_version, case, kind, exit_code,
                                before_langs, runs)
        normal.update({(kind, verb): data for verb, data in made.items()})
    for row in FAULT_CASES:
        check_fault_case(failures, merger, standin.parent / "ResHacker.faults", targets, target_files, normal, row)

    # Failures leave the destination alone and say so by exit code 2.
    target = targets / "versioned.exe"
    backup = targets / "versioned_original.exe"
    untouched = digest(target)
    failures.check(merger.run("modify", targets / "missing.exe", target) == 2, "a missing source should give exit 2")
    failures.check(merger.run("modify", backup, target, res=work / "missing.res") == 2,
                   "a missing resource file should give exit 2")
    failures.check(merger.run("modify", backup, target, tail="") == 2,
                   "a command line without the trailing \" ,,,\" should be refused (exit 2)")
    failures.check(digest(target) == untouched, "a failed merge changed the target")

    log = c.read_log(log_path)
    tags = [tag for tag, _ in log]
    failures.check(tags.count("cmdline") == merger.count, f"log: {tags.count('cmdline')} command lines logged")
    failures.check(tags.count("merge-error") == 2 and tags.count("cmdline-error") == 1,
                   "log: the failed runs are not logged as such")
    failures.finish("test_merge")


if __name__ == "__main__":
    main()

"""The stand-in's two merge verbs, run hidden from the exact command lines
the tool builds, on a target without a version resource (the add case) and on
one with another version resource (the change case). The result is read back
with pefile."""

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
    def __init__(self, wine, standin, driver, folder, res):
        self.wine, self.standin, self.driver, self.folder, self.res = wine, standin, driver, folder, res
        self.count = 0

    def run(self, verb, src, dst, res=None, tail=" ,,,"):
        """Runs the stand-in hidden through the driver with the tool's layout:
        "editor" -verb src, dst, "res" ,,,  Returns the stand-in's exit code."""
        self.count += 1
        line = (f'"{c.windows_path(self.standin)}" -{verb} {c.windows_path(src)}, {c.windows_path(dst)}, '
                f'"{c.windows_path(res or self.res)}"{tail}')
        cmd = self.folder / f"merge-{self.count}.cmdline"
        cmd.write_text(line, encoding="utf-8")
        code, output = self.wine.run([self.driver, "launch", c.windows_path(cmd), 60000], timeout=180)
        print(f"merge {self.count}: -{verb} -> {code}")
        print(output.rstrip())
        return code


def main():
    parser = c.common_arguments(__doc__)
    parser.add_argument("--plain", required=True, help="target without resources")
    parser.add_argument("--versioned", required=True, help="target with an older version resource")
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
    merger = Merger(wine, standin, driver, work, initial)
    key = (16, 1)

    # Add case: the target has no version resource.
    target = targets / "app.exe"
    backup = targets / "app_original.exe"
    shutil.copy2(args.plain, target)
    shutil.copy2(target, backup)
    failures.check(key not in pe_resources(target), "add case: the target should start without a version resource")
    failures.check(merger.run("addskip", backup, target) == 0, "add case: -addskip should merge (exit 0)")
    found = pe_resources(target)
    failures.check(found.get(key) == {0x0411: new_version},
                   f"add case: version resource after -addskip is {sorted((found.get(key) or {}).keys())}")
    after_add = digest(target)
    failures.check(merger.run("modify", backup, target) == 1, "add case: -modify should find nothing (exit 1)")
    failures.check(digest(target) == after_add, "add case: -modify changed the target although it found nothing")
    code, _ = wine.run([target], timeout=120)
    failures.check(code == 7, f"add case: the merged target exits {code}, expected 7")

    # Change case: the target has a version resource of its own, in English.
    target = targets / "tool.exe"
    backup = targets / "tool_original.exe"
    shutil.copy2(args.versioned, target)
    shutil.copy2(target, backup)
    before = pe_resources(target)
    failures.check(set(before.get(key, {})) == {0x0409}, "change case: the target should start with 1/0x409 only")
    original = digest(target)
    failures.check(merger.run("addskip", backup, target) == 1, "change case: -addskip should skip (exit 1)")
    failures.check(digest(target) == original, "change case: -addskip changed the target although it skipped")
    failures.check(merger.run("modify", backup, target) == 0, "change case: -modify should replace (exit 0)")
    found = pe_resources(target)
    failures.check(found.get(key) == {0x0411: new_version},
                   f"change case: version languages after -modify are {sorted((found.get(key) or {}).keys())}")
    other = (10, "KEEPME")
    failures.check(found.get(other) == before.get(other) and other in found,
                   "change case: the unrelated RCDATA resource did not survive")
    code, _ = wine.run([target], timeout=120)
    failures.check(code == 8, f"change case: the merged target exits {code}, expected 8")

    # Failures leave the destination alone and say so by exit code 2.
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
    results = [text for tag, text in log if tag == "merge-result"]
    failures.check(results == ["1 resource(s) merged; exit 0", "nothing to do; destination untouched; exit 1",
                               "nothing to do; destination untouched; exit 1", "1 resource(s) merged; exit 0"],
                   f"log: merge results {results}")
    failures.check(tags.count("merge-error") == 2 and tags.count("cmdline-error") == 1,
                   "log: the failed runs are not logged as such")
    failures.finish("test_merge")


if __name__ == "__main__":
    main()

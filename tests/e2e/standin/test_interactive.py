"""The key sequence against the stand-in's real controls: the driver puts a
filled script on the clipboard, starts the stand-in on initial.res as the tool
does, waits for its window to be in front and sends the 36 key events. The
saved initial.res must then hold exactly what windres makes of that script,
and the stand-in must have closed, writing no ResHacker.log (a windowed run
writes none) but its ResHacker.ini. With the no-save fault the same keys
leave initial.res as it was; with compile-empties they save an empty
resource file."""

import shutil

import e2e_common as c

VALUES = {
    "Comments": "キー操作で差し替えたコメント",
    "CompanyName": "株式会社サンプル",
    "FileDescription": "Key sequence check",
    "LegalCopyright": "Copyright © 2024",
    "LegalTrademarks": "",
    "ProductName": "クイルマーク",
    "FileVersion": "4.05.0006",
    "ProductVersion": "4.05",
    "InternalName": "keys",
    "OriginalFilename": "keys.exe",
}

# The tree selects its first item when it is filled, before the window shows.
EXPECTED_EVENTS = ["cmdline", "open", "select", "ready", "select", "select", "selectall", "script", "compile-ok",
                   "save-ok", "close", "exit"]
EXPECTED_SELECTIONS = ["group Version Info", "group 1", "resource Version Info/1/1041"]
# A resource file that holds nothing: only the empty entry every .res starts with.
EMPTY_RES = bytes.fromhex("00000000 20000000 ffff0000 ffff0000 00000000 00000000 00000000 00000000")


def with_faults(replaced):
    return ["cmdline", "faults"] + [replaced.get(tag, tag) for tag in EXPECTED_EVENTS[1:]]


FAULT_PRESSES = [
    # fault, the events, what initial.res holds afterwards (from what it held before)
    ("no-save", with_faults({"save-ok": "save-skipped"}), lambda before: before),
    ("compile-empties", with_faults({"compile-ok": "compile-emptied"}), lambda before: EMPTY_RES),
]


def main():
    args = c.common_arguments(__doc__).parse_args()
    work = c.fresh_folder(args.work)
    failures = c.Failures()
    wine = c.Wine(work)
    standin, driver, log_path = c.copy_standin(args, work / "editor dir")
    wine.keep_desktop(driver)

    # initial.res as shipped: the unfilled template, ID 1, Japanese.
    template = c.read_template(args.template)
    initial_entries, built = c.windres_compile(args.windres, c.windres_dialect(template), work, "initial",
                                               language=(0x11, 0x01))
    tool_dir = work / "tool dir"
    tool_dir.mkdir()
    initial = tool_dir / "initial.res"
    shutil.copy2(built, initial)

    script = c.fill_template(template, VALUES, (4, 5, 0, 6), (4, 5, 0, 0))
    expected_entries, _ = c.windres_compile(args.windres, c.windres_dialect(script), work, "expected",
                                            language=(0x11, 0x01))
    expected = c.version_entries(expected_entries)[0]["data"]
    failures.check(expected != c.version_entries(initial_entries)[0]["data"], "the filled script changes nothing")

    clip = work / "clipboard.txt"
    clip.write_bytes(script.encode("utf-8"))
    cmd = work / "interactive.cmdline"
    cmd.write_text(f'"{c.windows_path(standin)}" "{c.windows_path(initial)}"', encoding="utf-8")

    def press_keys(name):
        code, output = wine.run([driver, "keys", c.windows_path(cmd), c.windows_path(clip), 30000], timeout=240)
        print(output)
        if code != 0:
            wine.screenshot(f"failure-{name}.png")
        failures.check(code == 0, f"{name}: the driver reports {code}: 0 means the stand-in closed by itself with "
                       "exit code 0")

    press_keys("keys")
    saved = c.parse_res(initial.read_bytes())
    versions = c.version_entries(saved)
    failures.check(len(saved) == 1 and len(versions) == 1, f"initial.res holds {len(saved)} resources after the run")
    if versions:
        failures.check(versions[0]["name"] == 1 and versions[0]["lang"] == 0x0411,
                       f"saved resource is {versions[0]['name']}/{versions[0]['lang']:#x}, expected 1/0x411")
        failures.check(versions[0]["data"] == expected, "saved version resource differs from windres's\n" +
                       c.describe_difference(versions[0]["data"], expected, "saved", "windres"))

    log = c.read_log(log_path)
    tags = [tag for tag, _ in log]
    failures.check(tags == EXPECTED_EVENTS, f"log events {tags}, expected {EXPECTED_EVENTS}")
    selections = [text for tag, text in log if tag == "select"]
    failures.check(selections == EXPECTED_SELECTIONS,
                   f"the Right presses should walk root, name, language; log has {selections}")
    scripts = [text for tag, text in log if tag == "script"]
    failures.check(scripts == [c.escape_like_log(script)], "the compiled text is not exactly the clipboard's script")

    failures.check(not (standin.parent / "ResHacker.log").exists(), "a windowed run wrote ResHacker.log")
    failures.check((standin.parent / "ResHacker.ini").exists(), "the windowed run wrote no ResHacker.ini")

    for fault, events, holds in FAULT_PRESSES:
        seen = len(c.read_log(log_path))
        shutil.copy2(built, initial)
        (standin.parent / "ResHacker.faults").write_text(fault + "\n", encoding="utf-8")
        press_keys(fault)
        expected_file = holds(built.read_bytes())
        failures.check(initial.read_bytes() == expected_file,
                       f"{fault}: initial.res holds {len(initial.read_bytes())} bytes, expected {len(expected_file)}")
        log = c.read_log(log_path)[seen:]
        tags = [tag for tag, _ in log]
        failures.check(tags == events, f"{fault}: log events {tags}, expected {events}")
        failures.check(("faults", fault) in log, f"{fault}: the faults read are not logged: {log[:3]}")
    failures.check(c.parse_res(EMPTY_RES) == [], "the empty resource file holds something")
    failures.finish("test_interactive")


if __name__ == "__main__":
    main()

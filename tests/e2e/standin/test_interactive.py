"""The key sequence against the stand-in's real controls: the driver puts a
filled script on the clipboard, starts the stand-in on initial.res as the tool
does, waits for its window to be in front and sends the 36 key events. The
saved initial.res must then hold exactly what windres makes of that script,
and the stand-in must have closed. With the no-save fault the same keys leave
initial.res as it was."""

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
                   "save-ok", "close"]
EXPECTED_SELECTIONS = ["group Version Info", "group 1", "resource Version Info/1/1041"]
NO_SAVE_EVENTS = ["cmdline", "faults"] + [tag if tag != "save-ok" else "save-skipped" for tag in EXPECTED_EVENTS[1:]]


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

    # The no-save fault: the edit compiles, the save does nothing, Alt+F4 closes.
    shutil.copy2(built, initial)
    (standin.parent / "ResHacker.faults").write_text("no-save\n", encoding="utf-8")
    press_keys("no-save")
    failures.check(initial.read_bytes() == built.read_bytes(), "no-save: initial.res was changed")
    log = c.read_log(log_path)[len(log):]
    tags = [tag for tag, _ in log]
    failures.check(tags == NO_SAVE_EVENTS, f"no-save: log events {tags}, expected {NO_SAVE_EVENTS}")
    failures.check(("faults", "no-save") in log, f"no-save: the faults read are not logged: {log[:3]}")
    failures.finish("test_interactive")


if __name__ == "__main__":
    main()

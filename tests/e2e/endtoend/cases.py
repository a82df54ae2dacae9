"""End-to-end cases: the real Quillmark.exe under Wine, driven through its
window by QuillmarkDriver.exe, against the stand-in ResHacker.exe; the
results are read back with pefile and from the files themselves.

    /usr/bin/python3 cases.py --case <name> --quillmark ... (see harness.arguments)
"""

import os
import re
import shutil
import sys
import time

sys.dont_write_bytecode = True  # nothing lands in the source tree
import harness as h  # noqa: E402

W = h.windows_path
INPUT_ERROR_TITLE = "Quillmark入力エラー"
APP_TITLE = "Quillmark"
WAIT_WINDOW_MS = 60000
WAIT_PRESS_MS = 120000
WAIT_BOX_MS = 20000
WAIT_EXIT_MS = 20000

# The string fields by index; the Japanese ones hold characters whose second
# byte in code page 932 is a backslash (ソ, 表), half-width katakana and a
# full-width tilde.
FIELDS = {
    0: "表示の試験 ソフト comment",
    1: "Quillmark 株式会社",
    2: "バージョン情報を付ける道具",
    3: "Copyright (C) 2024 Quillmark",
    4: "ｸｲﾙﾏｰｸ は商標です～",
    5: "Quillmark",
    8: "quillmark-e2e",
    9: "app.exe",
}
KEYS = ["Comments", "CompanyName", "FileDescription", "LegalCopyright", "LegalTrademarks", "ProductName",
        "FileVersion", "ProductVersion", "InternalName", "OriginalFilename"]
FILE_VERSION = (1, 2, 3)
PRODUCT_VERSION = (12, 34, 5678)
FILE_VERSION_TEXT = "1.02.0003"
PRODUCT_VERSION_TEXT = "12.34.5678"


def fill_window(inst, fields=FIELDS, file_version=FILE_VERSION, product_version=PRODUCT_VERSION, editor=None):
    lines = [["set", "txtResHack", -1, W(editor or inst.editor)], ["set", "txtExe", -1, W(inst.target)]]
    lines += [["set", "txtInfo", i, text] for i, text in fields.items()]
    lines += [["set", "txtFileVer", i, str(n)] for i, n in enumerate(file_version)]
    lines += [["set", "txtProductVer", i, str(n)] for i, n in enumerate(product_version)]
    return lines


def read_every_box():
    lines = [["get", "txtResHack", -1], ["get", "txtExe", -1]]
    lines += [["get", "txtInfo", i] for i in FIELDS]
    lines += [["get", "txtFileVer", i] for i in range(3)]
    lines += [["get", "txtProductVer", i] for i in range(3)]
    return lines


def expected_boxes(inst, fields=FIELDS, file_version=FILE_VERSION, product_version=PRODUCT_VERSION):
    boxes = {("txtResHack", -1): W(inst.editor), ("txtExe", -1): W(inst.target)}
    boxes.update({("txtInfo", i): text for i, text in fields.items()})
    boxes.update({("txtFileVer", i): str(n) for i, n in enumerate(file_version)})
    boxes.update({("txtProductVer", i): str(n) for i, n in enumerate(product_version)})
    return boxes


def start_lines(inst, arguments=""):
    return [["start", W(inst.quillmark), arguments], ["wait-window", WAIT_WINDOW_MS]]


def end_lines():
    return [["wait-idle", WAIT_BOX_MS], ["close"], ["wait-exit", WAIT_EXIT_MS]]


def press_lines(label):
    return [["time-mark", label + "-before"], ["click", "Command1", -1], ["wait-press-end", WAIT_PRESS_MS],
            ["time-mark", label + "-after"]]


def report_press(f, run, inst, n=0):
    """Prints the time split of the run's n-th press: from the click to the
    driver seeing the press end, and the editor processes started within."""
    clicks = run.all("click")
    ends = run.all("wait-press-end")
    if not f.check(len(clicks) > n and len(ends) > n, f"press {n}: no click or end\n{run.describe()}"):
        return
    press_ticks, end_ticks = int(clicks[n][3]), int(ends[n][3])
    total, editor, overhead, processes = h.press_timing(press_ticks, end_ticks, h.editor_runs(inst.times))
    print(f"press: total {total:.0f} ms, editor {editor:.0f} ms, own overhead {overhead:.0f} ms "
          f"({processes} editor process(es))", flush=True)
    return processes


def check_untouched(f, inst, what):
    f.check(inst.target.read_bytes() == inst.original_target, f"{what}: the target was changed")
    f.check(not inst.backup.exists(), f"{what}: a backup {inst.backup.name} was made")


def check_message(f, run, title, text, what, index=0, icon="icon"):
    """The index-th message box: its title, its text (or a test of it), and
    the look of its style as far as another process can tell: style 48 shows
    an icon (the exclamation mark), style 0 none; both have one button, OK."""
    boxes = run.all("message-box")
    if not f.check(len(boxes) > index, f"{what}: no message box\n{run.describe()}"):
        return
    row = boxes[index]
    if not f.check(row[1] == "ok" and len(row) >= 6, f"{what}: no message box read: {row}"):
        return
    f.check(row[2] == title, f"{what}: message title {row[2]!r}, expected {title!r}")
    f.check(row[4:6] == [icon, "1"], f"{what}: message box with icon {row[4]} and {row[5]} button(s), "
            f"expected {icon} and OK only")
    if callable(text):
        f.check(text(row[3]), f"{what}: unexpected message text {row[3]!r}")
    else:
        f.check(row[3] == text, f"{what}: message text {row[3]!r}, expected {text!r}")


# --- presses that update the target --------------------------------------

class Press:
    """What one press types, and what the target must then hold."""

    def __init__(self, fields, file_version, product_version, file_text, product_text):
        self.fields = fields
        self.file_version = file_version
        self.product_version = product_version
        self.fixed = (file_version[:2] + (0,) + file_version[2:], product_version[:2] + (0,) + product_version[2:])
        self.strings = {KEYS[i]: fields[i] for i in fields}
        self.strings["FileVersion"] = file_text
        self.strings["ProductVersion"] = product_text


FIRST_PRESS = Press(FIELDS, FILE_VERSION, PRODUCT_VERSION, FILE_VERSION_TEXT, PRODUCT_VERSION_TEXT)
# A second press on the same target: the backup is then the target as the
# first press left it; a revision of 0 drops out of the version text.
SECOND_PRESS = Press({**FIELDS, 0: "二回目の実行 second press", 5: "Quillmark ２"}, (2, 3, 4), (12, 34, 0),
                     "2.03.0004", "12.34")

PRESS_CASES = {
    # target kind, folder layout, presses
    "press-add": ("plain", {}, [FIRST_PRESS]),
    # Blanks in every folder: the editor and initial.res paths are quoted,
    # the target and backup paths are not.
    "press-change": ("versioned", {"app_folder": "Program Files/Quill mark", "editor_folder": "Resource Hacker",
                                   "target_folder": "My Work"}, [FIRST_PRESS, SECOND_PRESS]),
}


def press_case(f, args, desktop, case):
    target_kind, folders, presses = PRESS_CASES[case]
    inst = h.Installation(args, args.work + "/case", target_kind, **folders)
    before = inst.original_target
    for n, press in enumerate(presses):
        what = f"press {n + 1}"
        # Later presses go to the window the first run left open.
        lines = start_lines(inst) + [["no-message-box", 300]] if n == 0 else [["wait-window", WAIT_WINDOW_MS]]
        lines += [["enabled", "Command1", -1]]
        lines += fill_window(inst, press.fields, press.file_version, press.product_version)
        lines += [["enabled", "Command1", -1]] + press_lines(what)
        lines += [["no-message-box", 500]] + read_every_box()
        if n == len(presses) - 1:
            lines += end_lines()
        log_before = len(h.common.read_log(inst.events))
        run = inst.drive(desktop, lines)
        if not f.check(run.ok(), f"{what}: the driver run failed\n{run.describe()}"):
            desktop.screenshot(f"failed-{n + 1}.png")
            return
        check_press(f, run, inst, target_kind, press, before, log_before, what, first=n == 0)
        before = inst.target.read_bytes()

    # The updated target still runs.
    code, _ = desktop.run([inst.target], 60, name="target")
    f.check(code == {"plain": 7, "versioned": 8}[target_kind], f"the updated target exits with {code}")


def check_press(f, run, inst, target_kind, press, before, log_before, what, first):
    enabled = [r[4] for r in run.all("enabled")]
    f.check(enabled == (["0", "1"] if first else ["1", "1"]),
            f"{what}: Command1 enabled {enabled}: off only before the paths are given")
    f.check(run.first("wait-press-end")[2] == "enabled-again",
            f"{what}: the press should disable the window and enable it again: {run.first('wait-press-end')}")
    expected = expected_boxes(inst, press.fields, press.file_version, press.product_version)
    f.check(run.boxes() == expected, f"{what}: the boxes changed during the press: {run.boxes()}")
    processes = report_press(f, run, inst)
    f.check(processes == 3, f"{what}: {processes} editor processes ran within the press, expected 3")

    # The backup is the target as it was before the press.
    f.check(inst.backup.exists() and inst.backup.read_bytes() == before,
            f"{what}: the backup is not byte-identical to the target before the press")

    # The target, read by pefile.
    reading = h.VersionReading(inst.target)
    versions = reading.version_entries()
    f.check([(e[1], e[2]) for e in versions] == [(1, 0x0411)],
            f"{what}: version resources in the target: {[(e[1], hex(e[2])) for e in versions]}, "
            "expected 1/0x411 only")
    f.check(reading.versions() == press.fixed, f"{what}: fixed version numbers {reading.versions()}, "
            f"expected {press.fixed}")
    f.check(reading.string_tables == {"041104B0": press.strings},
            f"{what}: string tables {reading.string_tables}\n  expected {{'041104B0': {press.strings}}}")
    f.check(reading.translations == ["0x0411 0x04b0"], f"{what}: translation {reading.translations}")
    if target_kind == "versioned":
        others = [e for e in reading.entries if e[0] != h.RT_VERSION]
        f.check([(e[0], e[1]) for e in others] == [(10, "KEEPME")] and
                others[0][3].startswith(b"left alone by every merge"),
                f"{what}: the target's other resource was not left alone: {[e[:3] for e in others]}")

    # initial.res holds the compiled script: the very bytes now in the target.
    saved = h.common.parse_res(inst.initial_res.read_bytes())
    f.check([(e["type"], e["name"], e["lang"]) for e in saved] == [(h.RT_VERSION, 1, 0x0411)],
            f"{what}: initial.res holds {[(e['type'], e['name'], e['lang']) for e in saved]}")
    if saved and versions:
        f.check(saved[0]["data"] == versions[0][3], f"{what}: the target's version resource differs from initial.res's")
    log = h.common.read_log(inst.events)[log_before:]
    tags = [tag for tag, _ in log]
    f.check(tags.count("compile-ok") == 1 and tags.count("save-ok") == 1 and "compile-error" not in tags,
            f"{what}: the editor's events should show one compile and one save: {tags}")
    merges = [text.split()[0] for tag, text in log if tag == "merge"]
    f.check(merges == ["addskip", "modify"], f"{what}: merge runs {merges}")


def case_press_add(f, args, desktop):
    press_case(f, args, desktop, "press-add")


def case_press_change(f, args, desktop):
    press_case(f, args, desktop, "press-change")


# --- settings: written at close, restored at the next start --------------

def case_settings_restore(f, args, desktop):
    # Japanese folder names: the paths, too, are stored in code page 932.
    inst = h.Installation(args, args.work + "/case", "plain", editor_folder="ツール", target_folder="作業 フォルダ")
    first = start_lines(inst) + [["no-message-box", 300]] + read_every_box() + fill_window(inst) + end_lines()
    run = inst.drive(desktop, first)
    if not f.check(run.ok(), f"the first run failed\n{run.describe()}"):
        return
    first_run = run.boxes()
    f.check(first_run[("txtResHack", -1)] == "(【参照】で指定してください。)" and
            first_run[("txtInfo", 0)] == "Comments" and first_run[("txtFileVer", 0)] == "1",
            f"a first start should show the first-run values: {first_run}")

    expected_lines = ["[Files]", "ResHacker=" + W(inst.editor), "LastExeFile=" + W(inst.target), "[VerInfo]"]
    packed = {6: "01020003", 7: "12345678"}
    expected_lines += [f"Info{i}=" + (packed[i] if i in packed else FIELDS[i]) for i in range(10)]
    if f.check(inst.ini.exists(), "closing the window wrote no Quillmark.ini"):
        raw = inst.ini.read_bytes()
        try:
            text = raw.decode("cp932")
        except UnicodeDecodeError as error:
            f.check(False, f"Quillmark.ini is not code page 932 text: {error}")
            text = ""
        lines = text.split("\r\n")
        f.check(lines == expected_lines + [""], f"Quillmark.ini holds\n  {lines}\n  expected\n  {expected_lines}")
        # The same, byte for byte: CR LF line ends and nothing else around.
        f.check(raw == "".join(line + "\r\n" for line in expected_lines).encode("cp932"),
                f"Quillmark.ini is not exactly the expected code page 932 bytes: {raw!r}")

    second = start_lines(inst) + [["no-message-box", 500], ["enabled", "Command1", -1], ["enabled", "cmdView", -1]]
    second += read_every_box() + end_lines()
    run = inst.drive(desktop, second)
    if not f.check(run.ok(), f"the second run failed\n{run.describe()}"):
        return
    f.check(run.boxes() == expected_boxes(inst), f"restored boxes {run.boxes()}\n  expected {expected_boxes(inst)}")
    f.check([r[4] for r in run.all("enabled")] == ["1", "1"], "the restored paths should enable both buttons")
    f.check(inst.target.read_bytes() == inst.original_target, "the target changed without a press")


# --- presses the program refuses ----------------------------------------

def not_a_number(description, text):
    return f"{description}「{text}」を数値として読み取れません。\r\n0 以上の整数を半角で入力してください。"


# box, index, text, message
BAD_VERSIONS = [
    ("txtFileVer", 0, "100", "Major Version : 0～99"),
    ("txtFileVer", 1, "100", "Minor Version : 0～99"),
    ("txtFileVer", 2, "10000", "Revision : 0～9999"),
    ("txtProductVer", 0, "-1", "Major Version : 0～99"),
    ("txtProductVer", 2, "10000", "Revision : 0～9999"),
    ("txtFileVer", 1, "abc", not_a_number("ファイルバージョンの Minor", "abc")),
    ("txtProductVer", 2, "", not_a_number("製品バージョンの Rev.", "")),
    ("txtProductVer", 0, "12x", not_a_number("製品バージョンの Major", "12x")),
]


def case_bad_versions(f, args, desktop):
    inst = h.Installation(args, args.work + "/case", "plain")
    lines = start_lines(inst) + fill_window(inst)
    good = {"txtFileVer": [str(n) for n in FILE_VERSION], "txtProductVer": [str(n) for n in PRODUCT_VERSION]}
    for box, index, text, _ in BAD_VERSIONS:
        lines += [["set", box, index, text]] + press_lines(f"{box}{index}={text}")
        lines += [["message-box", WAIT_BOX_MS], ["wait-idle", WAIT_BOX_MS], ["set", box, index, good[box][index]]]
    lines += end_lines()
    run = inst.drive(desktop, lines)
    f.check(run.ok(), f"the driver run failed\n{run.describe()}")
    for n, (box, index, text, message) in enumerate(BAD_VERSIONS):
        what = f"{box}({index}) = {text!r}"
        check_message(f, run, INPUT_ERROR_TITLE, message, what, n)
        ends = run.all("wait-press-end")
        if len(ends) > n:
            f.check(ends[n][2] == "message-box", f"{what}: the press should end in a message: {ends[n]}")
    check_untouched(f, inst, "bad versions")
    f.check(inst.initial_res.read_bytes() == inst.original_initial_res, "bad versions: initial.res changed")
    f.check(not inst.events.exists(), "bad versions: the editor was started")


def backup_failure_message(inst):
    head = f"バックアップを作成できませんでした。\r\n{W(inst.target)}\r\n→ {W(inst.backup)}\r\n"
    return lambda text: text.startswith(head) and text.endswith("\r\n実行ファイルは変更していません。")


# How the backup path is made unwritable, and how to see that it was left alone.
def block_with_folder(inst):
    inst.backup.mkdir()
    (inst.backup / "inside.txt").write_bytes(b"kept")
    return [], lambda: inst.backup.is_dir() and (inst.backup / "inside.txt").read_bytes() == b"kept"


def block_with_open_file(inst):
    # Another program has the old backup open and shares it with nobody.
    inst.backup.write_bytes(b"an older backup, open elsewhere\n")
    return [["hold-file", W(inst.backup)]], lambda: inst.backup.read_bytes() == b"an older backup, open elsewhere\n"


def block_with_read_only_file(inst):
    # Wine shows a file without write bits as read-only; as root it writes
    # to it all the same, so this variant only runs for other users.
    inst.backup.write_bytes(b"an older, read-only backup\n")
    inst.backup.chmod(0o444)
    return [], lambda: inst.backup.read_bytes() == b"an older, read-only backup\n"


BACKUP_BLOCKERS = [("folder", block_with_folder), ("open file", block_with_open_file)]
if os.geteuid() != 0:
    BACKUP_BLOCKERS.append(("read-only file", block_with_read_only_file))


def case_backup_fails(f, args, desktop):
    """The backup cannot be written: the program says so, and neither the
    target nor what stands at the backup path is changed; no merge runs."""
    for variant, block in BACKUP_BLOCKERS:
        inst = h.Installation(args, f"{args.work}/{variant.replace(' ', '-')}", "plain")
        hold, unchanged = block(inst)
        lines = start_lines(inst) + fill_window(inst) + hold + press_lines("press")
        lines += [["message-box", WAIT_BOX_MS]] + end_lines()
        run = inst.drive(desktop, lines)
        f.check(run.ok(), f"{variant}: the driver run failed\n{run.describe()}")
        check_message(f, run, APP_TITLE, backup_failure_message(inst), variant)
        report_press(f, run, inst)
        f.check(inst.target.read_bytes() == inst.original_target, f"{variant}: the target was changed")
        f.check(unchanged(), f"{variant}: what stood at the backup path was changed")
        log = h.common.read_log(inst.events)
        f.check(not [t for t, _ in log if t.startswith("merge")], f"{variant}: a merge ran: {log}")
        f.check(len(h.editor_runs(inst.times)) == 1, f"{variant}: expected only the interactive editor run")


def editor_failure_message(editor_path):
    head = f"ResHacker を起動できませんでした。\r\n{editor_path}\r\n"
    return lambda text: text.startswith(head) and text.endswith("\r\n実行ファイルは変更していません。")


def case_editor_missing(f, args, desktop):
    """The editor path names a file that is no program, or the editor is
    deleted after the buttons were enabled: nothing is changed."""
    for variant in ("not a program", "deleted"):
        inst = h.Installation(args, f"{args.work}/{variant.replace(' ', '-')}", "plain")
        if variant == "not a program":
            editor = inst.editor_dir / "NotAProgram.exe"
            editor.write_bytes(b"This is a text file, not a program.\r\n" * 8)
            lines = start_lines(inst) + fill_window(inst, editor=editor) + [["enabled", "Command1", -1]]
        else:
            editor = inst.editor
            lines = start_lines(inst) + fill_window(inst) + [["enabled", "Command1", -1]]
            lines += [["delete-file", W(editor)]]
        lines += press_lines("press") + [["message-box", WAIT_BOX_MS]] + end_lines()
        run = inst.drive(desktop, lines)
        f.check(run.ok(), f"{variant}: the driver run failed\n{run.describe()}")
        f.check([r[4] for r in run.all("enabled")] == ["1"], f"{variant}: the button should be enabled")
        check_message(f, run, APP_TITLE, editor_failure_message(W(editor)), variant)
        check_untouched(f, inst, variant)
        f.check(inst.initial_res.read_bytes() == inst.original_initial_res, f"{variant}: initial.res changed")
        f.check(not inst.times.exists(), f"{variant}: an editor process ran")


def case_view_missing(f, args, desktop):
    """The check button on a target deleted after it was enabled: a message
    box of style 0 (no icon), then no further dialog (wait-idle would see a
    Properties sheet: it is a dialog window of the program too)."""
    inst = h.Installation(args, args.work + "/case", "plain")
    lines = start_lines(inst) + fill_window(inst) + [["enabled", "cmdView", -1], ["delete-file", W(inst.target)]]
    lines += [["click", "cmdView", -1], ["message-box", WAIT_BOX_MS]] + end_lines()
    run = inst.drive(desktop, lines)
    f.check(run.ok(), f"the driver run failed\n{run.describe()}")
    f.check([r[4] for r in run.all("enabled")] == ["1"], "cmdView should be enabled while the target exists")
    check_message(f, run, APP_TITLE, "確認するファイルが見つかりません。", "view", icon="none")


# --- presses that prove their result ----------------------------------------

APPENDED_BYTES = 64 * 1024
TARGET_DIFFERS = "更新後の実行ファイルを確かめたところ、入力した内容と異なります。"
RESTORED = "実行ファイルを元に戻しました。バックアップと同じ内容であることを確かめました。"
EDIT_DIFFERS = "ResHacker が保存した initial.res が、入力した内容と一致しません。"
NO_BACKUP_NO_MERGE = "バックアップの作成と実行ファイルの更新は行っていません。"
TARGET_UNCHANGED = "実行ファイルは変更していません。"


def contains(*words):
    return lambda text: all(w in text for w in words)


def check_box(f, run, index, what, text, buttons="ok", default="ok"):
    """The index-th message box the driver answered: title, text test,
    exclamation or information icon, and its buttons with the default one."""
    boxes = run.all("message-box")
    if not f.check(len(boxes) > index, f"{what}: message box {index + 1} did not show\n{run.describe()}"):
        return ""
    row = boxes[index]
    if not f.check(row[1] == "ok" and len(row) >= 8, f"{what}: message box not read: {row}"):
        return ""
    f.check(row[2] == APP_TITLE, f"{what}: title {row[2]!r}")
    f.check(row[4] == "icon", f"{what}: the box shows no icon")
    f.check(row[6:8] == [buttons, default], f"{what}: buttons {row[6:8]}, expected {[buttons, default]}")
    f.check(text(row[3]), f"{what}: unexpected text\n{row[3]}")
    return row[3]


def faults(inst, *names):
    """The stand-in's faults for this installation (see the stand-in's README)."""
    (inst.editor_dir / "ResHacker.faults").write_text("\n".join(names) + "\n", encoding="utf-8")


def editor_ran(inst):
    return len(h.editor_runs(inst.times)) > 0


def check_nothing_touched(f, inst, what):
    check_untouched(f, inst, what)
    f.check(inst.initial_res.read_bytes() == inst.original_initial_res, f"{what}: initial.res changed")
    f.check(not editor_ran(inst), f"{what}: the editor was started")


def answered_press(inst, answers, before=()):
    """Start, fill, press, then the boxes answered in turn, the window idle again, close."""
    lines = start_lines(inst) + fill_window(inst) + list(before) + press_lines("press")
    lines += [["message-box", WAIT_PRESS_MS, answer] for answer in answers]
    return lines + [["wait-idle", WAIT_PRESS_MS], ["no-message-box", 300]] + end_lines()


def version_languages(path):
    return {e[2]: e[3] for e in h.VersionReading(path).version_entries()}


def case_refused_targets(f, args, desktop):
    """A text file named .exe, and a target held open the way a running
    program is (others may read it, nobody may write it): a message that
    names the file, and the editor never starts."""
    for variant in ("not a program", "in use"):
        inst = h.Installation(args, f"{args.work}/{variant.replace(' ', '-')}", "plain")
        hold = []
        if variant == "not a program":
            inst.target.write_bytes(b"This is a text file, not a program.\r\n" * 40)
            inst.original_target = inst.target.read_bytes()
            words = ("Windows のプログラムではないため", W(inst.target), "MZ ヘッダー", TARGET_UNCHANGED)
        else:
            hold = [["hold-file", W(inst.target), "share-read"]]
            words = ("実行ファイルに書き込めません。", W(inst.target), "実行中のプログラム", TARGET_UNCHANGED)
        run = inst.drive(desktop, answered_press(inst, ["ok"], hold))
        f.check(run.ok(), f"{variant}: the driver run failed\n{run.describe()}")
        check_box(f, run, 0, variant, contains(*words))
        check_nothing_touched(f, inst, variant)


def case_lost_keys(f, args, desktop):
    """The editor closes without saving: initial.res keeps its old values, so
    the press stops before the backup and the target is untouched."""
    inst = h.Installation(args, args.work + "/case", "plain")
    faults(inst, "no-save")
    run = inst.drive(desktop, answered_press(inst, ["ok"]))
    f.check(run.ok(), f"the driver run failed\n{run.describe()}")
    check_box(f, run, 0, "lost keys",
              contains(EDIT_DIFFERS, W(inst.initial_res), "・Comments: 「" + FIELDS[0] + "」 のはずが 「(Comments)」",
                       NO_BACKUP_NO_MERGE))
    check_untouched(f, inst, "lost keys")
    f.check(inst.initial_res.read_bytes() == inst.original_initial_res, "lost keys: initial.res changed")
    tags = [t for t, _ in h.common.read_log(inst.events)]
    f.check("save-skipped" in tags and not [t for t in tags if t.startswith("merge")],
            f"lost keys: the editor's events should show the skipped save and no merge: {tags}")
    compile_empties(f, args, desktop)


def compile_empties(f, args, desktop):
    """The real editor's compile under Wine: the tree empties and Ctrl+S saves
    a 32-byte resource file. The press stops before the backup and puts
    initial.res back byte for byte, so the next press, with an editor that
    compiles, goes through."""
    what = "compile empties"
    inst = h.Installation(args, args.work + "/compile-empties", "plain")
    faults(inst, "compile-empties")
    run = inst.drive(desktop, answered_press(inst, ["ok"]))
    f.check(run.ok(), f"{what}: the driver run failed\n{run.describe()}")
    check_box(f, run, 0, what,
              contains("ResHacker のスクリプトのコンパイルか保存で、バージョン情報が残りませんでした。", W(inst.initial_res),
                       NO_BACKUP_NO_MERGE, "initial.res は、実行する前の内容に戻しました。"))
    check_untouched(f, inst, what)
    tags = [t for t, _ in h.common.read_log(inst.events)]
    f.check("compile-emptied" in tags and "save-ok" in tags, f"{what}: the editor did not save an empty tree: {tags}")
    f.check(inst.initial_res.read_bytes() == inst.original_initial_res, f"{what}: initial.res was not put back")
    faults(inst)
    run = inst.drive(desktop, answered_press(inst, []))
    f.check(run.ok() and not run.all("message-box"), f"{what}: the next press did not go through\n{run.describe()}")
    f.check(0x0411 in version_languages(inst.target), f"{what}: the next press left no 0411 version resource")


OTHER_LANGUAGE_QUESTION = ("バージョン情報は入力したとおりに更新されましたが、実行ファイルには別の言語のバージョン情報も"
                           "残っています。")


def other_language_press(f, args, desktop, answer, appended=False, folder="target", name="app.exe", fault=None):
    """A target whose version resource is in English (0409): the merge adds
    the Japanese one beside it, and the press asks whether to delete the
    English one (Yes the default). No leaves the target as the merge left it;
    Yes leaves only the Japanese one and everything else as it was. A folder
    the code page lacks gets the editor the short form of the target."""
    what = f"other language{' appended' if appended else ''} in {folder}, {answer}{', ' + fault if fault else ''}"
    inst = h.Installation(args, f"{args.work}/{answer}-{len(folder)}{'-' + fault if fault else ''}", "versioned_en",
                          target_folder=folder, target_name=name)
    if fault:
        faults(inst, fault)
    answers = [answer]
    data = b""
    if appended:
        faults(inst, "keep-appended")
        data = h.append_data(inst.target, APPENDED_BYTES)
        inst.original_target = inst.target.read_bytes()
        answers = ["yes", answer]  # the appended data's question comes first
    before = h.VersionReading(inst.target)
    run = inst.drive(desktop, answered_press(inst, answers))
    f.check(run.ok(), f"{what}: the driver run failed\n{run.describe()}")
    f.check(len(run.all("message-box")) == len(answers), f"{what}: {len(run.all('message-box'))} boxes showed")
    check_box(f, run, len(answers) - 1, what,
              contains(OTHER_LANGUAGE_QUESTION, W(inst.target), "残っている言語: 0409 (英語 (米国))\r\n", "表示言語",
                       W(inst.backup), "残っている別の言語のバージョン情報を削除しますか？"), "yes,no", "yes")
    f.check(inst.backup.read_bytes() == inst.original_target, f"{what}: the backup is not the original")

    after = h.VersionReading(inst.target)
    saved = h.common.parse_res(inst.initial_res.read_bytes())
    expected = {0x0411: saved[0]["data"] if saved else None}
    if answer == "no":
        expected[0x0409] = version_languages(inst.backup).get(0x0409)
    f.check({e[2]: e[3] for e in after.version_entries()} == expected,
            f"{what}: version resources {[hex(e[2]) for e in after.version_entries()]}, expected initial.res's "
            f"0x411 {'and the unchanged 0x409' if answer == 'no' else 'only'}")
    table = after.string_tables.get("041104B0", {})
    f.check(table == FIRST_PRESS.strings if answer == "yes" else FIRST_PRESS.strings.items() <= table.items(),
            f"{what}: the Japanese strings are not the typed ones: {after.string_tables}")
    others = [e for e in after.entries if e[0] != h.RT_VERSION]
    f.check(others == [e for e in before.entries if e[0] != h.RT_VERSION],
            f"{what}: the other resources changed: {[e[:3] for e in others]}")
    f.check(h.overlay(inst.target) == data, f"{what}: the appended data is not intact")
    left = sorted(p.name for p in inst.target_dir.glob("*.quillmark-work*"))
    f.check(not left, f"{what}: work files left: {left}")
    deletes = [text for tag, text in h.common.read_log(inst.events) if tag == "delete"]
    # The editor writes the work file beside its own form of the target;
    # Wine's short names are hashed, so only the name is known.
    work_name = re.escape(f"\\{name}.quillmark-work1.exe")
    one_run = re.compile(r"src=\[(.+)\] dst=\[(.+)" + work_name + r"\] mask=\[VERSIONINFO,1,1033\]")
    f.check(len(deletes) == (0 if answer == "no" else 1) and all(one_run.fullmatch(d) for d in deletes),
            f"{what}: delete runs {deletes}")


def delete_fails_press(f, args, desktop):
    """The delete run writes its work file and exits 1 (the stand-in's
    delete-exit-1 with exit-codes; the real editor always exits 0): the
    removal failed. The target is still what the merge left (both
    languages), the user is told so with both files named, no restore is
    offered, and no work file stays."""
    what = "delete exits 1"
    inst = h.Installation(args, f"{args.work}/delete-exit-1", "versioned_en")
    faults(inst, "exit-codes", "delete-exit-1")
    run = inst.drive(desktop, answered_press(inst, ["yes", "ok"]))
    f.check(run.ok(), f"{what}: the driver run failed\n{run.describe()}")
    check_box(f, run, 1, what,
              contains("別の言語のバージョン情報を削除できませんでした。", "ResHacker (-delete) が終了コード 1 で終了しました。",
                       "削除の前のまま", W(inst.target), W(inst.backup)))
    f.check(sorted(version_languages(inst.target)) == [0x0409, 0x0411],
            f"{what}: the target's version languages are {sorted(version_languages(inst.target))}")
    left = sorted(p.name for p in inst.target_dir.glob("*.quillmark-work*"))
    f.check(not left, f"{what}: work files left: {left}")


def case_other_language(f, args, desktop):
    for answer in ("no", "yes"):
        other_language_press(f, args, desktop, answer)
    other_language_press(f, args, desktop, "yes", folder="Café", name="Application.exe")
    # The real editor leaves the resource directory's size as it was: the
    # loader ignores it, and the read-back must too.
    other_language_press(f, args, desktop, "no", fault="addskip-stale-size")
    delete_fails_press(f, args, desktop)


def case_other_language_appended(f, args, desktop):
    other_language_press(f, args, desktop, "yes", appended=True)


# The merge runs end with exit code 0 but leave the target wrong; the
# question quotes what the editor logged.
MERGE_FAULTS = [
    ("merge-nothing", ("言語 0411 (日本語) のバージョン情報がありません", "・-addskip: Commands completed")),
    ("merge-truncate", ("Windows のプログラムではなくなっています",)),
    # as the real editor on a program without a resource section
    ("addskip-invisible", ("言語 0411 (日本語) のバージョン情報がありません", "ResHacker の記録 (ResHacker.log):\r\n"
                           "・-addskip: Added: VERSIONINFO,1,1041\r\n・-modify: Commands completed\r\n")),
]


def case_merge_fails(f, args, desktop):
    """Merges that do nothing or cut the target in half: the message says
    what differs and names the backup; Yes puts the original back byte for
    byte, No leaves both files as they are."""
    for fault, difference in MERGE_FAULTS:
        for answer in ("yes", "no"):
            what = f"{fault}, {answer}"
            inst = h.Installation(args, f"{args.work}/{fault}-{answer}", "plain")
            faults(inst, fault)
            answers = [answer] + (["ok"] if answer == "yes" else [])
            run = inst.drive(desktop, answered_press(inst, answers))
            f.check(run.ok(), f"{what}: the driver run failed\n{run.describe()}")
            check_box(f, run, 0, what, contains(TARGET_DIFFERS, W(inst.target), *difference, W(inst.backup),
                                                "元に戻しますか"), "yes,no", "yes")
            f.check(inst.backup.read_bytes() == inst.original_target, f"{what}: the backup is not the original")
            left = inst.target.read_bytes()
            if answer == "yes":
                check_box(f, run, 1, what, contains(RESTORED, W(inst.target), W(inst.backup)))
                f.check(left == inst.original_target, f"{what}: the target was not put back byte for byte")
            else:
                f.check(len(run.all("message-box")) == 1, f"{what}: more than the question showed")
                # As the merge left it: the size the stand-in logged last.
                results = [text for tag, text in h.common.read_log(inst.events) if tag == "merge-result"]
                as_merged = {
                    "merge-truncate": bool(results) and f" {len(left)} bytes" in results[-1],
                    # the original with a resource section the headers do not name
                    "addskip-invisible": left.startswith(inst.original_target) and len(left) > len(inst.original_target),
                }.get(fault, left == inst.original_target)
                f.check(as_merged, f"{what}: the target is not as the merge left it ({len(left)} bytes; {results[-1:]})")


def answer_and_see(f, desktop, inst, what, answer_first):
    """The first question answered, then what the press does next: the
    restore question (answered Yes, then its confirmation) or nothing."""
    run = inst.drive(desktop, start_lines(inst) + fill_window(inst) + press_lines("press") +
                     [["message-box", WAIT_PRESS_MS, answer_first], ["wait-press-end", WAIT_PRESS_MS]])
    if not f.check(run.ok(), f"{what}: the driver run failed\n{run.describe()}"):
        return run, None
    follows = run.all("wait-press-end")[-1][2]
    print(f"{what}: after the question, the press ends with {follows}", flush=True)
    rest = [["wait-window", WAIT_WINDOW_MS]]
    if follows == "message-box":
        rest += [["message-box", WAIT_BOX_MS, "yes"], ["message-box", WAIT_BOX_MS, "ok"]]
    rest += [["wait-idle", WAIT_PRESS_MS], ["no-message-box", 300]] + end_lines()
    second = inst.drive(desktop, rest)
    f.check(second.ok(), f"{what}: the second driver run failed\n{second.describe()}")
    return run, (second if follows == "message-box" else None)


def check_outcome(f, inst, what, restore_run, appended, expect_restore):
    """The program's verdict must match the file: silent only when the target
    holds the typed values and its appended data where it was; otherwise the
    restore question, answered Yes, and the original back byte for byte."""
    f.check((restore_run is not None) == expect_restore,
            f"{what}: expected {'the restore question' if expect_restore else 'no message'} after the merge")
    if restore_run is None:
        reading = h.VersionReading(inst.target)
        f.check(reading.string_tables.get("041104B0") == FIRST_PRESS.strings,
                f"{what}: no message, yet the target holds {reading.string_tables}")
        f.check(h.overlay(inst.target) == appended, f"{what}: no message, yet the appended data is not intact")
        return
    words = ["イメージの後ろのデータ"] if appended else []
    check_box(f, restore_run, 0, what, contains(TARGET_DIFFERS, W(inst.backup), *words), "yes,no", "yes")
    check_box(f, restore_run, 1, what, contains(RESTORED))
    f.check(inst.target.read_bytes() == inst.original_target, f"{what}: the target was not put back byte for byte")


# The question's words, and the runs: the answer, the stand-in's faults, and
# whether the merge's outcome must bring the restore question.
GUARDED_TARGETS = {
    "signed": (("デジタル署名があります", "署名し直す"), [("no", (), False), ("yes", (), False)]),
    # Wine's resource updater leaves the appended data behind the new
    # resource section: lost; an editor that keeps it: intact.
    "appended": ((f"{APPENDED_BYTES} バイトのデータが付いています", "インストーラー"),
                 [("no", (), False), ("yes", (), True), ("yes", ("keep-appended",), False)]),
}


def case_guarded_target(f, args, desktop, kind):
    """A target signed for real, or with 64 KB appended: the question (Yes
    and No, No the default); No touches nothing, Yes goes on and the outcome
    is checked against the file."""
    words, runs = GUARDED_TARGETS[kind]
    for answer, stand_in_faults, expect_restore in runs:
        what = f"{kind}, {answer} {' '.join(stand_in_faults)}".strip()
        inst = h.Installation(args, f"{args.work}/{'-'.join((answer,) + stand_in_faults)}", "plain")
        faults(inst, *stand_in_faults)
        appended = b""
        if kind == "signed":
            shutil.copyfile(h.sign(inst.target, inst.folder), inst.target)
        else:
            appended = h.append_data(inst.target, APPENDED_BYTES)
        inst.original_target = inst.target.read_bytes()
        question = contains(W(inst.target), "続けますか", *words)
        if answer == "no":
            run = inst.drive(desktop, answered_press(inst, ["no"]))
            f.check(run.ok(), f"{what}: the driver run failed\n{run.describe()}")
            check_box(f, run, 0, what, question, "yes,no", "no")
            check_nothing_touched(f, inst, what)
            continue
        run, restore_run = answer_and_see(f, desktop, inst, what, "yes")
        check_box(f, run, 0, what, question, "yes,no", "no")
        f.check(inst.backup.exists() and inst.backup.read_bytes() == inst.original_target,
                f"{what}: the backup is not the original")
        check_outcome(f, inst, what, restore_run, appended, expect_restore)


def case_signed(f, args, desktop):
    case_guarded_target(f, args, desktop, "signed")


def case_appended(f, args, desktop):
    case_guarded_target(f, args, desktop, "appended")


# --- the program's end: a close or the session's end, and what is saved --

def case_close_during_press(f, args, desktop):
    """A session end and a close that come while a press runs: the session
    end is refused, the close is held until the press has ended as usual;
    then the program saves its settings and ends by itself."""
    inst = h.Installation(args, args.work + "/case", "plain")
    lines = start_lines(inst) + fill_window(inst) + [["click", "Command1", -1], ["sleep", 100], ["end-session"]]
    lines += [["close"], ["time-mark", "closed"], ["wait-exit", WAIT_PRESS_MS]]
    run = inst.drive(desktop, lines)
    if not f.check(run.ok(), f"the driver run failed\n{run.describe()}"):
        return
    f.check(run.first("end-session")[2] == "0", "WM_QUERYENDSESSION during the press should answer FALSE")
    f.check(run.first("wait-exit")[2] == "0", f"exit code {run.first('wait-exit')[2]}")
    merges = [text.split()[0] for tag, text in h.common.read_log(inst.events) if tag == "merge"]
    f.check(merges == ["addskip", "modify"], f"merge runs {merges}")
    runs = h.editor_runs(inst.times)
    f.check(len(runs) == 3 and run.marks()["closed"] < runs[-1][0],
            f"the close should come before the last merge run: {run.marks()}, {runs}")
    f.check(h.VersionReading(inst.target).string_tables == {"041104B0": FIRST_PRESS.strings},
            "the target does not hold the typed values")
    restart_and_compare(f, desktop, inst, FIELDS)


def restart_and_compare(f, desktop, inst, fields):
    run = inst.drive(desktop, start_lines(inst) + [["no-message-box", 300]] + read_every_box() + end_lines())
    f.check(run.ok(), f"the restart failed\n{run.describe()}")
    f.check(run.boxes() == expected_boxes(inst, fields),
            f"restored boxes {run.boxes()}\n  expected {expected_boxes(inst, fields)}")


def case_end_session(f, args, desktop):
    """The session ends: WM_ENDSESSION saves the settings, for the system may
    end the process at once, without an unload."""
    inst = h.Installation(args, args.work + "/case", "plain")
    run = inst.drive(desktop, start_lines(inst) + fill_window(inst) + [["end-session"], ["kill"]])
    if not f.check(run.ok(), f"the driver run failed\n{run.describe()}"):
        return
    f.check(run.first("end-session")[2] == "1", "WM_QUERYENDSESSION without a press should answer TRUE")
    restart_and_compare(f, desktop, inst, FIELDS)


# Characters code page 932 lacks.
OUTSIDE_932 = {**FIELDS, 0: "Zoë's Ünïcödé tool", 3: "© 2026 Example®", 4: "Example™"}


def case_settings_unicode(f, args, desktop):
    """Values code page 932 cannot hold come back exactly: the settings file
    is then UTF-16 with its byte order mark."""
    inst = h.Installation(args, args.work + "/case", "plain")
    run = inst.drive(desktop, start_lines(inst) + fill_window(inst, OUTSIDE_932) + end_lines())
    if not f.check(run.ok(), f"the driver run failed\n{run.describe()}"):
        return
    restart_and_compare(f, desktop, inst, OUTSIDE_932)
    f.check(inst.ini.read_bytes()[:2] == b"\xff\xfe", f"Quillmark.ini starts with {inst.ini.read_bytes()[:8]!r}")


# --- a target's version information loaded into the fields ---------------

def case_load_from_target(f, args, desktop):
    """A target with a version resource (the one a first press gives it),
    chosen through the Open dialog over other values: Yes puts its values in
    the fields, and a press without an edit leaves its eight strings and
    versions as they were."""
    inst = h.Installation(args, args.work + "/case", "plain")
    other = {i: f"other {i}" for i in FIELDS}
    lines = start_lines(inst) + fill_window(inst) + press_lines("first") + [["no-message-box", 500]]
    lines += fill_window(inst, other, (5, 6, 7), (8, 9, 10)) + [["click", "cmdOpenExe", -1],
                                                               ["open-dialog", WAIT_BOX_MS, W(inst.target)],
                                                               ["message-box", WAIT_BOX_MS, "yes"],
                                                               ["wait-idle", WAIT_BOX_MS]] + read_every_box()
    lines += press_lines("second") + [["no-message-box", 500]] + end_lines()
    run = inst.drive(desktop, lines)
    if not f.check(run.ok(), f"the driver run failed\n{run.describe()}"):
        return
    check_box(f, run, 0, "load question",
              contains("この実行ファイルのバージョン情報を入力欄に読み込みますか？", W(inst.target),
                       f"・CompanyName: 「{FIELDS[1]}」 ← 「{other[1]}」", "・FileVersion: 「1.2.3」 ← 「5.6.7」"),
              "yes,no", "no")
    f.check(run.boxes() == expected_boxes(inst), f"the fields after Yes: {run.boxes()}")
    after = h.VersionReading(inst.target)
    backup = h.VersionReading(inst.backup)  # the target as the first press left it
    eight = [KEYS[i] for i in FIELDS]
    f.check([after.string_tables.get("041104B0", {}).get(k) for k in eight] ==
            [backup.string_tables.get("041104B0", {}).get(k) for k in eight] == [FIELDS[i] for i in FIELDS],
            f"the eight strings changed: {after.string_tables} against {backup.string_tables}")
    f.check(after.versions() == backup.versions() == FIRST_PRESS.fixed, f"the versions changed: {after.versions()}")


# --- Windows' conventions: paths on the command line, the backup put back --

def case_command_line(f, args, desktop):
    """Started as Send To starts it: a target relative to the program's
    folder, a missing file and a folder in quotes with its trailing
    backslash. The two that name no file are listed; the target goes into
    its box, whole and long, and brings the load question."""
    inst = h.Installation(args, args.work + "/case", "plain")
    other = {i: f"other {i}" for i in FIELDS}
    lines = start_lines(inst) + fill_window(inst) + press_lines("first") + [["no-message-box", 500]]
    lines += fill_window(inst, other, (5, 6, 7), (8, 9, 10)) + [["set", "txtExe", -1, ""]] + end_lines()
    arguments = f'..\\target\\app.exe missing.exe "{W(inst.target_dir)}\\"'
    lines += start_lines(inst, arguments) + [["message-box", WAIT_BOX_MS, "ok"], ["message-box", WAIT_BOX_MS, "yes"],
                                             ["wait-idle", WAIT_BOX_MS]] + read_every_box() + end_lines()
    run = inst.drive(desktop, lines)
    if not f.check(run.ok(), f"the driver run failed\n{run.describe()}"):
        return
    check_box(f, run, 0, "unusable arguments",
              lambda text: text == "コマンドラインで指定された次のパスは使えないため、入力欄に入れていません。\r\n"
              f"・{W(inst.app)}\\missing.exe: ファイルが見つかりません\r\n"
              f"・{W(inst.target_dir)}\\: フォルダーです (ファイルを指定してください)")
    check_box(f, run, 1, "load question",
              contains("この実行ファイルのバージョン情報を入力欄に読み込みますか？", W(inst.target),
                       f"・CompanyName: 「{FIELDS[1]}」 ← 「{other[1]}」"), "yes,no", "no")
    f.check(run.boxes() == expected_boxes(inst), f"the fields after Yes: {run.boxes()}")


RESTORE_ITEM = 0x0020  # the window's second system menu item


def case_restore_from_menu(f, args, desktop):
    """A press, then バックアップから元に戻す: the question names both files
    and the backup's time (No the default); Yes puts the original back byte
    for byte and keeps the backup."""
    inst = h.Installation(args, args.work + "/case", "plain")
    lines = start_lines(inst) + fill_window(inst) + press_lines("press") + [["no-message-box", 500]]
    lines += [["system-menu", RESTORE_ITEM], ["message-box", WAIT_BOX_MS, "yes"], ["message-box", WAIT_BOX_MS, "ok"],
              ["wait-idle", WAIT_BOX_MS], ["no-message-box", 300]] + end_lines()
    run = inst.drive(desktop, lines)
    if not f.check(run.ok(), f"the driver run failed\n{run.describe()}"):
        return
    question = check_box(f, run, 0, "restore question",
                         contains("実行ファイルをバックアップの内容に戻しますか？", W(inst.target), W(inst.backup),
                                  "バックアップはそのまま残ります。"), "yes,no", "no")
    f.check(re.search(r"バックアップの更新日時: \d{4}/\d{2}/\d{2} \d{2}:\d{2}\r\n", question) is not None,
            f"the question gives no time of the backup:\n{question}")
    check_box(f, run, 1, "restored", contains(RESTORED, W(inst.target), W(inst.backup)))
    f.check(inst.target.read_bytes() == inst.original_target, "the target is not the backup byte for byte")
    f.check(inst.backup.exists() and inst.backup.read_bytes() == inst.original_target, "the backup did not stay")
    left = sorted(p.name for p in inst.target_dir.iterdir() if p.name not in ("app.exe", "app_original.exe"))
    f.check(not left, f"files left beside the target: {left}")


CASES = {
    "press-add": case_press_add,
    "press-change": case_press_change,
    "settings-restore": case_settings_restore,
    "bad-versions": case_bad_versions,
    "backup-fails": case_backup_fails,
    "editor-missing": case_editor_missing,
    "view-missing": case_view_missing,
    "refused-targets": case_refused_targets,
    "lost-keys": case_lost_keys,
    "other-language": case_other_language,
    "other-language-appended": case_other_language_appended,
    "merge-fails": case_merge_fails,
    "signed": case_signed,
    "appended": case_appended,
    "close-during-press": case_close_during_press,
    "end-session": case_end_session,
    "settings-unicode": case_settings_unicode,
    "load-from-target": case_load_from_target,
    "command-line": case_command_line,
    "restore-from-menu": case_restore_from_menu,
}


def main():
    parser = h.arguments(__doc__)
    args = parser.parse_args()
    if args.case not in CASES:
        parser.error(f"unknown case {args.case}; known: {', '.join(CASES)}")
    work = h.fresh_folder(args.work)
    args.work = str(work)
    f = h.Failures(args.case)
    started = time.monotonic()
    desktop = h.Desktop(args.prefix, work)
    try:
        print(f"Wine desktop ready in {time.monotonic() - started:.1f} s", flush=True)
        CASES[args.case](f, args, desktop)
    finally:
        desktop.close()
    print(f"{args.case}: {time.monotonic() - started:.1f} s", flush=True)
    f.exit()


if __name__ == "__main__":
    main()

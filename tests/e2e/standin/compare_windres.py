"""The stand-in's script compiler against GNU windres: the binary version
resource of the same script must be byte-identical. Also checks that the
script the stand-in's window would show compiles back to the same bytes, and
that broken scripts are refused with the right line."""

import e2e_common as c

ASCII_VALUES = {
    "Comments": 'Built for the ""e2e"" check',
    "CompanyName": "Example Co., Ltd.",
    "FileDescription": r"Tool at C:\\Tools\\qm",
    "LegalCopyright": "(c) 2024 Example",
    "LegalTrademarks": "",
    "ProductName": "Quillmark Sample",
    "FileVersion": "1.02.0003",
    "ProductVersion": "10.20",
    "InternalName": "sample",
    "OriginalFilename": "sample.exe",
}

JAPANESE_VALUES = {
    "Comments": "日本語のコメント",
    "CompanyName": "株式会社サンプル",
    "FileDescription": "バージョン情報の追加テスト",
    "LegalCopyright": "Copyright © 2024 サンプル",
    "LegalTrademarks": "商標™",
    "ProductName": "クイルマーク",
    "FileVersion": "2.00.0001",
    "ProductVersion": "2.00",
    "InternalName": "キー",
    "OriginalFilename": "日本語.exe",
}

# The stand-in's looser dialect (braces, blanks between numbers, lower-case
# keywords, comments) beside the windres spelling of the same resource.
FREE_FORM_STANDIN = """\
/* two string tables, every fixed field */
1 VersionInfo
FileVersion 3 4 5 6
ProductVersion 7,8, 9 ,10
FILEFLAGSMASK 0x3fL
FILEFLAGS 0x1 | 0x2
FILEOS 0x40004
FILETYPE 2
FILESUBTYPE 0
{
\tblock "StringFileInfo"
\t{
\t\tblock "040904b0"
\t\t{
\t\t\tvalue "CompanyName", "Two\\ttables" // an escaped tab
\t\t\tValue "Odd", "x"
\t\t\tValue "Empty", ""
\t\t}
\t\tBLOCK "041104B0"
\t\tBEGIN
\t\t\tVALUE "ProductName", "Second table"
\t\tEND
\t}
\tBLOCK "VarFileInfo"
\t{
\t\tValue "Translation", 0x409 1200, 0x411 1200
\t}
}
"""

FREE_FORM_WINDRES = """\
1 VERSIONINFO
FILEVERSION 3, 4, 5, 6
PRODUCTVERSION 7, 8, 9, 10
FILEFLAGSMASK 0x3fL
FILEFLAGS 0x1 | 0x2
FILEOS 0x40004
FILETYPE 2
FILESUBTYPE 0
BEGIN
\tBLOCK "StringFileInfo"
\tBEGIN
\t\tBLOCK "040904b0"
\t\tBEGIN
\t\t\tVALUE "CompanyName", "Two\\ttables"
\t\t\tVALUE "Odd", "x"
\t\t\tVALUE "Empty", ""
\t\tEND
\t\tBLOCK "041104B0"
\t\tBEGIN
\t\t\tVALUE "ProductName", "Second table"
\t\tEND
\tEND
\tBLOCK "VarFileInfo"
\tBEGIN
\t\tVALUE "Translation", 0x409, 1200, 0x411, 1200
\tEND
END
"""

# Scripts the compiler must refuse, with the line it must blame.
BROKEN = [
    ("unclosed_block", "1 VERSIONINFO\r\nFILEVERSION 1,0,0,0\r\n{\r\nBLOCK \"StringFileInfo\"\r\n{\r\n}\r\n", 7),
    ("empty_version_number", "1 VERSIONINFO\r\nFILEVERSION 1,2,,3\r\n{\r\n}\r\n", 2),
    ("unknown_block", "1 VERSIONINFO\r\n{\r\nBLOCK \"Other\"\r\n{\r\n}\r\n}\r\n", 3),
    ("unterminated_string", "1 VERSIONINFO\r\n{\r\nBLOCK \"StringFileInfo\r\n}\r\n", 3),
    ("unknown_statement", "1 VERSIONINFO\r\nFILEDATE 1\r\n{\r\n}\r\n", 2),
]


def standin_compile(wine, standin, folder, stem, script, encoding):
    rc = folder / f"{stem}.standin.rc"
    out = folder / f"{stem}.standin.res"
    rc.write_bytes(script.encode(encoding))
    code, output = wine.run([standin, "-compile-test", c.windows_path(rc), c.windows_path(out)], timeout=120)
    return code, output, out


def main():
    args = c.common_arguments(__doc__).parse_args()
    work = c.fresh_folder(args.work)
    failures = c.Failures()
    wine = c.Wine(work)
    standin, driver, log_path = c.copy_standin(args, work / "bin")
    wine.keep_desktop(driver)
    template = c.read_template(args.template)

    ascii_script = c.fill_template(template, ASCII_VALUES, (1, 2, 0, 3), (10, 20, 0, 0))
    japanese_script = c.fill_template(template, JAPANESE_VALUES, (2, 0, 0, 1), (2, 0, 0, 0))
    cases = [
        # name, stand-in script, windres script, file encoding for the stand-in
        ("ascii", ascii_script, c.windres_dialect(ascii_script), "utf-8"),
        ("japanese", japanese_script, c.windres_dialect(japanese_script), "utf-16"),
        ("japanese_bom_utf8", japanese_script, c.windres_dialect(japanese_script), "utf-8-sig"),
        ("free_form", FREE_FORM_STANDIN, "#pragma code_page(65001)\r\n" + FREE_FORM_WINDRES, "utf-8"),
    ]
    for name, standin_script, windres_script, encoding in cases:
        reference, reference_res = c.windres_compile(args.windres, windres_script, work, name + ".windres")
        expected = c.version_entries(reference)
        if not failures.check(len(expected) == 1, f"{name}: windres made {len(expected)} version resources"):
            continue
        expected_data = expected[0]["data"]

        code, output, out = standin_compile(wine, standin, work, name, standin_script, encoding)
        if not failures.check(code == 0, f"{name}: stand-in compile exited {code}\n{output}"):
            continue
        got = c.version_entries(c.parse_res(out.read_bytes()))
        if failures.check(len(got) == 1, f"{name}: stand-in wrote {len(got)} version resources"):
            failures.check(got[0]["name"] == 1, f"{name}: resource name {got[0]['name']!r}, expected 1")
            failures.check(got[0]["data"] == expected_data,
                           f"{name}: stand-in bytes differ from windres\n" +
                           c.describe_difference(got[0]["data"], expected_data, "stand-in", "windres"))

        # What the editor window would show for windres's resource compiles back to the same bytes.
        shown = work / f"{name}.shown.rc"
        code, output = wine.run([standin, "-decompile-test", c.windows_path(reference_res), c.windows_path(shown)],
                                timeout=120)
        if not failures.check(code == 0, f"{name}: decompile exited {code}\n{output}"):
            continue
        code, output, out = standin_compile(wine, standin, work, name + ".roundtrip",
                                            shown.read_bytes().decode("utf-8"), "utf-8")
        if failures.check(code == 0, f"{name}: recompiling the shown script exited {code}\n{output}"):
            again = c.version_entries(c.parse_res(out.read_bytes()))
            failures.check(len(again) == 1 and again[0]["data"] == expected_data,
                           f"{name}: the shown script does not compile back to windres's bytes")

    for name, script, line in BROKEN:
        before = len(c.read_log(log_path))
        code, output, out = standin_compile(wine, standin, work, "broken_" + name, script, "utf-8")
        failures.check(code == 1, f"broken {name}: exit code {code}, expected 1\n{output}")
        failures.check(not out.exists(), f"broken {name}: an output file was written")
        errors = [text for tag, text in c.read_log(log_path)[before:] if tag == "compile-error"]
        failures.check(len(errors) == 1 and errors[0].startswith(f"line {line}:"),
                       f"broken {name}: expected one compile error on line {line}, log has {errors}")

    failures.finish("compare_windres")


if __name__ == "__main__":
    main()

// The pure work of one press of the run button, without any system call:
// converting the six boxes, the range checks, filling the script and
// building the three command lines.
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "platform/portable/NumberText.h"
#include "press/CommandLines.h"
#include "script/ScriptFilling.h"
#include "script/VersionNumbers.h"
#include "script/VersionScriptTemplate.h"

namespace quillmark {
namespace {

void PressWork(benchmark::State& state) {
    const std::wstring versionScriptTemplate = BuildVersionScriptTemplate();
    const std::array<std::wstring, 6> boxes{L"1", L"2", L"3", L"12", L"34", L"5678"};
    FieldValues fields;
    fields.captions = {L"Comments",    L"CompanyName", L"FileDescription", L"LegalCopyright", L"LegalTrademarks",
                       L"ProductName", L"FileVersion", L"ProductVersion",  L"InternalName",   L"OriginalFilename"};
    fields.texts = {L"コメント", L"株式会社テスト", L"説明", L"(c) 2026", L"TM", L"製品", L"", L"", L"app", L"app.exe"};
    const std::wstring editor = L"C:\\Program Files\\RH\\ResHacker.exe";
    const std::wstring target = L"D:\\Work\\app.exe";

    for (auto _ : state) {
        VersionTable table{};
        const int columns[3] = {0, 1, 3};
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            table[i / 3][static_cast<std::size_t>(columns[i % 3])] = *portable::TextToLong(boxes[i], {});
        }
        benchmark::DoNotOptimize(FirstRangeFailure(table));
        std::wstring script = FillVersionScript(versionScriptTemplate, fields, table);
        const std::wstring quotedEditor = Quoted(editor);
        const std::wstring quotedRes = QuotedResourcePath(L"C:\\Tools\\");
        const std::wstring backup = *BackupPathFor(target);
        std::wstring lines = InteractiveCommandLine(quotedEditor, quotedRes) +
                             MergeCommandLine(quotedEditor, kAddSkipVerb, backup, target, quotedRes) +
                             MergeCommandLine(quotedEditor, kModifyVerb, backup, target, quotedRes);
        benchmark::DoNotOptimize(script);
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(PressWork);

}  // namespace
}  // namespace quillmark

BENCHMARK_MAIN();

// A stand-in for the outside resource editor, for end-to-end tests: the
// same command lines, and a window whose real controls answer the same keys.

#include <windows.h>

#include <optional>
#include <vector>

#include "EditorWindow.h"
#include "Faults.h"
#include "FileIo.h"
#include "Invocation.h"
#include "Log.h"
#include "Merge.h"
#include "ResFile.h"
#include "RunLog.h"
#include "VersionScript.h"

namespace {

using standin::Invocation;

// Script file in, one-resource .res out: lets a test hold the compiler
// against another one without any window.
int CompileTest(const Invocation& inv, const standin::Log& log) {
    const auto bytes = standin::ReadFileBytes(inv.in);
    if (!bytes) {
        log.Line(L"compile-error", L"cannot read " + inv.in);
        return 2;
    }
    const std::wstring script = standin::DecodeText(*bytes);
    log.Line(L"script", standin::Log::Escape(script));
    const auto result = standin::CompileVersionScript(script);
    if (!result.version) {
        log.Line(L"compile-error", L"line " + std::to_wstring(result.errorLine) + L": " + result.error);
        return 1;
    }
    standin::ResEntry entry;
    entry.type = standin::ResId::Ordinal(16);
    entry.name = result.version->name;
    entry.language = 0x0411;  // as in the tool's initial.res; the comparisons look at the data only
    entry.data = result.version->data;
    if (!standin::WriteFileBytes(inv.out, standin::SerializeResFile({entry}))) {
        log.Line(L"compile-error", L"cannot write " + inv.out);
        return 2;
    }
    log.Line(L"compile-ok", inv.out + L" " + std::to_wstring(entry.data.size()) + L" bytes");
    return 0;
}

// The first version resource of a .res, as the window would show it, into a UTF-8 file.
int DecompileTest(const Invocation& inv, const standin::Log& log) {
    const auto bytes = standin::ReadFileBytes(inv.in);
    std::wstring error;
    const auto entries = bytes ? standin::ParseResFile(*bytes, error) : std::nullopt;
    if (!entries) {
        log.Line(L"decompile-error", L"cannot read " + inv.in + L" " + error);
        return 2;
    }
    for (const standin::ResEntry& e : *entries) {
        if (!e.type.isOrdinal || e.type.ordinal != 16) continue;
        const auto script = standin::DecompileVersionInfo(e.name, e.data);
        if (!script) {
            log.Line(L"decompile-error", L"malformed version resource");
            return 1;
        }
        const std::string utf8 = standin::ToUtf8(*script);
        if (!standin::WriteFileBytes(inv.out, std::vector<std::uint8_t>(utf8.begin(), utf8.end()))) return 2;
        log.Line(L"decompile-ok", inv.out);
        return 0;
    }
    log.Line(L"decompile-error", L"no version resource in " + inv.in);
    return 1;
}

// Wine's resource updater leaves what followed the source's image behind the
// new resource section; an editor that keeps it puts it after the image.
// `source` is read before the run: the destination may be the source.
bool KeepAppended(const std::vector<std::uint8_t>& source, const std::wstring& dst, const std::wstring& tag,
                  const standin::Log& log, standin::RunLog& report) {
    auto fail = [&](const std::wstring& text) {
        log.Line(tag + L"-error", text);
        report.Error(text);
        return false;
    };
    auto written = standin::ReadFileBytes(dst);
    if (!written) return fail(L"keep-appended: cannot read the destination: " + standin::LastErrorText());
    const std::size_t sourceEnd = standin::ImageEnd(source).value_or(source.size() + 1);
    const std::size_t writtenEnd = standin::ImageEnd(*written).value_or(written->size() + 1);
    if (sourceEnd > source.size() || writtenEnd > written->size()) {
        return fail(L"keep-appended: cannot find the images' ends");
    }
    written->resize(writtenEnd);
    written->insert(written->end(), source.begin() + static_cast<std::ptrdiff_t>(sourceEnd), source.end());
    if (!standin::WriteFileBytes(dst, *written)) {
        return fail(L"keep-appended: cannot write the destination: " + standin::LastErrorText());
    }
    log.Line(tag + L"-result",
             L"keep-appended: " + std::to_wstring(source.size() - sourceEnd) + L" bytes after the image kept");
    return true;
}

// Runs a verb that writes dst from src and, with keep-appended, puts src's
// appended data back afterwards.
template <typename Run>
int WithAppendedKept(const Invocation& inv, const standin::Faults& faults, const std::wstring& tag,
                     const standin::Log& log, standin::RunLog& report, Run run) {
    std::optional<std::vector<std::uint8_t>> source;
    if (faults.keepAppended) source = standin::ReadFileBytes(inv.src);
    const int code = run();
    if (code != 0 || !faults.keepAppended) return code;
    if (!source) {
        const std::wstring text = L"keep-appended: cannot read the source: " + standin::LastErrorText();
        log.Line(tag + L"-error", text);
        report.Error(text);
        return 2;
    }
    return KeepAppended(*source, inv.dst, tag, log, report) ? 0 : 2;
}

// What the real editor did to programs after its -addskip had logged them as
// added. addskip-invisible: the new resource section only appended after the
// source's image, the headers left alone, so Windows finds nothing new.
// addskip-stale-size: the merged program with the resource directory's Size
// field back at the source's value, while its RVA is right.
int SpoilAddSkip(const std::optional<std::vector<std::uint8_t>>& source, const std::wstring& dst,
                 const standin::Faults& faults, const standin::Log& log, standin::RunLog& report) {
    auto fail = [&](const std::wstring& text) {
        log.Line(L"merge-error", text);
        report.Error(text);
        return 2;
    };
    const auto merged = standin::ReadFileBytes(dst);
    if (!source || !merged) return fail(L"cannot read the source or the destination: " + standin::LastErrorText());
    const auto oldDirectory = standin::ResourceDirectoryOf(*source);
    const auto newDirectory = standin::ResourceDirectoryOf(*merged);
    if (!oldDirectory || !newDirectory) return fail(L"cannot read the programs' resource directories");
    const standin::ResourceDirectory before = *oldDirectory;
    const standin::ResourceDirectory after = *newDirectory;
    std::vector<std::uint8_t> out;
    std::wstring what;
    if (faults.addskipInvisible) {
        const auto section = standin::SectionBytesAt(*merged, after.rva);
        if (!section) return fail(L"fault addskip-invisible: no section holds the new resource directory");
        out = *source;
        out.insert(out.end(), section->begin(), section->end());
        what = L"fault addskip-invisible: the source with the " + std::to_wstring(section->size()) +
               L" bytes of the new resource section appended; headers untouched";
    } else {
        out = *merged;
        for (std::size_t i = 0; i < 4; ++i) out[after.sizeOffset + i] = (before.size >> (8 * i)) & 0xFF;
        what = L"fault addskip-stale-size: resource directory size left at " + std::to_wstring(before.size) +
               L", the merge made it " + std::to_wstring(after.size);
    }
    if (!standin::WriteFileBytes(dst, out)) return fail(L"cannot write the destination: " + standin::LastErrorText());
    log.Line(L"merge-result", what);
    return 0;
}

// A merge as asked, or as the chosen faults spoil it.
int Merge(standin::MergeVerb verb, const Invocation& inv, const standin::Faults& faults, const standin::Log& log,
          standin::RunLog& report) {
    if (verb == standin::MergeVerb::Modify && faults.mergeHang) {
        standin::LogMergeRun(verb, inv.src, inv.dst, inv.resPath, log);
        log.Line(L"merge-result", L"fault merge-hang: hanging for ever; destination untouched");
        // Only TerminateProcess ends it, as with an editor stuck on a dialog nobody sees.
        Sleep(INFINITE);
    }
    if (faults.mergeNothing) {
        standin::LogMergeRun(verb, inv.src, inv.dst, inv.resPath, log);
        log.Line(L"merge-result", L"fault merge-nothing: destination untouched");
        return 0;
    }
    const bool spoilAddSkip =
        verb == standin::MergeVerb::AddSkip && (faults.addskipInvisible || faults.addskipStaleSize);
    std::optional<std::vector<std::uint8_t>> source;
    if (spoilAddSkip) source = standin::ReadFileBytes(inv.src);
    const int code = WithAppendedKept(inv, faults, L"merge", log, report, [&] {
        return standin::RunMerge(verb, inv.src, inv.dst, inv.resPath, !faults.mergeDropOthers, log, report);
    });
    if (spoilAddSkip && code == 0) return SpoilAddSkip(source, inv.dst, faults, log, report);
    if (verb != standin::MergeVerb::Modify || !faults.mergeTruncate || code == 2) return code;
    // A broken editor: it cuts the destination short whether it merged or not.
    const auto kept = standin::CutFileToHalf(inv.dst);
    if (!kept) {
        const std::wstring text = L"fault merge-truncate: cannot cut the destination: " + standin::LastErrorText();
        log.Line(L"merge-error", text);
        report.Error(text);
        return 2;
    }
    log.Line(L"merge-result", L"fault merge-truncate: destination cut to " + std::to_wstring(*kept) + L" bytes");
    return 0;
}

int Delete(const Invocation& inv, const standin::Faults& faults, const standin::Log& log, standin::RunLog& report) {
    const int code = WithAppendedKept(inv, faults, L"delete", log, report,
                                      [&] { return standin::RunDelete(inv.src, inv.dst, inv.mask, log, report); });
    if (code != 0 || !faults.deleteExit1) return code;
    log.Line(L"delete-result", L"fault delete-exit-1: the run reports a failure");
    return 1;
}

// The editor's verbs and its window: the old exit codes (0 done, 1 nothing to
// do, 2 error), which only the exit-codes fault lets through.
// As the real editor logs its command line: its own path in quotes, then
// the operands as it parsed them, without their quotes.
std::wstring LoggedCommandLine(const std::wstring& arguments) {
    std::wstring operands;
    for (const wchar_t c : arguments) {
        if (c != L'"') operands.push_back(c);
    }
    return L"\"" + standin::ProgramFolder() + L"ResHacker.exe\" " + operands;
}

int RunEditorVerb(const Invocation& inv, const std::wstring& arguments, int showCommand, const standin::Faults& faults,
                  const standin::Log& log) {
    if (inv.mode == Invocation::Mode::Edit) {
        const int code = standin::RunEditor(inv.resPath, showCommand, faults, log);
        standin::WriteEditorSettings();
        return code;
    }
    standin::RunLog report(LoggedCommandLine(arguments));
    int code = 2;
    switch (inv.mode) {
        case Invocation::Mode::AddSkip:
            code = Merge(standin::MergeVerb::AddSkip, inv, faults, log, report);
            break;
        case Invocation::Mode::Modify:
            code = Merge(standin::MergeVerb::Modify, inv, faults, log, report);
            break;
        case Invocation::Mode::Delete:
            code = Delete(inv, faults, log, report);
            break;
        default:
            log.Line(L"cmdline-error", inv.error);
            report.Error(L"invalid command");
            break;
    }
    report.Write();
    return code;
}

// An editor built for the ANSI code page sees its command line through it:
// what the code page lacks arrives best-fitted or as '?'.
std::wstring CommandLineThroughAnsi() {
    const char* narrow = GetCommandLineA();
    const int length = MultiByteToWideChar(CP_ACP, 0, narrow, -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    const standin::Log log;
    const standin::FaultsRead read = standin::ReadFaults();
    const standin::Faults& faults = read.faults;
    const std::wstring commandLine = faults.ansi ? CommandLineThroughAnsi() : GetCommandLineW();
    log.Line(L"cmdline", commandLine);
    if (read.logLine) log.Line(L"faults", *read.logLine);
    const std::wstring arguments = standin::ArgumentsOf(commandLine);
    const Invocation inv = standin::ParseInvocation(arguments);
    // The test helpers are no part of the editor: they keep their own codes.
    if (inv.mode == Invocation::Mode::CompileTest) return CompileTest(inv, log);
    if (inv.mode == Invocation::Mode::DecompileTest) return DecompileTest(inv, log);
    const int code = RunEditorVerb(inv, arguments, showCommand, faults, log);
    // The real editor exits with 0 whatever happened.
    const int exitCode = faults.exitCodes ? code : 0;
    log.Line(L"exit", std::to_wstring(exitCode));
    return exitCode;
}

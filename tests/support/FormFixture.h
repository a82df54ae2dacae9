#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/frmMain.h"
#include "tests/support/RecordingPlatform.h"
#include "tests/support/SyntheticFiles.h"
#include "verify/ScriptExpectation.h"

namespace quillmark::testing {

// A window on the recording platform, initialised and loaded like the real
// one, with the editor, the target (a program) and initial.res present, and
// an editor that does its work: initial.res gets the pasted script, and
// the "-modify " run leaves the target holding it.
class FormFixture : public ::testing::Test {
protected:
    static constexpr const wchar_t* kEditor = L"C:\\RH\\ResHacker.exe";
    static constexpr const wchar_t* kTarget = L"D:\\Work\\app.exe";
    static constexpr const wchar_t* kInitialRes = L"C:\\Tools\\initial.res";

    FormFixture() {
        platform.events = [this](WindowEvent event, const ControlRef& control) { form.OnEvent(event, control); };
        platform.files = {{kEditor}, {kTarget}, {kInitialRes}};
        platform.fileBytes[kTarget] = SyntheticPe({});
        platform.fileBytes[kInitialRes] = ResFileOf({{16, 1, 0x0411, VersionBlock(SampleVersion())}});
        platform.onLaunchExit = [this](int, const std::wstring& commandLine) { WorkingEditor(commandLine); };
    }

    // The editor as it should behave; tests that need it otherwise replace it.
    void WorkingEditor(const std::wstring& commandLine) {
        const auto values = verify::ExpectedFromScript(platform.clipboardText);
        if (!std::holds_alternative<verify::ExpectedVersion>(values)) return;
        const auto& expected = std::get<verify::ExpectedVersion>(values);
        if (commandLine.find(L" -modify ") != std::wstring::npos) {
            platform.versionReadBacks[platform.GetText({L"txtExe"})] = ReadBackOf(expected, {0x0411});
        } else if (commandLine.find(L" -addskip ") == std::wstring::npos) {
            // the resource file is the command line's last quoted operand
            const std::size_t close = commandLine.rfind(L'"');
            const std::size_t open = commandLine.rfind(L'"', close - 1);
            platform.fileBytes[commandLine.substr(open + 1, close - open - 1)] =
                ResFileOf({{16, 1, 0x0411, VersionBlock(expected)}});
        }
    }

    // Start-up, then both paths chosen.
    void StartWithPaths(const std::wstring& editor = kEditor, const std::wstring& target = kTarget) {
        form.OnEvent(WindowEvent::Initialize);
        form.OnEvent(WindowEvent::Load);
        platform.Type({L"txtResHack"}, editor);
        platform.Type({L"txtExe"}, target);
        platform.calls.clear();
        platform.messages.clear();
    }

    void SetVersions(const std::wstring& fileMajor, const std::wstring& fileMinor, const std::wstring& fileRev,
                     const std::wstring& productMajor, const std::wstring& productMinor,
                     const std::wstring& productRev) {
        platform.Type({L"txtFileVer", 0}, fileMajor);
        platform.Type({L"txtFileVer", 1}, fileMinor);
        platform.Type({L"txtFileVer", 2}, fileRev);
        platform.Type({L"txtProductVer", 0}, productMajor);
        platform.Type({L"txtProductVer", 1}, productMinor);
        platform.Type({L"txtProductVer", 2}, productRev);
    }

    void Press(const wchar_t* button) { form.OnEvent(WindowEvent::Click, {button}); }

    RecordingPlatform platform;
    frmMain form{platform};
};

}  // namespace quillmark::testing

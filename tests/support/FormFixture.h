#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/frmMain.h"
#include "tests/support/RecordingPlatform.h"

namespace quillmark::testing {

// A window on the recording platform, initialised and loaded like the real
// one, with the editor, the target and initial.res present.
class FormFixture : public ::testing::Test {
protected:
    static constexpr const wchar_t* kEditor = L"C:\\RH\\ResHacker.exe";
    static constexpr const wchar_t* kTarget = L"D:\\Work\\app.exe";

    FormFixture() {
        platform.events = [this](WindowEvent event, const ControlRef& control) { form.OnEvent(event, control); };
        platform.files = {{kEditor}, {kTarget}, {L"C:\\Tools\\initial.res"}};
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

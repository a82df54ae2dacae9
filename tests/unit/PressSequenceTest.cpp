#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

namespace quillmark::testing {
namespace {

std::vector<std::wstring> KeyCalls() {
    std::vector<std::wstring> keys;
    const auto tap = [&](int vk) {
        keys.push_back(L"Key " + std::to_wstring(vk) + L" Down");
        keys.push_back(L"Key " + std::to_wstring(vk) + L" Up");
    };
    const auto chord = [&](int modifier, int vk) {
        keys.push_back(L"Key " + std::to_wstring(modifier) + L" Down");
        tap(vk);
        keys.push_back(L"Key " + std::to_wstring(modifier) + L" Up");
    };
    for (int i = 0; i < 5; ++i) tap(39);
    tap(9);
    chord(18, 69);
    tap(65);
    tap(46);
    chord(17, 86);
    chord(18, 67);
    chord(17, 83);
    chord(18, 115);
    return keys;
}

class PressSequence : public FormFixture {
protected:
    std::vector<std::string> CallsUtf8() const {
        std::vector<std::string> out;
        for (const auto& c : platform.calls) out.push_back(Utf8(c));
        return out;
    }
};

TEST_F(PressSequence, AValidPressIssuesTheWholeSequenceInOrder) {
    platform.programFolder = L"C:\\Tools\\";
    platform.files.push_back({L"C:\\Program Files\\RH\\ResHacker.exe"});
    StartWithPaths(L"C:\\Program Files\\RH\\ResHacker.exe", L"D:\\Work\\app.exe");
    Press(L"Command1");

    const std::wstring editor = L"\"C:\\Program Files\\RH\\ResHacker.exe\"";
    const std::wstring res = L"\"C:\\Tools\\initial.res\"";
    // The target is checked before anything is touched, initial.res once the
    // editor has closed, the target again once the merges are done.
    std::vector<std::wstring> expected{L"Read D:\\Work\\app.exe 0+65536",
                                       L"ProbeWrite D:\\Work\\app.exe",
                                       L"BeginBusy",
                                       L"Read C:\\Tools\\initial.res 0+16777217",
                                       L"ClipboardEmpty",
                                       L"ClipboardSetText",
                                       L"Launch show=1 " + editor + L" " + res,
                                       L"WaitUntilReady #1"};
    for (const auto& key : KeyCalls()) expected.push_back(key);
    const std::vector<std::wstring> rest{
        L"WaitForExit #1", L"Read C:\\Tools\\initial.res 0+16777217",
        L"Copy D:\\Work\\app.exe -> D:\\Work\\app_original.exe",
        L"Launch show=0 " + editor + L" -addskip D:\\Work\\app_original.exe, D:\\Work\\app.exe, " + res + L" ,,,",
        L"WaitForExit #2",
        L"Launch show=0 " + editor + L" -modify D:\\Work\\app_original.exe, D:\\Work\\app.exe, " + res + L" ,,,",
        L"WaitForExit #3", L"Read D:\\Work\\app.exe 0+65536", L"ReadVersionBack D:\\Work\\app.exe",
        // the other resources, by the headers of both: neither has any
        L"Read D:\\Work\\app.exe 0+65536", L"Read D:\\Work\\app_original.exe 0+65536", L"EndBusy"};
    expected.insert(expected.end(), rest.begin(), rest.end());

    std::vector<std::string> expectedUtf8;
    for (const auto& c : expected) expectedUtf8.push_back(Utf8(c));
    EXPECT_EQ(CallsUtf8(), expectedUtf8);
    EXPECT_EQ(KeyCalls().size(), 36u);
    EXPECT_EQ(platform.OpenProcessCount(), 0u);
}

TEST_F(PressSequence, ADriveRootProgramFolderNamesTheRootsInitialRes) {
    platform.programFolder = L"D:\\";
    platform.files.push_back({L"D:\\initial.res"});
    platform.fileBytes[L"D:\\initial.res"] = platform.fileBytes[kInitialRes];
    StartWithPaths();
    Press(L"Command1");
    ASSERT_FALSE(platform.CallsStartingWith(L"Launch show=1").empty());
    EXPECT_EQ(Utf8(platform.CallsStartingWith(L"Launch show=1")[0]),
              Utf8(L"Launch show=1 \"C:\\RH\\ResHacker.exe\" \"D:\\initial.res\""));
}

TEST_F(PressSequence, AMissingInitialResDoesNotStopThePress) {
    platform.files = {{kEditor}, {kTarget}};
    platform.fileBytes.erase(kInitialRes);
    StartWithPaths();
    Press(L"Command1");
    EXPECT_EQ(platform.CallsStartingWith(L"Key ").size(), 36u);
    EXPECT_EQ(platform.CallsStartingWith(L"Launch").size(), 3u);
    EXPECT_TRUE(platform.messages.empty());
}

// What happens after each scripted failure: the first call that must not
// come, and a word the message must contain.
struct FailureScript {
    const char* name;
    std::function<void(RecordingPlatform&)> arrange;
    const wchar_t* firstMissingCall;
    const wchar_t* messageMentions;
    std::size_t keysSent;
    std::size_t launches;
};

class PressFailures : public FormFixture, public ::testing::WithParamInterface<FailureScript> {};

TEST_P(PressFailures, StopWithAMessageAndRunNothingLater) {
    StartWithPaths();
    GetParam().arrange(platform);
    Press(L"Command1");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].find(GetParam().messageMentions), std::wstring::npos) << Utf8(platform.messages[0]);
    EXPECT_TRUE(platform.CallsStartingWith(GetParam().firstMissingCall).empty());
    EXPECT_EQ(platform.CallsStartingWith(L"Key ").size(), GetParam().keysSent);
    EXPECT_EQ(platform.CallsStartingWith(L"Launch").size(), GetParam().launches);
    EXPECT_EQ(platform.OpenProcessCount(), 0u);
    EXPECT_EQ(platform.calls.back(), L"EndBusy");  // the window is usable again
    // every run given up on was ended first, none left running unseen
    EXPECT_EQ(platform.CallsStartingWith(L"EndProcess").size(),
              platform.readyOutcomes.size() + platform.exitOutcomes.size());

    // and the next press, with the failure gone, runs in full
    platform.clipboardEmptyError.reset();
    platform.clipboardSetError.reset();
    platform.failingLaunches.clear();
    platform.readyOutcomes.clear();
    platform.exitOutcomes.clear();
    platform.copyError.reset();
    const std::size_t launchesBefore = platform.CallsStartingWith(L"Launch").size();
    Press(L"Command1");
    EXPECT_EQ(platform.CallsStartingWith(L"Launch").size(), launchesBefore + 3);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, PressFailures,
    ::testing::Values(
        FailureScript{"ClipboardEmpty", [](RecordingPlatform& p) { p.clipboardEmptyError = L"denied"; },
                      L"ClipboardSetText", L"クリップボード", 0, 0},
        FailureScript{"ClipboardSet", [](RecordingPlatform& p) { p.clipboardSetError = L"denied"; }, L"Launch",
                      L"クリップボード", 0, 0},
        FailureScript{"EditorDoesNotStart", [](RecordingPlatform& p) { p.failingLaunches = {1}; }, L"Key",
                      L"C:\\RH\\ResHacker.exe", 0, 1},
        FailureScript{"EditorNeverReady", [](RecordingPlatform& p) { p.readyOutcomes[1] = WaitOutcome::TimedOut; },
                      L"Key", L"30 秒", 0, 1},
        FailureScript{"EditorNeverExits", [](RecordingPlatform& p) { p.exitOutcomes[1] = WaitOutcome::TimedOut; },
                      L"Copy", L"60 秒", 36, 1},
        FailureScript{"CopyFails", [](RecordingPlatform& p) { p.copyError = L"アクセスが拒否されました。"; },
                      L"Launch show=0", L"D:\\Work\\app_original.exe", 36, 1},
        FailureScript{"FirstMergeDoesNotStart", [](RecordingPlatform& p) { p.failingLaunches = {2}; },
                      L"WaitForExit #3", L"-addskip", 36, 2},
        FailureScript{"FirstMergeNeverExits", [](RecordingPlatform& p) { p.exitOutcomes[2] = WaitOutcome::TimedOut; },
                      L"Launch show=0 \"C:\\RH\\ResHacker.exe\" -modify", L"-modify", 36, 2},
        FailureScript{"SecondMergeNeverExits", [](RecordingPlatform& p) { p.exitOutcomes[3] = WaitOutcome::Failed; },
                      L"WaitForExit #4", L"-modify", 36, 3},
        FailureScript{"EditorNeverReadyAndCannotBeEnded",
                      [](RecordingPlatform& p) {
                          p.readyOutcomes[1] = WaitOutcome::TimedOut;
                          p.unendableLaunches = {1};
                      },
                      L"Key", L"タスク マネージャー", 0, 1},
        // it may still write the target: nothing is read back
        FailureScript{"SecondMergeCannotBeEnded",
                      [](RecordingPlatform& p) {
                          p.exitOutcomes[3] = WaitOutcome::TimedOut;
                          p.unendableLaunches = {3};
                      },
                      L"ReadVersionBack", L"タスク マネージャー", 36, 3}),
    [](const ::testing::TestParamInfo<FailureScript>& param) { return std::string(param.param.name); });

struct RefusedTarget {
    const wchar_t* path;
    const wchar_t* messageMentions;
};

class PressRefusesTarget : public FormFixture, public ::testing::WithParamInterface<RefusedTarget> {};

TEST_P(PressRefusesTarget, BeforeAnythingIsTouched) {
    platform.files.push_back({GetParam().path});
    StartWithPaths(kEditor, GetParam().path);
    Press(L"Command1");
    ASSERT_EQ(platform.calls.size(), 1u);
    EXPECT_TRUE(platform.calls[0].starts_with(L"MessageBox Warning Ok title=Quillmark text="));
    EXPECT_NE(platform.calls[0].find(GetParam().messageMentions), std::wstring::npos) << Utf8(platform.calls[0]);
}

INSTANTIATE_TEST_SUITE_P(Paths, PressRefusesTarget,
                         ::testing::Values(RefusedTarget{L"D:\\Work,2\\app.exe", L"「,」"},
                                           RefusedTarget{L"D:\\Work\\a,b.exe", L"D:\\Work\\a,b.exe"},
                                           RefusedTarget{L"ab", L"短すぎる"},
                                           // outside the ANSI code page, and no short name
                                           RefusedTarget{L"D:\\Work\\Café\\app.exe", L"「é」"}));

TEST_F(PressSequence, PathsOutsideTheAnsiCodePageReachTheEditorInTheirShortForm) {
    const std::wstring target = L"D:\\Work\\Café\\app.exe";
    platform.files.push_back({target});
    platform.fileBytes[target] = platform.fileBytes[kTarget];
    platform.shortPaths = {{target, L"D:\\Work\\CAFE~1\\app.exe"}, {L"D:\\Work\\Café", L"D:\\Work\\CAFE~1"}};
    StartWithPaths(kEditor, target);
    Press(L"Command1");
    EXPECT_EQ(platform.CallsStartingWith(L"Copy").size(), 1u);
    EXPECT_EQ(Utf8(platform.CallsStartingWith(L"Copy")[0]),
              Utf8(L"Copy " + target + L" -> D:\\Work\\Café\\app_original.exe"));
    ASSERT_EQ(platform.CallsStartingWith(L"Launch show=0").size(), 2u);
    EXPECT_NE(platform.CallsStartingWith(L"Launch show=0")[0].find(
                  L"-addskip D:\\Work\\CAFE~1\\app_original.exe, D:\\Work\\CAFE~1\\app.exe,"),
              std::wstring::npos);
}

TEST_F(PressSequence, ARangeErrorStopsBeforeAnyClipboardOrLaunch) {
    StartWithPaths();
    SetVersions(L"1", L"0", L"0", L"1", L"0", L"10000");
    Press(L"Command1");
    EXPECT_TRUE(platform.CallsStartingWith(L"Clipboard").empty());
    EXPECT_TRUE(platform.CallsStartingWith(L"Launch").empty());
    EXPECT_TRUE(platform.CallsStartingWith(L"Copy").empty());
}

TEST_F(PressSequence, ACloseOrTheSessionsEndWaitsForThePressThenSaves) {
    StartWithPaths();
    std::vector<bool> sessionMayEnd;
    platform.duringWait = [&] {
        if (sessionMayEnd.empty()) form.OnEvent(WindowEvent::Unload);  // End task, or the taskbar's close
        sessionMayEnd.push_back(form.Form_QueryEndSession());
        EXPECT_FALSE(platform.ended);
        EXPECT_EQ(platform.sessionEndBlockReason, L"バージョン情報を書き込み中です");
    };
    Press(L"Command1");
    EXPECT_EQ(sessionMayEnd, std::vector<bool>(4, false));
    EXPECT_EQ(platform.CallsStartingWith(L"ReadVersionBack").size(), 1u);  // the press ran to its end
    EXPECT_TRUE(platform.ended);
    EXPECT_FALSE(platform.sessionEndBlockReason.has_value());
    EXPECT_EQ(platform.CallsStartingWith(L"WriteProfile").size(), 12u);
    EXPECT_TRUE(form.Form_QueryEndSession());
}

TEST_F(PressSequence, TheSessionsEndSavesTheSettingsAsTheCloseDoes) {
    StartWithPaths();
    form.OnEvent(WindowEvent::EndSession);
    const auto saved = platform.CallsStartingWith(L"WriteProfile");
    platform.calls.clear();
    form.OnEvent(WindowEvent::Unload);
    EXPECT_EQ(saved.size(), 12u);
    EXPECT_EQ(saved, platform.CallsStartingWith(L"WriteProfile"));
}

TEST_F(PressSequence, APressThatArrivesWhileOneRunsIsIgnored) {
    StartWithPaths();
    // The window takes no input while it waits; should a click still
    // arrive, it must not start a second run inside the first.
    int clicksDuringWaits = 0;
    platform.duringWait = [&] {
        ++clicksDuringWaits;
        Press(L"Command1");
    };
    Press(L"Command1");
    EXPECT_EQ(clicksDuringWaits, 4);
    EXPECT_EQ(platform.CallsStartingWith(L"ClipboardEmpty").size(), 1u);
    EXPECT_EQ(platform.CallsStartingWith(L"Launch").size(), 3u);

    platform.duringWait = nullptr;
    Press(L"Command1");  // once it has ended, the next press runs
    EXPECT_EQ(platform.CallsStartingWith(L"ClipboardEmpty").size(), 2u);
}

}  // namespace
}  // namespace quillmark::testing

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "press/FileChecks.h"
#include "press/PressMessages.h"
#include "tests/support/FormFixture.h"

namespace quillmark::testing {
namespace {

constexpr Answer kOk = Answer::Ok;
constexpr Answer kYes = Answer::Yes;
constexpr Answer kNo = Answer::No;
constexpr const wchar_t* kTargetPath = L"D:\\Work\\app.exe";  // the fixture's target
constexpr const wchar_t* kBackup = L"D:\\Work\\app_original.exe";

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t length) {
    bytes.resize(length);
    return bytes;
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

constexpr const wchar_t* kEditorLog = L"C:\\RH\\ResHacker.log";

// The editor's log of one command-line run, as the real editor writes it:
// the time, the program quoted and the operands without their quotes, the
// result.
void LogRun(RecordingPlatform& p, const std::wstring& commandLine, const std::wstring& result,
            const std::wstring& at = kEditorLog) {
    const std::size_t operands = commandLine.find(L" -");
    std::wstring logged = commandLine.substr(operands);
    std::erase(logged, L'"');
    const std::wstring text =
        L"[09 Dec 2026, 19:48:30]\r\n" + commandLine.substr(0, operands) + logged + L"\r\n" + result + L"\r\n";
    const std::string utf8 = Utf8(text);
    p.fileBytes[at] = std::vector<std::uint8_t>(utf8.begin(), utf8.end());
}

class PressProof : public FormFixture {
protected:
    PressProof() { StartWithPaths(); }

    std::size_t Count(const std::wstring& prefix) const { return platform.CallsStartingWith(prefix).size(); }
    std::vector<std::wstring> Styles() const {
        std::vector<std::wstring> styles;
        for (const auto& call : platform.CallsStartingWith(L"MessageBox ")) {
            styles.push_back(call.substr(11, call.find(L" title=") - 11));
        }
        return styles;
    }
    bool Says(std::size_t message, const std::wstring& words) const {
        return message < platform.messages.size() && platform.messages[message].find(words) != std::wstring::npos;
    }
};

// --- before anything is touched ------------------------------------------------

struct Before {
    const char* name;
    std::function<void(RecordingPlatform&)> arrange;
    std::vector<Answer> answers;
    std::vector<std::wstring> styles;    // of the message boxes, in turn
    std::vector<std::wstring> mentions;  // words of the last message
    bool goesAhead;
};

class PressBefore : public PressProof, public ::testing::WithParamInterface<Before> {};

TEST_P(PressBefore, StopsBeforeTheClipboardUnlessTheUserSaysGoOn) {
    GetParam().arrange(platform);
    platform.messageAnswers.assign(GetParam().answers.begin(), GetParam().answers.end());
    Press(L"Command1");
    EXPECT_EQ(Styles(), GetParam().styles);
    for (const auto& words : GetParam().mentions) {
        EXPECT_TRUE(Says(platform.messages.size() - 1, words)) << Utf8(words) << "\n" << Utf8(platform.messages.back());
    }
    EXPECT_EQ(Count(L"ClipboardEmpty"), GetParam().goesAhead ? 1u : 0u);
    EXPECT_EQ(Count(L"Launch"), GetParam().goesAhead ? 3u : 0u);
    EXPECT_EQ(platform.fileBytes.count(kBackup), GetParam().goesAhead ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, PressBefore,
    ::testing::Values(Before{"TextFileNamedExe",
                             [](RecordingPlatform& p) {
                                 p.fileBytes[kTargetPath] = {'h', 'e', 'l', 'l', 'o'};
                             },
                             {},
                             {L"Warning Ok"},
                             {L"Windows のプログラムではない", L"D:\\Work\\app.exe", L"MZ", L"変更していません"},
                             false},
                      Before{"CutShortProgram",
                             [](RecordingPlatform& p) { p.fileBytes[kTargetPath].resize(0x500); },
                             {},
                             {L"Warning Ok"},
                             {L"ファイルの終わりを越えて"},
                             false},
                      Before{"Unreadable",
                             [](RecordingPlatform& p) { p.fileBytes.erase(kTargetPath); },
                             {},
                             {L"Warning Ok"},
                             {L"読み取れません", L"指定されたファイルが見つかりません。"},
                             false},
                      Before{"InUse",
                             [](RecordingPlatform& p) {
                                 p.writeProbeErrors[kTargetPath] = L"プロセスはファイルにアクセスできません。";
                             },
                             {},
                             {L"Warning Ok"},
                             {L"書き込めません", L"D:\\Work\\app.exe", L"プロセスはファイルにアクセスできません。",
                              L"実行中"},
                             false},
                      Before{"SignedAndNo",
                             [](RecordingPlatform& p) { p.fileBytes[kTargetPath] = SyntheticPe({.certificates = 64}); },
                             {kNo},
                             {L"Warning YesNo default=No"},
                             {L"デジタル署名", L"署名し直す"},
                             false},
                      Before{"SignedAndYes",
                             [](RecordingPlatform& p) { p.fileBytes[kTargetPath] = SyntheticPe({.certificates = 64}); },
                             {kYes},
                             {L"Warning YesNo default=No"},
                             {L"デジタル署名"},
                             true},
                      Before{"AppendedAndNo",
                             [](RecordingPlatform& p) { p.fileBytes[kTargetPath] = SyntheticPe({.appended = 65536}); },
                             {kNo},
                             {L"Warning YesNo default=No"},
                             {L"65536 バイト", L"インストーラー"},
                             false},
                      Before{"SignedWithAppendedAsksBoth",
                             [](RecordingPlatform& p) {
                                 p.fileBytes[kTargetPath] = SyntheticPe({.certificates = 64, .appendedAfterCert = 10});
                             },
                             {kYes, kNo},
                             {L"Warning YesNo default=No", L"Warning YesNo default=No"},
                             {L"10 バイト"},
                             false}),
    [](const auto& param) { return std::string(param.param.name); });

// --- between the edit and the backup ---------------------------------------------

TEST_F(PressProof, AnEditThatWasNotSavedStopsBeforeTheBackup) {
    // initial.res as shipped: the keys never reached the editor, or it did not save
    auto shipped = SampleVersion();
    for (auto& [key, value] : shipped.strings) value = L"(" + key + L")";
    shipped.fixed = {{1, 0, 0, 0}, {1, 0, 0, 0}};
    platform.fileBytes[kInitialRes] = ResFileOf({{16, 1, 0x0411, VersionBlock(shipped)}});
    platform.onLaunchExit = nullptr;
    Press(L"Command1");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(Says(0, L"initial.res が、入力した内容と一致しません"));
    EXPECT_TRUE(Says(0, L"C:\\Tools\\initial.res"));
    EXPECT_TRUE(Says(0, L"・Comments: 「Comments」 のはずが 「(Comments)」"));
    EXPECT_TRUE(Says(0, L"(ほか "));
    EXPECT_TRUE(Says(0, L"バックアップの作成と実行ファイルの更新は行っていません"));
    EXPECT_EQ(Count(L"Copy"), 0u);
    EXPECT_EQ(Count(L"Launch"), 1u);
}

// What the editor left in initial.res: the stop says what is wrong with it,
// and initial.res is as it was before the press.
struct EditedRes {
    const char* name;
    std::function<void(RecordingPlatform&)> before;  // besides the shipped file
    std::optional<std::vector<std::uint8_t>> saved;  // nothing: the editor removed it
    std::vector<const wchar_t*> mentions;
};

class PressProofEditedRes : public PressProof, public ::testing::WithParamInterface<EditedRes> {};

TEST_P(PressProofEditedRes, StopsBeforeTheBackupAndPutsInitialResBack) {
    GetParam().before(platform);
    const std::optional<std::vector<std::uint8_t>> shipped =
        platform.fileBytes.contains(kInitialRes) ? std::optional(platform.fileBytes[kInitialRes]) : std::nullopt;
    platform.onLaunchExit = [this](int, const std::wstring&) {
        if (GetParam().saved) platform.fileBytes[kInitialRes] = *GetParam().saved;
        if (!GetParam().saved) platform.fileBytes.erase(kInitialRes);
    };
    Press(L"Command1");
    ASSERT_EQ(platform.messages.size(), 1u);
    for (const wchar_t* words : GetParam().mentions) EXPECT_TRUE(Says(0, words)) << Utf8(words);
    EXPECT_TRUE(Says(0, L"バックアップの作成と実行ファイルの更新は行っていません"));
    EXPECT_EQ(Count(L"Copy"), 0u);
    if (platform.writeErrors.empty()) {
        EXPECT_EQ(platform.fileBytes.contains(kInitialRes), shipped.has_value());
        if (shipped) {
            EXPECT_EQ(platform.fileBytes[kInitialRes], *shipped);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Saved, PressProofEditedRes,
    ::testing::Values(
        EditedRes{"Removed",
                  [](RecordingPlatform&) {},
                  std::nullopt,
                  {L"initial.res を読み取れませんでした", L"initial.res は、実行する前の内容に戻しました。"}},
        EditedRes{"NotAResourceFile",
                  [](RecordingPlatform&) {},
                  std::vector<std::uint8_t>{'n', 'o', 't', ' ', 'r', 'e', 's'},
                  {L"リソース ファイルとして読めません", L"initial.res は、実行する前の内容に戻しました。"}},
        // the real editor's compile under Wine: Ctrl+S then saves an empty tree
        EditedRes{"CompileDroppedTheResource",
                  [](RecordingPlatform&) {},
                  ResFileOf({}),
                  {L"ResHacker のスクリプトのコンパイルか保存で、バージョン情報が残りませんでした。",
                   L"C:\\Tools\\initial.res", L"initial.res は、実行する前の内容に戻しました。"}},
        EditedRes{"VersionUnreadable",
                  [](RecordingPlatform&) {},
                  ResFileOf({{16, 1, 0x0411, {4, 0, 0, 0}}}),
                  {L"バージョン情報のリソースを読み取れません", L"initial.res は、実行する前の内容に戻しました。"}},
        EditedRes{
            "PutBackRefused",
            [](RecordingPlatform& p) { p.writeErrors[L"C:\\Tools\\initial.res"] = L"アクセスが拒否されました。"; },
            ResFileOf({}),
            {L"initial.res を実行する前の内容に戻せませんでした。\r\nC:\\Tools\\initial.res\r\n"
             L"アクセスが拒否されました。"}},
        EditedRes{"MissingBeforeStaysMissing",
                  [](RecordingPlatform& p) {
                      p.files.pop_back();
                      p.fileBytes.erase(L"C:\\Tools\\initial.res");
                  },
                  ResFileOf({}),
                  {L"実行する前になかった initial.res は、削除しました。"}}),
    [](const auto& param) { return std::string(param.param.name); });

// The editor stored a typed value otherwise: the message names why it may have.
struct MisreadValue {
    const char* name;
    int field;
    const wchar_t* typed;
    const wchar_t* stored;
    std::vector<const wchar_t*> mentions;
    const wchar_t* doesNotMention;
};

class PressProofMisread : public PressProof, public ::testing::WithParamInterface<MisreadValue> {};

TEST_P(PressProofMisread, StopsBeforeTheBackupWithAHint) {
    platform.Type({L"txtInfo", GetParam().field}, GetParam().typed);
    platform.onLaunchExit = [this](int, const std::wstring& line) {
        WorkingEditor(line);
        auto values = std::get<verify::ExpectedVersion>(verify::ExpectedFromScript(platform.clipboardText));
        values.strings[static_cast<std::size_t>(GetParam().field)].second = GetParam().stored;
        if (line.find(L"-") == std::wstring::npos) {
            platform.fileBytes[kInitialRes] = ResFileOf({{16, 1, 0x0411, VersionBlock(values)}});
        }
    };
    Press(L"Command1");
    ASSERT_EQ(platform.messages.size(), 1u);
    for (const wchar_t* words : GetParam().mentions) EXPECT_TRUE(Says(0, words)) << Utf8(words);
    EXPECT_FALSE(Says(0, GetParam().doesNotMention));
    EXPECT_EQ(Count(L"Copy"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Hints, PressProofMisread,
                         ::testing::Values(
                             // the editor's compiler reads \n as a line break
                             MisreadValue{"ScriptSpecials",
                                          0,
                                          L"C:\\new",
                                          L"C:\new",
                                          {L"Comments: 「C:\\new」 のはずが", L"特別な意味"},
                                          L"ANSI コード ページ"},
                             // an editor built for the ANSI code page got the best-fit letters
                             MisreadValue{"OutsideTheAnsiCodePage",
                                          3,
                                          L"© 2026 Example®",
                                          L"c 2026 ExampleR",
                                          {L"LegalCopyright: 「© 2026 Example®」 のはずが",
                                           L"「©」「®」 は、システムの ANSI コード ページにない文字です"},
                                          L"特別な意味"}),
                         [](const auto& param) { return std::string(param.param.name); });

// --- after the merge runs ------------------------------------------------------------

struct After {
    const char* name;
    PeSpec target;
    // what the merge left: the target's new bytes and what Windows reads of it
    std::function<void(RecordingPlatform&, const verify::ExpectedVersion&)> merge;
    std::vector<std::wstring> mentions;
    // what the editor logs of each hidden run; nothing: no log at all
    std::function<void(RecordingPlatform&, const std::wstring& commandLine)> log = nullptr;
};

verify::ExpectedVersion Pressed(const RecordingPlatform& p) {
    return std::get<verify::ExpectedVersion>(verify::ExpectedFromScript(p.clipboardText));
}

void LeaveTarget(RecordingPlatform& p, std::vector<std::uint8_t> bytes, VersionReadBack back) {
    p.fileBytes[kTargetPath] = std::move(bytes);
    p.versionReadBacks[kTargetPath] = std::move(back);
}

const After kAfterCases[] = {
    {"MergeDidNothing",
     {},
     [](RecordingPlatform& p, const auto&) {
         LeaveTarget(p, SyntheticPe({}), {{true, {}}, {}, {}});
     },
     {L"言語 0411 (日本語) のバージョン情報がありません"}},
    {"MergeCutTheTarget",
     {},
     [](RecordingPlatform& p, const auto& v) { LeaveTarget(p, Cut(SyntheticPe({}), 0x500), ReadBackOf(v, {0x411})); },
     {L"Windows のプログラムではなくなっています", L"ファイルの終わりを越えて"}},
    {"OldValuesStayed",
     {},
     [](RecordingPlatform& p, auto v) {
         v.strings[5].second = L"Old Product";
         v.fixed.file = {9, 8, 7, 6};
         LeaveTarget(p, SyntheticPe({}), ReadBackOf(v, {0x411}));
     },
     {L"FILEVERSION: 「1.0.0.0」 のはずが 「9.8.7.6」", L"ProductName: 「ProductName」 のはずが 「Old Product」"}},
    {"WindowsApiSeesNoVersion",
     {},
     [](RecordingPlatform& p, const auto& v) {
         auto back = ReadBackOf(v, {0x411});
         back.shown = {};
         LeaveTarget(p, SyntheticPe({}), back);
     },
     {L"バージョン API"}},
    {"UnreadableAfterwards",
     {},
     [](RecordingPlatform& p, const auto&) { p.fileBytes.erase(kTargetPath); },
     {L"実行ファイルを読み取れません: 指定されたファイルが見つかりません。"}},
    {"MergeDroppedTheIcon",
     {.resources = {{{3, {}}, {1, {}}, 0x0411, {1, 2, 3}}}},
     [](RecordingPlatform& p, const auto& v) { LeaveTarget(p, SyntheticPe({}), ReadBackOf(v, {0x411})); },
     {L"アイコン (ICON 1, 言語 0411) がなくなっています"}},
    {"AppendedDataLost",
     {.appended = 4096},
     [](RecordingPlatform& p, const auto& v) { LeaveTarget(p, SyntheticPe({.sections = 3}), ReadBackOf(v, {0x411})); },
     {L"イメージの後ろのデータ (4096 バイト) が失われました"}},
    {"AppendedDataMovedBehindANewSection",
     {.appended = 4096},
     [](RecordingPlatform& p, const auto& v) {
         auto moved = SyntheticPe({.sections = 3, .appended = 4096});
         moved.back() ^= 1;
         LeaveTarget(p, moved, ReadBackOf(v, {0x411}));
     },
     {L"イメージの後ろのデータ (4096 バイト) の内容が変わりました"}},
    // The real editor logs "Added" for a resource section Windows never finds.
    {"AddSkipLoggedAddedButWroteNothing",
     {},
     [](RecordingPlatform& p, const auto&) {
         LeaveTarget(p, SyntheticPe({}), {{true, {}}, {}, {}});
     },
     {L"言語 0411 (日本語) のバージョン情報がありません\r\nResHacker の記録 (ResHacker.log):\r\n"
      L"・-addskip: Added: VERSIONINFO,1,1041\r\n・-modify: Commands completed\r\n元のファイル"},
     [](RecordingPlatform& p, const std::wstring& line) {
         LogRun(
             p, line,
             line.find(L"-addskip") != std::wstring::npos ? L"  Added: VERSIONINFO,1,1041" : L"\r\nCommands completed");
     }},
    // A 32-bit editor without a manifest, in a folder it may not write.
    {"LogInTheVirtualStore",
     {},
     [](RecordingPlatform& p, const auto&) {
         LeaveTarget(p, SyntheticPe({}), {{true, {}}, {}, {}});
     },
     {L"・-addskip: Error: invalid command\r\n・-modify: 記録が書き換えられていません\r\n"},
     [](RecordingPlatform& p, const std::wstring& line) {
         if (line.find(L"-addskip") == std::wstring::npos) return;
         LogRun(p, line, L"Error: invalid command",
                L"C:\\Users\\Quill\\AppData\\Local\\VirtualStore\\RH\\ResHacker.log");
     }},
    {"LogOfAnotherCommand",
     {},
     [](RecordingPlatform& p, const auto&) {
         LeaveTarget(p, SyntheticPe({}), {{true, {}}, {}, {}});
     },
     {L"・-addskip: 記録は別のコマンドのものです\r\n・-modify: 記録がありません\r\n"},
     [](RecordingPlatform& p, const std::wstring& line) {
         if (line.find(L"-addskip") != std::wstring::npos) LogRun(p, L"x -addskip other.exe, b.exe, c.res", L"");
         if (line.find(L"-modify") != std::wstring::npos) p.fileBytes.erase(kEditorLog);
     }},
};

class PressAfter : public PressProof, public ::testing::WithParamInterface<After> {
protected:
    PressAfter() {
        platform.fileBytes[kTarget] = SyntheticPe(GetParam().target);
        platform.onLaunchExit = [this](int, const std::wstring& line) {
            WorkingEditor(line);
            if (line.find(L" -modify ") != std::wstring::npos) GetParam().merge(platform, Pressed(platform));
            if (GetParam().log && line.find(L" -") != std::wstring::npos) GetParam().log(platform, line);
        };
    }
};

TEST_P(PressAfter, SaysWhatDiffersNamesTheBackupAndRestoresItOnYes) {
    const auto original = platform.fileBytes[kTarget];
    platform.messageAnswers = {kYes, kYes, kOk};  // the appended data question first, where there is one
    Press(L"Command1");
    const std::size_t question = platform.messages.size() - 2;
    for (const auto& words : GetParam().mentions) {
        EXPECT_TRUE(Says(question, words)) << Utf8(words) << "\n" << Utf8(platform.messages[question]);
    }
    EXPECT_TRUE(Says(question, L"元のファイルはバックアップにあります。\r\nD:\\Work\\app_original.exe"));
    EXPECT_EQ(Styles().back(), L"Information Ok");
    EXPECT_EQ(Styles()[Styles().size() - 2], L"Warning YesNo");  // Yes is the default: the original back
    EXPECT_TRUE(Says(question + 1, L"元に戻しました"));
    EXPECT_EQ(platform.fileBytes[kTarget], original);
    EXPECT_EQ(platform.CallsStartingWith(L"Copy").back(),
              L"Copy D:\\Work\\app_original.exe -> D:\\Work\\app.exe.quillmark-restore.exe");
    EXPECT_EQ(platform.CallsStartingWith(L"Replace").back(),
              L"Replace D:\\Work\\app.exe <- D:\\Work\\app.exe.quillmark-restore.exe");
    EXPECT_EQ(platform.fileBytes.at(kBackup), original);
}

TEST_P(PressAfter, LeavesBothFilesOnNo) {
    platform.messageAnswers = {GetParam().target.appended > 0 ? kYes : kNo, kNo};
    Press(L"Command1");
    EXPECT_EQ(Styles().back(), L"Warning YesNo");
    EXPECT_EQ(Count(L"Copy"), 1u);  // the backup only
    EXPECT_EQ(platform.fileBytes.count(kBackup), 1u);
}

INSTANTIATE_TEST_SUITE_P(Merges, PressAfter, ::testing::ValuesIn(kAfterCases),
                         [](const auto& param) { return std::string(param.param.name); });

// A target built elsewhere keeps its version resource in 0409 beside the
// press's 0411; the editor's -delete copies its source less that item, or
// as `deleteLeaves` says.
class LeftoverLanguage : public PressProof {
protected:
    LeftoverLanguage() {
        platform.onLaunchExit = [this](int, const std::wstring& line) {
            WorkingEditor(line);
            if (line.find(L" -modify ") != std::wstring::npos) {
                auto back = ReadBackOf(Pressed(platform), {0x0409, 0x0411});
                back.languages[0].values.strings[1] = L"Old Company";
                back.shown = back.languages[0].values;  // this user's Windows shows the English one
                platform.versionReadBacks[kTarget] = back;
            }
            if (const std::size_t verb = line.find(L" -delete "); verb != std::wstring::npos) {
                const std::size_t comma = line.find(L", ", verb);
                const std::wstring source = line.substr(verb + 9, comma - verb - 9);
                const std::wstring destination = line.substr(comma + 2, line.find(L", ", comma + 2) - comma - 2);
                platform.fileBytes[destination] = platform.fileBytes[source];
                platform.versionReadBacks[destination] = ReadBackOf(Pressed(platform), deleteLeaves);
            }
        };
    }
    std::vector<std::uint16_t> deleteLeaves{0x0411};
};

TEST_F(LeftoverLanguage, IsLeftAloneOnNo) {
    const auto merged = platform.fileBytes[kTarget];
    platform.messageAnswers = {kNo};
    Press(L"Command1");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(Styles(), std::vector<std::wstring>{L"Warning YesNo"});  // Yes/No, Yes the default
    EXPECT_TRUE(Says(0, L"別の言語のバージョン情報も残っています"));
    EXPECT_TRUE(Says(0, L"残っている言語: 0409 (英語 (米国))\r\n"));
    EXPECT_TRUE(Says(0, L"表示言語"));
    EXPECT_TRUE(Says(0, kBackup));
    EXPECT_EQ(Count(L"Copy"), 1u);
    EXPECT_EQ(Count(L"Launch"), 3u);
    EXPECT_EQ(platform.fileBytes[kTarget], merged);
}

TEST_F(LeftoverLanguage, IsDeletedThroughAWorkFileOnYes) {
    platform.messageAnswers = {kYes};
    Press(L"Command1");
    ASSERT_EQ(platform.messages.size(), 1u);
    ASSERT_EQ(Count(L"Launch"), 4u);
    EXPECT_EQ(Utf8(platform.CallsStartingWith(L"Launch")[3]),
              Utf8(L"Launch show=0 \"C:\\RH\\ResHacker.exe\" -delete D:\\Work\\app.exe, "
                   L"D:\\Work\\app.exe.quillmark-work1.exe, VERSIONINFO,1,1033"));
    EXPECT_EQ(Count(L"Replace D:\\Work\\app.exe <- D:\\Work\\app.exe.quillmark-work1.exe"), 1u);
    EXPECT_EQ(platform.versionReadBacks[kTarget].languages.size(), 1u);
    EXPECT_FALSE(platform.fileBytes.contains(L"D:\\Work\\app.exe.quillmark-work1.exe"));
    EXPECT_EQ(platform.OpenProcessCount(), 0u);
}

// A removal that goes wrong: what the user is told, and which files stay.
struct DeleteFault {
    const char* name;
    std::function<void(RecordingPlatform&, std::vector<std::uint16_t>& deleteLeaves)> fault;
    std::vector<std::wstring> styles;
    std::vector<std::wstring> mentions;  // in the last message
    bool targetAsMerged;                 // else the backup is offered
    bool workFileStays;
};

const std::wstring kWork1 = L"D:\\Work\\app.exe.quillmark-work1.exe";

const DeleteFault kDeleteFaults[] = {
    {"WorkFileWrong",
     [](RecordingPlatform&, auto& leaves) {
         leaves = {0x0409, 0x0411};
     },
     {L"Warning YesNo", L"Warning Ok"},
     {L"作業用のファイルを確かめたところ", kWork1, L"別の言語のバージョン情報が残っています: 0409", L"削除の前のまま",
      kBackup},
     true,
     false},
    // The editor exits with 0 after its errors too: its log tells.
    {"LoggedAnError",
     [](RecordingPlatform& p, auto&) {
         p.onLaunchExit = [&p, editor = p.onLaunchExit](int n, const std::wstring& line) {
             editor(n, line);
             if (n == 4) LogRun(p, line, L"Error: No matching resource found.");
         };
     },
     {L"Warning YesNo", L"Warning Ok"},
     {L"ResHacker (-delete) がエラーを記録しました。", L"・-delete: Error: No matching resource found.",
      L"削除の前のまま", kTargetPath, kBackup},
     true,
     false},
    {"ExitCodeOne",
     [](RecordingPlatform& p, auto&) { p.exitCodes[4] = 1; },
     {L"Warning YesNo", L"Warning Ok"},
     {L"ResHacker (-delete) が終了コード 1 で終了しました。", L"削除の前のまま", kTargetPath, kBackup},
     true,
     false},
    {"NotStarted",
     [](RecordingPlatform& p, auto&) { p.failingLaunches = {4}; },
     {L"Warning YesNo", L"Warning Ok"},
     {L"起動できませんでした", L"削除の前のまま"},
     true,
     false},
    {"ReplaceRefused",
     [](RecordingPlatform& p, auto&) {
         p.replaceFailure = ReplaceOutcome{ReplaceOutcome::Kind::Unchanged, L"アクセスが拒否されました。"};
     },
     {L"Warning YesNo", L"Warning Ok"},
     {L"置き換えられませんでした", L"アクセスが拒否されました。", L"削除の前のまま"},
     true,
     false},
    {"ReplaceLostTheTargetsName",
     [](RecordingPlatform& p, auto&) {
         p.replaceFailure = ReplaceOutcome{ReplaceOutcome::Kind::ReplacedGone, L"アクセスが拒否されました。"};
     },
     {L"Warning YesNo", L"Warning Ok"},
     {L"元の名前では見つからなくなっています", kWork1, kBackup},
     true,
     true},
    {"TargetChangedByTheRun",
     [](RecordingPlatform& p, auto&) {
         p.exitCodes[4] = 1;
         const auto editor = p.onLaunchExit;
         p.onLaunchExit = [&p, editor](int launch, const std::wstring& line) {
             editor(launch, line);
             if (launch == 4) p.fileBytes[kTargetPath] = SyntheticPe({.sections = 3});
         };
     },
     {L"Warning YesNo", L"Warning YesNo"},
     {L"書き換えられました", kBackup, L"元に戻しますか"},
     false,
     false},
    // The system says the replacement completed, but the target reads as before.
    {"ReplacedButReadsWrong",
     [](RecordingPlatform& p, auto&) {
         p.replaceFailure = ReplaceOutcome{ReplaceOutcome::Kind::Replaced, L""};
     },
     {L"Warning YesNo", L"Warning YesNo"},
     {L"別の言語のバージョン情報を削除した結果を確かめたところ、正しくありませんでした。\r\n",
      L"別の言語のバージョン情報が残っています: 0409", L"元に戻しますか"},
     false,
     true},
    // A scanner holds the target for a moment: nothing says it changed, nothing undoes the merge.
    {"DigestUnreadable",
     [](RecordingPlatform& p, auto&) {
         p.exitCodes[4] = 1;
         p.onLaunchExit = [&p, editor = p.onLaunchExit](int launch, const std::wstring& line) {
             editor(launch, line);
             if (launch == 4) p.lockedReads[kTargetPath] = 1;
         };
     },
     {L"Warning YesNo", L"Warning Ok"},
     {L"終了コード 1 で終了しました。\r\n実行ファイルを読み取れなかったため、削除の前のままかどうかを確かめられません"
      L"でした。\r\nD:\\Work\\app.exe\r\n読み直したところ、入力した値のバージョン情報は正しく入っています。\r\n"
      L"・別の言語のバージョン情報が残っています: 0409 (英語 (米国))\r\n元のファイルはバックアップにあります。"},
     true,
     false},
};

class DeleteFaults : public LeftoverLanguage, public ::testing::WithParamInterface<DeleteFault> {};

TEST_P(DeleteFaults, SayWhatFailedAndOfferTheBackupOnlyForAChangedTarget) {
    GetParam().fault(platform, deleteLeaves);
    platform.messageAnswers = {kYes, kNo};
    Press(L"Command1");
    EXPECT_EQ(Styles(), GetParam().styles);
    for (const std::wstring& words : GetParam().mentions) {
        EXPECT_TRUE(Says(platform.messages.size() - 1, words)) << Utf8(words) << "\n" << Utf8(platform.messages.back());
    }
    if (GetParam().targetAsMerged) {
        EXPECT_EQ(platform.versionReadBacks[kTarget].languages.size(), 2u);
    }
    EXPECT_EQ(platform.fileBytes.contains(kWork1), GetParam().workFileStays);
    EXPECT_EQ(platform.OpenProcessCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Removal, DeleteFaults, ::testing::ValuesIn(kDeleteFaults),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(LeftoverLanguage, ATargetPassedInItsShortFormIsCleanedThroughTheFileItsEditorWrote) {
    // Neither the folder's nor the file's name fits the code page.
    platform.inAnsiCodePage = [](wchar_t c) { return c < 0x80 && c != L'W' && c != L'p'; };
    platform.shortPaths = {{kTarget, L"D:\\DIR~1\\APP~1.EXE"}, {L"D:\\Work", L"D:\\DIR~1"}};
    const auto editor = platform.onLaunchExit;
    platform.onLaunchExit = [editor](int launch, std::wstring line) {
        // The short forms name the same files as the long ones.
        if (const std::size_t at = line.find(L"D:\\DIR~1\\APP~1.EXE, "); at != std::wstring::npos) {
            line.replace(at, 18, kTarget);
        }
        for (std::size_t at; (at = line.find(L"D:\\DIR~1\\")) != std::wstring::npos;)
            line.replace(at, 9, L"D:\\Work\\");
        editor(launch, line);
    };
    platform.messageAnswers = {kYes};
    Press(L"Command1");
    ASSERT_EQ(platform.messages.size(), 1u) << Utf8(platform.messages.back());
    ASSERT_EQ(Count(L"Launch"), 4u);
    EXPECT_EQ(Utf8(platform.CallsStartingWith(L"Launch")[3]),
              Utf8(L"Launch show=0 \"C:\\RH\\ResHacker.exe\" -delete D:\\DIR~1\\APP~1.EXE, "
                   L"D:\\DIR~1\\APP~1.EXE.quillmark-work1.exe, VERSIONINFO,1,1033"));
    EXPECT_EQ(Count(L"Replace D:\\Work\\app.exe <- D:\\Work\\APP~1.EXE.quillmark-work1.exe"), 1u);
    EXPECT_EQ(platform.versionReadBacks[kTarget].languages.size(), 1u);
    for (const auto& [path, bytes] : platform.fileBytes) EXPECT_EQ(path.find(L"quillmark-work"), std::wstring::npos);
}

TEST_F(LeftoverLanguage, AWorkFileOfAnEarlierPressIsRemovedBeforeTheRun) {
    // Of any number: an ended press may have had more languages to remove.
    const std::wstring work17 = L"D:\\Work\\app.exe.quillmark-work17.exe";
    for (const std::wstring& earlier : {kWork1, work17}) platform.fileBytes[earlier] = {'o', 'l', 'd'};
    platform.messageAnswers = {kYes};
    Press(L"Command1");
    ASSERT_EQ(platform.messages.size(), 1u);
    const auto& calls = platform.calls;
    for (const std::wstring& earlier : {kWork1, work17}) {
        const auto removed = std::find(calls.begin(), calls.end(), L"Remove " + earlier);
        ASSERT_NE(removed, calls.end());
        EXPECT_EQ(std::count(removed, calls.end(), platform.CallsStartingWith(L"Launch")[3]), 1);
    }
    EXPECT_FALSE(platform.fileBytes.contains(work17));
    EXPECT_EQ(platform.versionReadBacks[kTarget].languages.size(), 1u);
}

TEST_F(LeftoverLanguage, AWorkFileThatCannotBeRemovedStopsBeforeAnyRun) {
    platform.files.push_back({kWork1});  // listed, but its removal fails
    platform.messageAnswers = {kYes};
    Press(L"Command1");
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(Says(1, L"以前の作業用のファイルを削除できなかった"));
    EXPECT_TRUE(Says(1, kWork1));
    EXPECT_TRUE(Says(1, L"削除の前のまま"));
    EXPECT_EQ(Count(L"Launch"), 3u);
}

TEST_F(PressProof, AppendedDataThatStayedInPlaceGivesNoMessage) {
    platform.fileBytes[kTarget] = SyntheticPe({.appended = 3000, .certificates = 100});
    platform.messageAnswers = {kYes, kYes};
    Press(L"Command1");
    EXPECT_EQ(Styles(), (std::vector<std::wstring>{L"Warning YesNo default=No", L"Warning YesNo default=No"}));
}

TEST_F(PressProof, AMergeRunThatHadToBeEndedIsReportedWithWhatTheTargetHolds) {
    platform.exitOutcomes[3] = WaitOutcome::TimedOut;
    platform.onLaunchExit = [this](int launch, const std::wstring& line) {
        WorkingEditor(line);
        if (launch == 2) LeaveTarget(platform, SyntheticPe({.sections = 3}), ReadBackOf(Pressed(platform), {0x411}));
    };
    Press(L"Command1");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(Says(0, L"ResHacker (-modify) が 60 秒待っても終了しなかったため、終了させました。"));
    EXPECT_TRUE(Says(0, L"入力した内容になっています"));
    EXPECT_TRUE(Says(0, kBackup));
    EXPECT_EQ(Count(L"EndProcess #3"), 1u);
    EXPECT_EQ(platform.OpenProcessCount(), 0u);
}

TEST_F(PressProof, ARestoreThatFailsNamesBothFiles) {
    platform.onLaunchExit = [this](int, const std::wstring& line) {
        WorkingEditor(line);
        if (line.find(L" -modify ") == std::wstring::npos) return;
        platform.versionReadBacks.erase(kTarget);
        platform.copyError = L"アクセスが拒否されました。";
    };
    platform.messageAnswers = {kYes};
    Press(L"Command1");
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(Says(1, L"元に戻せませんでした"));
    EXPECT_TRUE(Says(1, L"D:\\Work\\app_original.exe\r\n→ D:\\Work\\app.exe"));
    EXPECT_TRUE(Says(1, L"アクセスが拒否されました。"));
    EXPECT_TRUE(Says(1, L"バックアップに残っています"));
}

TEST_F(PressProof, TheEditorsExitCodesAreNotTheJudge) {
    // Every process "succeeded", the read-back still decides.
    platform.onLaunchExit = [this](int, const std::wstring& line) {
        WorkingEditor(line);
        if (line.find(L" -modify ") != std::wstring::npos) platform.versionReadBacks.erase(kTarget);
    };
    platform.messageAnswers = {kNo};
    Press(L"Command1");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(Says(0, L"バージョン情報を読み取れません: 指定されたファイルが見つかりません。"));
}

// --- nothing but the version resource changed ------------------------------------

const std::vector<PeResource> kProgramResources = {
    {{3, {}}, {1, {}}, 0x0411, {1, 2, 3, 4, 5}},
    {{14, {}}, {{}, L"MAINICON"}, 0x0411, {6, 7}},
    {{16, {}}, {1, {}}, 0x0411, {8, 9, 10, 11}},
    {{24, {}}, {1, {}}, 0x0000, {'<', 'x', '/', '>'}},
};

std::vector<PeResource> Edited(const std::function<void(std::vector<PeResource>&)>& edit) {
    auto items = kProgramResources;
    edit(items);
    return items;
}

struct ResourceRow {
    const char* name;
    std::vector<PeResource> now;  // the target after the merge; the backup holds kProgramResources
    std::vector<std::wstring> lines;
};

const ResourceRow kResourceRows[] = {
    {"OnlyTheVersionChanged",
     Edited([](auto& r) {
         r[2].data = std::vector<std::uint8_t>(40, 0x77);  // longer: what follows it moves
         r.push_back({{16, {}}, {1, {}}, 0x0409, {1}});
     }),
     {}},
    {"IconLost", Edited([](auto& r) { r.erase(r.begin()); }), {L"アイコン (ICON 1, 言語 0411) がなくなっています"}},
    {"IconGroupChangedInPlace",
     Edited([](auto& r) { r[1].data[1] ^= 1; }),
     {L"アイコン グループ (GROUP_ICON \"MAINICON\", 言語 0411) が変わっています"}},
    {"ManifestGrew",
     Edited([](auto& r) { r[3].data.push_back(' '); }),
     {L"マニフェスト (MANIFEST 1, 言語 0000) が変わっています"}},
    {"LanguageOfTheIconChanged",
     Edited([](auto& r) { r[0].language = 0x0409; }),
     {L"アイコン (ICON 1, 言語 0411) がなくなっています", L"アイコン (ICON 1, 言語 0409) が増えています"}},
    {"ItemsOfEveryKindAdded",
     Edited([](auto& r) {
         r.push_back({{{}, L"MYTYPE"}, {{}, L"LOGO"}, 0x0409, {1}});
         r.push_back({{23, {}}, {2, {}}, 0x0411, {1}});
         r.push_back({{240, {}}, {5, {}}, 0x0411, {1}});
         r.push_back({{7, {}}, {1, {}}, 0x0411, {1}});
     }),
     {L"リソース (MYTYPE \"LOGO\", 言語 0409) が増えています", L"リソース (HTML 2, 言語 0411) が増えています",
      L"リソース (240 5, 言語 0411) が増えています", L"フォント ディレクトリ (FONTDIR 1, 言語 0411) が増えています"}},
    {"ItemsFarApartComparedOneByOne",
     Edited([](auto& r) {
         r[2].data.assign(5 << 20, 0);  // the version is far bigger now: the items lie far apart
         r[3].data[1] = 'y';
     }),
     {L"マニフェスト (MANIFEST 1, 言語 0000) が変わっています"}},
};

class ResourceChangesTest : public PressProof, public ::testing::WithParamInterface<ResourceRow> {};

TEST_P(ResourceChangesTest, NameEveryItemThatIsNotAsItWasButTheVersion) {
    platform.fileBytes[kTargetPath] = SyntheticPe({.resources = GetParam().now});
    platform.fileBytes[kBackup] = SyntheticPe({.resources = kProgramResources});
    const auto result = ResourceChanges(platform, kTargetPath, kBackup, verify::IsVersionItem);
    ASSERT_TRUE(std::holds_alternative<std::vector<ResourceChange>>(result));
    std::vector<std::wstring> lines;
    for (const auto& change : std::get<std::vector<ResourceChange>>(result)) lines.push_back(FindingLine(change));
    EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Merges, ResourceChangesTest, ::testing::ValuesIn(kResourceRows),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(PressProof, ResourcesAreComparedWithThreeReadsOfEachFile) {
    // The headers, the directory, one stretch of the items' data: never the whole file.
    platform.fileBytes[kTargetPath] = SyntheticPe({.appended = 1 << 20, .resources = kProgramResources});
    platform.fileBytes[kBackup] = platform.fileBytes[kTargetPath];
    platform.calls.clear();
    const auto result = ResourceChanges(platform, kTargetPath, kBackup, verify::IsVersionItem);
    EXPECT_EQ(std::get<std::vector<ResourceChange>>(result), std::vector<ResourceChange>{});
    EXPECT_EQ(Count(L"Read D:\\Work\\app.exe "), 3u);
    EXPECT_EQ(Count(L"Read D:\\Work\\app_original.exe "), 3u);
}

TEST_F(PressProof, ResourcesThatCannotBeReadNameTheFileAndWhy) {
    platform.fileBytes[kTargetPath] = SyntheticPe({.resources = kProgramResources});
    platform.fileBytes[kBackup] = platform.fileBytes[kTargetPath];
    Put32(platform.fileBytes[kTargetPath], 0x80 + 24 + 112 + 2 * 8, 0x90000);  // the directory's RVA
    const auto outside = ResourceChanges(platform, kTargetPath, kBackup, verify::IsVersionItem);
    ASSERT_TRUE(std::holds_alternative<ResourceReadStop>(outside));
    EXPECT_EQ(FindingLine(std::get<ResourceReadStop>(outside)),
              L"リソースを読み取れません (D:\\Work\\app.exe): リソース ディレクトリがどのセクションにもありません");
}

}  // namespace
}  // namespace quillmark::testing

namespace quillmark::testing {
namespace {

// --- one table from each kind of stop to its sentence ---------------------------

struct StopSentenceCase {
    const char* name;
    PressStop stop;
    std::wstring sentence;
};

class StopSentences : public ::testing::TestWithParam<StopSentenceCase> {};

TEST_P(StopSentences, SayWhatFailedTheReasonAndWhatWasNotDone) {
    EXPECT_EQ(Utf8(Sentence(GetParam().stop)), Utf8(GetParam().sentence));
}

const RunEnd kEditTimedOut{RunEnd::Kind::EndedByUs, EditorRun::Edit, false, WaitOutcome::TimedOut, 60000, {}};
const RunEnd kModifyStuck{RunEnd::Kind::StillRunning, EditorRun::Modify, false, WaitOutcome::Failed, 60000, {}};

INSTANTIATE_TEST_SUITE_P(
    Stops, StopSentences,
    ::testing::Values(
        StopSentenceCase{"Comma", TargetPathRefused{TargetPathRefused::Why::Comma, L"D:\\a,b.exe"},
                         L"実行ファイルのパスに「,」が含まれているため、ResHacker に渡せません。\r\nD:\\a,b.exe\r\n"
                         L"「,」を含まないフォルダー名とファイル名にしてから実行してください。"},
        StopSentenceCase{
            "ClipboardNotEmptied", ClipboardRefused{ClipboardRefused::Step::Empty, L"拒否されました。"},
            L"クリップボードを空にできませんでした。\r\n拒否されました。\r\n実行ファイルは変更していません。"},
        StopSentenceCase{
            "EditorNeverReady",
            EditorGivenUp{{RunEnd::Kind::EndedByUs, EditorRun::Edit, true, WaitOutcome::TimedOut, 30000, {}}},
            L"ResHacker のウィンドウが 30 秒待っても操作できる状態にならなかったため、終了させました。\r\n"
            L"キー操作は送っていません。実行ファイルは変更していません。"},
        StopSentenceCase{"EditorNeverClosed", EditorGivenUp{kEditTimedOut},
                         L"ResHacker (initial.res の編集) が 60 秒待っても終了しなかったため、終了させました。\r\n"
                         L"バックアップの作成と実行ファイルの更新は行っていません。"},
        StopSentenceCase{"EditedResourceTooLarge", EditedResourceUnreadable{L"C:\\Q\\initial.res", {{}, 20000000}},
                         L"ResHacker が編集した initial.res を読み取れませんでした。\r\nC:\\Q\\initial.res\r\n"
                         L"ファイルが大きすぎます (20000000 バイト)。\r\n"
                         L"バックアップの作成と実行ファイルの更新は行っていません。"},
        StopSentenceCase{"BackupNotMade", BackupNotMade{L"D:\\app.exe", L"D:\\app_original.exe", L""},
                         L"バックアップを作成できませんでした。\r\nD:\\app.exe\r\n→ D:\\app_original.exe\r\n"
                         L"実行ファイルは変更していません。"},
        StopSentenceCase{
            "MergeStuck", MergeStillRunning{kModifyStuck, L"D:\\app_original.exe"},
            L"ResHacker (-modify) の終了を待てなかったうえ、終了させることもできませんでした。タスク "
            L"マネージャーで ResHacker を終了させてください。\r\n実行ファイルの状態を確認してください。\r\n"
            L"元のファイルはバックアップにあります。\r\nD:\\app_original.exe"},
        StopSentenceCase{
            "DeleteNotStarted",
            DeleteFailed{DeleteFailed::Step::Start, L"D:\\app.exe", L"D:\\app_original.exe", L"ない。", {}, {}, {}},
            L"別の言語のバージョン情報を削除できませんでした。\r\nResHacker (-delete) を起動できませんでした。"
            L"\r\nない。\r\n実行ファイルは削除の前のまま (入力した値のバージョン情報も、別の言語のものも入"
            L"ったまま) です。\r\nD:\\app.exe\r\n元のファイルはバックアップにあります。\r\nD:\\app_original.exe"},
        StopSentenceCase{
            "WorkFileInTheWay",
            WorkFileInTheWay{L"D:\\app.exe.quillmark-work1.exe", L"拒否。", L"D:\\app.exe", L"D:\\app_original.exe"},
            L"以前の作業用のファイルを削除できなかったため、別の言語のバージョン情報は削除していません。\r\n"
            L"D:\\app.exe.quillmark-work1.exe\r\n拒否。\r\n実行ファイルは削除の前のまま (入力した値のバージョン情"
            L"報も、別の言語のものも入ったまま) です。\r\nD:\\app.exe\r\n元のファイルはバックアップにあります。\r\n"
            L"D:\\app_original.exe"},
        StopSentenceCase{
            "TargetLeftInWorkFile",
            TargetLeftInWorkFile{L"D:\\app.exe", L"D:\\app.exe.quillmark-work1.exe", L"D:\\app_original.exe",
                                 L"拒否。"},
            L"実行ファイルを置き換える途中で失敗しました。\r\n拒否。\r\n実行ファイルは元の名前では見つからなくなってい"
            L"ます。\r\nD:\\app.exe\r\n別の言語のバージョン情報を削除した実行ファイルは、次のファイルにあります。この"
            L"ファイルの名前を上の名前に変えてください。\r\nD:\\app.exe.quillmark-work1.exe\r\n元のファイルはバックア"
            L"ップにあります。\r\nD:\\app_original.exe"}),
    [](const ::testing::TestParamInfo<StopSentenceCase>& row) { return std::string(row.param.name); });

// --- the backup put back from the system menu --------------------------------------

constexpr const wchar_t* kRestoreCopy = L"D:\\Work\\app.exe.quillmark-restore.exe";

struct MenuRestore {
    const char* name;
    std::function<void(RecordingPlatform&)> arrange;
    std::vector<Answer> answers;
    std::vector<std::wstring> mentions;  // words of the last message
    bool restored;
};

class RestoreFromMenu : public PressProof, public ::testing::WithParamInterface<MenuRestore> {
protected:
    RestoreFromMenu() {
        platform.fileBytes[kTargetPath] = {'n', 'o', 'w'};
        platform.fileBytes[kBackup] = SyntheticPe({});
        platform.writeTimes[kBackup] = {2026, 12, 9, 20, 48};
    }
};

TEST_P(RestoreFromMenu, AsksThenPutsTheBackupBackKeepingIt) {
    const auto before = platform.fileBytes[kTargetPath];
    GetParam().arrange(platform);
    platform.messageAnswers.assign(GetParam().answers.begin(), GetParam().answers.end());
    form.OnEvent(WindowEvent::MenuClick, {L"mnuRestoreBackup"});
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_EQ(platform.messages[0],
              L"実行ファイルをバックアップの内容に戻しますか？\r\nD:\\Work\\app.exe\r\n← D:\\Work\\app_original.exe\r\n"
              L"バックアップの更新日時: 2026/12/09 20:48\r\n"
              L"実行ファイルの今の内容は失われます。バックアップはそのまま残ります。\r\n"
              L"(「いいえ」を選ぶと、何も変更しません。)");
    EXPECT_EQ(Styles()[0], L"Warning YesNo default=No");
    for (const auto& words : GetParam().mentions) {
        EXPECT_TRUE(Says(platform.messages.size() - 1, words)) << Utf8(words) << "\n" << Utf8(platform.messages.back());
    }
    EXPECT_EQ(platform.fileBytes.at(kBackup), SyntheticPe({}));
    EXPECT_EQ(platform.fileBytes[kTargetPath] == SyntheticPe({}), GetParam().restored);
    EXPECT_FALSE(platform.sessionEndBlockReason.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, RestoreFromMenu,
    ::testing::Values(
        MenuRestore{"Yes", [](RecordingPlatform&) {}, {kYes, kOk}, {L"元に戻しました", kTargetPath}, true},
        MenuRestore{"No", [](RecordingPlatform&) {}, {kNo}, {L"何も変更しません"}, false},
        MenuRestore{"TargetRunning",
                    [](RecordingPlatform& p) { p.writeProbeErrors[kTargetPath] = L"別のプロセスが使用中です。"; },
                    {kYes, kOk},
                    {L"実行ファイルに書き込めません。", L"実行中のプログラム", L"実行ファイルは変更していません。"},
                    false},
        MenuRestore{
            "ReplaceRefused",
            [](RecordingPlatform& p) {
                p.replaceFailure = ReplaceOutcome{ReplaceOutcome::Kind::Unchanged, L"アクセスが拒否されました。"};
            },
            {kYes, kOk},
            {L"元に戻せませんでした", L"アクセスが拒否されました。", L"元に戻す前のまま",
             L"元のファイルはバックアップに残っています。"},
            false},
        MenuRestore{
            "TargetGoneCopyKept",
            [](RecordingPlatform& p) {
                p.replaceFailure = ReplaceOutcome{ReplaceOutcome::Kind::ReplacedGone, L"アクセスが拒否されました。"};
            },
            {kYes, kOk},
            {L"元の名前では見つからなくなっています", kRestoreCopy, L"バックアップに残っています"},
            false}),
    [](const ::testing::TestParamInfo<MenuRestore>& param) { return std::string(param.param.name); });

TEST_F(PressProof, TheRestoreItemIsGreyedWithoutABackupAndItsClickChecksAgain) {
    platform.fileBytes[kBackup] = SyntheticPe({});
    form.OnEvent(WindowEvent::MenuPopup);
    EXPECT_TRUE(platform.menuItemsEnabled.at(L"mnuRestoreBackup"));
    platform.fileBytes.erase(kBackup);
    form.OnEvent(WindowEvent::MenuPopup);
    EXPECT_FALSE(platform.menuItemsEnabled.at(L"mnuRestoreBackup"));
    form.OnEvent(WindowEvent::MenuClick, {L"mnuRestoreBackup"});
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(
        Says(0, L"この実行ファイルのバックアップが見つかりません。\r\nD:\\Work\\app.exe\r\n" + std::wstring(kBackup)));
    EXPECT_EQ(Count(L"Copy"), 0u);
}

}  // namespace
}  // namespace quillmark::testing

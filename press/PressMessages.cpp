#include "press/PressMessages.h"

#include <algorithm>
#include <array>

#include "press/AnsiText.h"
#include "script/VersionNumbers.h"
#include "ui/FieldTable.h"
#include "verify/VersionInfo.h"

namespace quillmark {

namespace {

// A long list would hide the question: the first few, then how many more.
constexpr std::size_t kShownDifferences = 5;
// The load question and notice, cut so that Yes and No stay on a 1024×768
// screen when every field changes to a long value and none can be entered
// as it is. Under Wine the box is 388 pixels wide, and the worst question
// measured 660 pixels high, the notice 439.
constexpr std::size_t kShownValueLength = 20;
constexpr std::size_t kShownChanges = 8;
constexpr std::size_t kShownNotEnteredAsked = 4;
constexpr std::size_t kShownNotEnteredTold = 8;
constexpr std::size_t kShownCharacters = 10;

const std::wstring kNl = L"\r\n";

std::wstring LanguageLabel(std::uint16_t language);
std::wstring NotAProgramLine(verify::NotProgramReason reason);
const std::wstring kTargetUnchanged = L"実行ファイルは変更していません。";
const std::wstring kNoBackupNoMerge = L"バックアップの作成と実行ファイルの更新は行っていません。";
const std::wstring kNoKeysSent = L"キー操作は送っていません。";
const std::wstring kNoIsStop = L"(「いいえ」を選ぶと、何も変更せずに中止します。)";

// A fact and the words it is told in.
template <typename Key>
struct Worded {
    Key key;
    const wchar_t* text;
};

// The words of `key`; empty when the table has none.
template <typename Key, std::size_t N>
const wchar_t* WordsFor(const std::array<Worded<Key>, N>& table, Key key) {
    for (const Worded<Key>& entry : table) {
        if (entry.key == key) return entry.text;
    }
    return L"";
}

constexpr std::array<Worded<verify::NotProgramReason>, 5> kReasons{{
    {verify::NotProgramReason::NoMzHeader, L"先頭に MZ ヘッダーがありません。"},
    {verify::NotProgramReason::NoPeHeader, L"PE ヘッダーが見つかりません。"},
    {verify::NotProgramReason::TruncatedHeaders, L"ヘッダーが途中で切れています。"},
    {verify::NotProgramReason::UnknownOptionalHeader, L"PE32 でも PE32+ でもありません。"},
    {verify::NotProgramReason::SectionsPastEnd,
     L"セクションのデータがファイルの終わりを越えています (ファイルが途中で切れています)。"},
}};

struct LanguageName {
    std::uint16_t language;
    const wchar_t* name;
};

constexpr std::array<LanguageName, 10> kLanguageNames{{
    {0x0000, L"言語中立"},
    {0x0404, L"中国語 (繁体字)"},
    {0x0407, L"ドイツ語"},
    {0x0409, L"英語 (米国)"},
    {0x040C, L"フランス語"},
    {0x0411, L"日本語"},
    {0x0412, L"韓国語"},
    {0x0804, L"中国語 (簡体字)"},
    {0x0809, L"英語 (英国)"},
    {0x0C0A, L"スペイン語"},
}};

// The predefined resource types, as users and resource scripts name them.
struct ResourceTypeName {
    std::uint16_t type;
    const wchar_t* word;  // empty: no word of its own
    const wchar_t* identifier;
};

constexpr std::array<ResourceTypeName, 21> kResourceTypes{{
    {1, L"カーソル", L"CURSOR"},
    {2, L"ビットマップ", L"BITMAP"},
    {3, L"アイコン", L"ICON"},
    {4, L"メニュー", L"MENU"},
    {5, L"ダイアログ", L"DIALOG"},
    {6, L"文字列", L"STRINGTABLE"},
    {7, L"フォント ディレクトリ", L"FONTDIR"},
    {8, L"フォント", L"FONT"},
    {9, L"アクセラレーター", L"ACCELERATORS"},
    {10, L"データ", L"RCDATA"},
    {11, L"メッセージ テーブル", L"MESSAGETABLE"},
    {12, L"カーソル グループ", L"GROUP_CURSOR"},
    {14, L"アイコン グループ", L"GROUP_ICON"},
    {16, L"バージョン情報", L"VERSIONINFO"},
    {17, L"", L"DLGINCLUDE"},
    {19, L"", L"PLUGPLAY"},
    {20, L"", L"VXD"},
    {21, L"アニメーション カーソル", L"ANICURSOR"},
    {22, L"アニメーション アイコン", L"ANIICON"},
    {23, L"", L"HTML"},
    {24, L"マニフェスト", L"MANIFEST"},
}};

constexpr std::array<Worded<verify::ResourceFault>, 6> kResourceFaults{{
    {verify::ResourceFault::DirectoryOutsideSections, L"リソース ディレクトリがどのセクションにもありません"},
    {verify::ResourceFault::RunsPastItsBytes, L"リソース ディレクトリが途中で切れています"},
    {verify::ResourceFault::Loops, L"リソース ディレクトリが循環しています"},
    {verify::ResourceFault::WrongShape, L"リソース ディレクトリの形が正しくありません"},
    {verify::ResourceFault::TooManyEntries, L"リソースの項目が多すぎます"},
    {verify::ResourceFault::DataOutsideSections, L"リソースのデータがどのセクションにもありません"},
}};

struct ResFileFaultText {
    verify::ResFileFault fault;
    const wchar_t* atStartUp;
    const wchar_t* afterEdit;
};

constexpr std::array<ResFileFaultText, 3> kResFileFaults{{
    {verify::ResFileFault::NotAResourceFile, L"リソース ファイルとして読めません。",
     L"ResHacker が保存した initial.res は、リソース ファイルとして読めません。"},
    {verify::ResFileFault::NoVersionResource, L"バージョン情報のリソースが入っていません。",
     L"ResHacker が保存した initial.res には、バージョン情報のリソースがありません。ResHacker のスクリプトの"
     L"コンパイルか保存で、バージョン情報が残りませんでした。"},
    {verify::ResFileFault::VersionUnreadable, L"バージョン情報のリソースを読み取れません。",
     L"ResHacker が保存した initial.res のバージョン情報のリソースを読み取れません。"},
}};

const ResFileFaultText& FaultWords(verify::ResFileFault fault) {
    for (const ResFileFaultText& entry : kResFileFaults) {
        if (entry.fault == fault) return entry;
    }
    return kResFileFaults.front();
}

constexpr std::array<Worded<RunLog::State>, 4> kLogStates{{
    {RunLog::State::Missing, L"記録がありません"},
    {RunLog::State::NotRewritten, L"記録が書き換えられていません"},
    {RunLog::State::OtherCommand, L"記録は別のコマンドのものです"},
    {RunLog::State::Unreadable, L"記録を読み取れません"},
}};

std::wstring WithSystemReason(const std::wstring& text, const std::wstring& error) {
    return error.empty() ? text : text + kNl + error;
}

std::wstring Listed(const std::vector<std::wstring>& lines, std::size_t most = kShownDifferences) {
    std::wstring text;
    const std::size_t shown = std::min(lines.size(), most);
    for (std::size_t i = 0; i < shown; ++i) text += L"・" + lines[i] + kNl;
    if (lines.size() > shown) text += L"(ほか " + std::to_wstring(lines.size() - shown) + L" 件)" + kNl;
    return text;
}

std::wstring Bracketed(const std::wstring& text) { return L"「" + text + L"」"; }

const wchar_t* VerbOf(EditorRun run) {
    switch (run) {
        case EditorRun::Edit:
            return L"initial.res の編集";
        case EditorRun::AddSkip:
            return L"-addskip";
        case EditorRun::Modify:
            return L"-modify";
        case EditorRun::Delete:
            return L"-delete";
    }
    return L"";
}

// Every line the editor logged of the press's hidden runs, quoted.
std::wstring EditorLogBlock(const std::vector<RunLog>& logs) {
    if (logs.empty()) return {};
    std::wstring text = L"ResHacker の記録 (ResHacker.log):" + kNl;
    for (const RunLog& log : logs) {
        const std::wstring head = L"・" + std::wstring(VerbOf(log.run)) + L": ";
        if (log.state == RunLog::State::Read) {
            if (log.results.empty()) text += head + L"結果の行がありません" + kNl;
            for (const std::wstring& line : log.results) text += head + line + kNl;
            continue;
        }
        text += head + WordsFor(kLogStates, log.state) + kNl;
    }
    return text;
}

std::wstring LanguageList(const std::vector<std::uint16_t>& languages) {
    std::wstring list;
    for (const std::uint16_t language : languages) list += (list.empty() ? L"" : L", ") + LanguageLabel(language);
    return list;
}

std::wstring Shortened(const std::wstring& value) {
    if (value.size() <= kShownValueLength) return value;
    std::size_t cut = kShownValueLength;
    // Not between the two halves of a surrogate pair.
    if (value[cut - 1] >= 0xD800 && value[cut - 1] < 0xDC00) --cut;
    return value.substr(0, cut) + L"…";
}

const FieldSpec& FieldOf(int index) { return FieldTable()[static_cast<std::size_t>(index)]; }

std::wstring VersionDotted(const std::array<std::uint16_t, 4>& version) {
    std::wstring text;
    for (const std::uint16_t number : version) text += (text.empty() ? L"" : L".") + std::to_wstring(number);
    return text;
}

std::wstring RowKeptLine(const RowKept& kept) {
    const std::wstring name = FieldOf(kept.field).tooltip;
    if (!kept.version) return name + L" はファイルに値がないため、読み込みません。";
    return name + L" " + VersionDotted(*kept.version) + L" は入力欄の範囲 (" + VersionRangesText() +
           L") に収まらないため、読み込みません。";
}

std::wstring ListedCharacters(const std::vector<std::wstring>& characters) {
    const std::size_t shown = std::min(characters.size(), kShownCharacters);
    std::wstring text = QuotedCharacters({characters.begin(), characters.begin() + static_cast<std::ptrdiff_t>(shown)});
    if (characters.size() > shown) text += L"(ほか " + std::to_wstring(characters.size() - shown) + L" 文字)";
    return text;
}

std::wstring CaveatLine(const ValueCaveat& caveat) {
    const std::wstring key = std::wstring(FieldOf(caveat.field).keyName) + L": ";
    switch (caveat.why) {
        case ValueCaveat::Why::LineBreak:
            return key + L"改行は 1 つの空白にして読み込みます。";
        case ValueCaveat::Why::ScriptSpecial:
            return key + L"「\"」か「\\」を含むため、このまま実行すると、ResHacker の保存内容の確認で止まります。";
        case ValueCaveat::Why::OutsideAnsi:
            return key + ListedCharacters(caveat.characters) +
                   L" はシステムの ANSI コード ページにない文字のため、ResHacker に正しく届かないことがあります。";
    }
    return key;
}

// What cannot be entered as the file holds it, one line each.
std::wstring NotEntered(const VersionLoad& load, std::size_t most) {
    std::vector<std::wstring> lines;
    for (const RowKept& kept : load.rowsKept) lines.push_back(RowKeptLine(kept));
    for (const ValueCaveat& caveat : load.caveats) lines.push_back(CaveatLine(caveat));
    return Listed(lines, most);
}

}  // namespace

std::wstring LoadQuestion(const std::wstring& path, const VersionLoad& load) {
    std::wstring text = L"この実行ファイルのバージョン情報を入力欄に読み込みますか？" + kNl + path + kNl +
                        L"変わる値 (ファイルの値 ← 今の値):" + kNl;
    std::vector<std::wstring> changes;
    for (const FieldChange& change : load.changes) {
        changes.push_back(std::wstring(FieldOf(change.field).keyName) + L": " + Bracketed(Shortened(change.fromFile)) +
                          L" ← " + Bracketed(Shortened(change.now)));
    }
    text += Listed(changes, kShownChanges);
    const std::wstring notEntered = NotEntered(load, kShownNotEnteredAsked);
    if (!notEntered.empty()) text += L"そのまま入力できない値:" + kNl + notEntered;
    return text + L"(「いいえ」を選ぶと、入力欄は変わりません。)";
}

std::wstring LoadNotice(const std::wstring& path, const VersionLoad& load) {
    const std::wstring notEntered = NotEntered(load, kShownNotEnteredTold);
    if (notEntered.empty()) return {};
    return L"実行ファイルのバージョン情報を入力欄に読み込みました。" + kNl + path + kNl +
           L"そのまま入力できなかった値:" + kNl + notEntered.substr(0, notEntered.size() - kNl.size());
}

std::wstring Sentence(const NothingToLoad& nothing) {
    std::wstring what;
    switch (nothing.why) {
        case NothingToLoad::Why::NoFile:
            what = L"読み込む実行ファイルが見つかりません。" + kNl + nothing.path;
            break;
        case NothingToLoad::Why::Unreadable:
            what = WithSystemReason(L"実行ファイルを読み取れませんでした。" + kNl + nothing.path, nothing.reason);
            break;
        case NothingToLoad::Why::NotAProgram:
            what = L"Windows のプログラムではないため、バージョン情報を読み込めません。" + kNl + nothing.path + kNl +
                   NotAProgramLine(nothing.notProgram);
            break;
        case NothingToLoad::Why::NoVersionInfo:
            what = L"この実行ファイルにはバージョン情報がありません。" + kNl + nothing.path;
            break;
        case NothingToLoad::Why::SixteenBit:
            what = L"この実行ファイルのバージョン情報は古い 16 ビット形式のため、読み込めません。" + kNl + nothing.path;
            break;
    }
    return what + kNl + L"入力欄は変わりません。";
}

namespace {

std::wstring LanguageLabel(std::uint16_t language) {
    const std::wstring hex = verify::HexWord(language);
    const auto named = std::find_if(kLanguageNames.begin(), kLanguageNames.end(),
                                    [&](const LanguageName& entry) { return entry.language == language; });
    return named == kLanguageNames.end() ? hex : hex + L" (" + named->name + L")";
}

std::wstring NotAProgramLine(verify::NotProgramReason reason) { return WordsFor(kReasons, reason); }

std::wstring LeftoverLanguagesLine(const std::vector<std::uint16_t>& languages) {
    return L"別の言語のバージョン情報が残っています: " + LanguageList(languages);
}

std::wstring DifferenceLine(const verify::Difference& difference) {
    if (!difference.actual) return difference.what + L": " + Bracketed(difference.expected) + L" がありません";
    return difference.what + L": " + Bracketed(difference.expected) + L" のはずが " + Bracketed(*difference.actual);
}

std::wstring UnreadableLine(const std::wstring& error) {
    return L"バージョン情報を読み取れません" + (error.empty() ? std::wstring{} : L": " + error);
}

std::wstring FileUnreadableLine(const std::wstring& error) {
    return L"実行ファイルを読み取れません" + (error.empty() ? std::wstring{} : L": " + error);
}

std::wstring NoLongerProgramLine(verify::NotProgramReason reason) {
    return L"Windows のプログラムではなくなっています: " + NotAProgramLine(reason);
}

std::wstring NoVersionLine(std::uint16_t language, const std::vector<std::uint16_t>& present) {
    std::wstring line = L"言語 " + LanguageLabel(language) + L" のバージョン情報がありません";
    if (!present.empty()) line += L" (あるのは " + LanguageList(present) + L")";
    return line;
}

std::wstring NoShownVersionLine() { return L"Windows のバージョン API がバージョン情報を返しません"; }

std::wstring TargetChangedDuringDeleteLine() { return L"削除の処理中に実行ファイルが書き換えられました。"; }

std::wstring AppendedDataLine(std::uint64_t before, std::uint64_t after, bool sameLength) {
    if (after == 0) return L"イメージの後ろのデータ (" + std::to_wstring(before) + L" バイト) が失われました";
    if (sameLength) return L"イメージの後ろのデータ (" + std::to_wstring(before) + L" バイト) の内容が変わりました";
    return L"イメージの後ろのデータが " + std::to_wstring(before) + L" バイトから " + std::to_wstring(after) +
           L" バイトに変わりました";
}

// The system's reason, or the one of a whole-file read of a file past its limit.
std::wstring ReasonOf(const ReadFailure& failure) {
    if (failure.tooLarge == 0) return failure.error;
    return L"ファイルが大きすぎます (" + std::to_wstring(failure.tooLarge) + L" バイト)。";
}

std::wstring ResourceChangeLine(const ResourceChange& change) {
    // As a resource script writes them: a known type by its identifier, a
    // numbered one by its number, a name in quotes.
    std::wstring head = L"リソース";
    std::wstring type = change.type.text;
    if (change.type.ordinal) {
        type = std::to_wstring(*change.type.ordinal);
        for (const ResourceTypeName& known : kResourceTypes) {
            if (known.type != *change.type.ordinal) continue;
            type = known.identifier;
            if (*known.word != L'\0') head = known.word;
        }
    }
    const std::wstring name =
        change.name.ordinal ? std::to_wstring(*change.name.ordinal) : L"\"" + change.name.text + L"\"";
    const wchar_t* what = change.kind == ResourceChangeKind::Missing   ? L"がなくなっています"
                          : change.kind == ResourceChangeKind::Changed ? L"が変わっています"
                                                                       : L"が増えています";
    return head + L" (" + type + L" " + name + L", 言語 " + verify::HexWord(change.language) + L") " + what;
}

std::wstring ResourcesUnreadableLine(const ResourceReadStop& stop) {
    std::wstring reason;
    if (const auto* notProgram = std::get_if<verify::NotAProgram>(&stop.reason))
        reason = NotAProgramLine(notProgram->reason);
    if (const auto* failure = std::get_if<ReadFailure>(&stop.reason)) reason = ReasonOf(*failure);
    if (const auto* fault = std::get_if<verify::ResourceFault>(&stop.reason))
        reason = WordsFor(kResourceFaults, *fault);
    return L"リソースを読み取れません (" + stop.path + L")" + (reason.empty() ? std::wstring{} : L": " + reason);
}

struct FindingWords {
    std::wstring operator()(const verify::Difference& difference) const { return DifferenceLine(difference); }
    std::wstring operator()(const ResourceChange& change) const { return ResourceChangeLine(change); }
    std::wstring operator()(const ResourceReadStop& stop) const { return ResourcesUnreadableLine(stop); }
    std::wstring operator()(const LanguagesLeft& left) const { return LeftoverLanguagesLine(left.languages); }
    std::wstring operator()(const ReadFailure& failure) const { return FileUnreadableLine(ReasonOf(failure)); }
    std::wstring operator()(const VersionUnreadable& unreadable) const { return UnreadableLine(unreadable.error); }
    std::wstring operator()(const NoLongerProgram& notProgram) const { return NoLongerProgramLine(notProgram.reason); }
    std::wstring operator()(const VersionMissing& missing) const {
        return NoVersionLine(missing.language, missing.present);
    }
    std::wstring operator()(const NoShownVersion&) const { return NoShownVersionLine(); }
    std::wstring operator()(const TargetChangedDuringDelete&) const { return TargetChangedDuringDeleteLine(); }
    std::wstring operator()(const AppendedDataChanged& appended) const {
        return AppendedDataLine(appended.before, appended.after, appended.after == appended.before);
    }
};

}  // namespace

std::wstring FindingLine(const Finding& finding) { return std::visit(FindingWords{}, finding); }

namespace {

std::vector<std::wstring> Lines(const std::vector<Finding>& findings) {
    std::vector<std::wstring> lines;
    for (const Finding& finding : findings) lines.push_back(FindingLine(finding));
    return lines;
}

std::wstring NotAProgramMessage(const std::wstring& target, verify::NotProgramReason reason) {
    return L"Windows のプログラムではないため、バージョン情報を付けられません。" + kNl + target + kNl +
           NotAProgramLine(reason) + kNl + kTargetUnchanged;
}

std::wstring TargetUnreadableMessage(const std::wstring& target, const std::wstring& error) {
    return WithSystemReason(L"実行ファイルを読み取れませんでした。" + kNl + target, error) + kNl + kTargetUnchanged;
}

std::wstring TargetNotWritableMessage(const std::wstring& target, const std::wstring& error) {
    return WithSystemReason(L"実行ファイルに書き込めません。" + kNl + target, error) + kNl +
           L"実行中のプログラムや読み取り専用のファイルは更新できません。プログラムを終了するか、ファイルの属性を"
           L"確認してから、もう一度実行してください。" +
           kNl + kTargetUnchanged;
}

std::wstring SignedQuestion(const std::wstring& target) {
    return L"この実行ファイルにはデジタル署名があります。" + kNl + target + kNl +
           L"バージョン情報を変更すると署名は無効になり、改めて署名し直す必要があります。" + kNl + L"続けますか？" +
           kNl + kNoIsStop;
}

std::wstring AppendedDataQuestion(const std::wstring& target, std::uint64_t appendedBytes) {
    return L"この実行ファイルには、イメージの後ろに " + std::to_wstring(appendedBytes) +
           L" バイトのデータが付いています。" + kNl + target + kNl +
           L"インストーラーや自己解凍書庫は、ここにデータを置いています。更新でこのデータが失われると、ファイルは"
           L"正しく動かなくなります (更新後に確認し、失われていれば元に戻せます)。" +
           kNl + L"続けますか？" + kNl + kNoIsStop;
}

std::wstring ScriptUnreadableMessage(const std::wstring& line) {
    return L"入力した値からバージョン情報のスクリプトを組み立てられませんでした (改行などは使えません)。" + kNl +
           Bracketed(line) + kNl + kTargetUnchanged;
}

std::wstring PathOutsideAnsiMessage(const std::wstring& path, const std::wstring& characters) {
    return L"このパスは ResHacker に正しく渡せません。" + kNl + path + kNl + characters +
           L" はシステムの ANSI コード ページにない文字で、短い (8.3 形式の) 名前もありません。" + kNl +
           L"これらの文字を含まないフォルダー名とファイル名にしてから実行してください。" + kNl + kTargetUnchanged;
}

std::wstring EditedResourceUnreadableMessage(const std::wstring& resPath, const std::wstring& error) {
    return WithSystemReason(L"ResHacker が編集した initial.res を読み取れませんでした。" + kNl + resPath, error) + kNl +
           kNoBackupNoMerge;
}

std::wstring EditedResourceDiffersMessage(const std::wstring& resPath, const std::vector<std::wstring>& differences,
                                          bool typedSpecialCharacters, const std::wstring& charactersOutsideAnsi) {
    std::wstring text =
        L"ResHacker が保存した initial.res が、入力した内容と一致しません。" + kNl + resPath + kNl +
        Listed(differences) +
        L"キー操作が ResHacker 以外のウィンドウに届いたか、スクリプトのコンパイルか保存に失敗した可能性が"
        L"あります。" +
        kNl;
    if (typedSpecialCharacters) {
        text += L"「\"」と「\\」は、スクリプトの中では特別な意味を持ちます。" + kNl;
    }
    if (!charactersOutsideAnsi.empty()) {
        text += L"入力した値の " + charactersOutsideAnsi +
                L" は、システムの ANSI コード ページにない文字です。ResHacker はこれらの文字を受け取れない"
                L"ことがあります。" +
                kNl;
    }
    return text + kNoBackupNoMerge;
}

std::wstring TargetDiffersQuestion(const std::wstring& target, const std::wstring& backup,
                                   const std::vector<std::wstring>& differences, const std::wstring& lead,
                                   const std::wstring& editorLog) {
    return (lead.empty() ? std::wstring{} : lead + kNl) +
           L"更新後の実行ファイルを確かめたところ、入力した内容と異なります。" + kNl + target + kNl +
           Listed(differences) + editorLog + L"元のファイルはバックアップにあります。" + kNl + backup + kNl +
           L"バックアップから実行ファイルを元に戻しますか？" + kNl +
           L"(「いいえ」を選ぶと、どちらのファイルもこのままにします。)";
}

std::wstring RunEndedUnchangedMessage(const std::wstring& runEnded, const std::wstring& target,
                                      const std::wstring& backup) {
    return runEnded + kNl + L"実行ファイルは変更されていません。" + kNl + target + kNl +
           L"同じ内容がバックアップにもあります。" + kNl + backup;
}

std::wstring RunEndedButRightMessage(const std::wstring& runEnded, const std::wstring& target,
                                     const std::wstring& backup) {
    return runEnded + kNl + L"更新後の実行ファイルを確かめたところ、入力した内容になっています。" + kNl + target + kNl +
           L"元のファイルはバックアップにあります。" + kNl + backup;
}

std::wstring RestoredMessage(const std::wstring& target, const std::wstring& backup) {
    return L"実行ファイルを元に戻しました。バックアップと同じ内容であることを確かめました。" + kNl + target + kNl +
           L"← " + backup;
}

std::wstring RestoreFailedMessage(const RestoreFailed& failed, const std::wstring& error) {
    std::wstring where;
    switch (failed.left) {
        case RestoreFailed::Left::AsItWas:
            where = L"実行ファイルは元に戻す前のままです。";
            break;
        case RestoreFailed::Left::AsItIsNow:
            where = L"実行ファイルは置き換えた後の今の内容のままです。";
            break;
        case RestoreFailed::Left::InCopy:
            where =
                L"実行ファイルは元の名前では見つからなくなっています。バックアップのコピーは次のファイルにあります。"
                L"このファイルの名前を上の名前に変えてください。" +
                kNl + failed.copy;
            break;
    }
    return WithSystemReason(L"実行ファイルを元に戻せませんでした。" + kNl + failed.backup + kNl + L"→ " + failed.target,
                            error) +
           kNl + where + kNl + L"元のファイルはバックアップに残っています。";
}

std::wstring TimeText(const LocalTime& time) {
    wchar_t text[32] = {};
    std::swprintf(text, 32, L"%04d/%02d/%02d %02d:%02d", time.year, time.month, time.day, time.hour, time.minute);
    return text;
}

std::wstring RestoreQuestion(const RestoreAsked& question) {
    return L"実行ファイルをバックアップの内容に戻しますか？" + kNl + question.target + kNl + L"← " + question.backup +
           kNl +
           (question.backupWritten ? L"バックアップの更新日時: " + TimeText(*question.backupWritten) + kNl
                                   : std::wstring{}) +
           L"実行ファイルの今の内容は失われます。バックアップはそのまま残ります。" + kNl +
           L"(「いいえ」を選ぶと、何も変更しません。)";
}

std::wstring BackupMissingMessage(const BackupMissing& stop) {
    return L"この実行ファイルのバックアップが見つかりません。" + kNl + stop.target + kNl + stop.backup + kNl +
           kTargetUnchanged;
}

std::wstring ArgumentsUnusedMessage(const ArgumentsUnused& notice) {
    std::vector<std::wstring> lines;
    for (const UnusedArgument& argument : notice.arguments) {
        lines.push_back(argument.path + (argument.kind == PathKind::Folder
                                             ? L": フォルダーです (ファイルを指定してください)"
                                             : L": ファイルが見つかりません"));
    }
    const std::wstring listed = Listed(lines);
    return L"コマンドラインで指定された次のパスは使えないため、入力欄に入れていません。" + kNl +
           listed.substr(0, listed.size() - kNl.size());
}

std::wstring OtherLanguagesQuestion(const std::wstring& target, const std::wstring& backup,
                                    const std::vector<std::uint16_t>& languages, const std::wstring& editorLog) {
    const bool neutral = std::find(languages.begin(), languages.end(), 0) != languages.end();
    return L"バージョン情報は入力したとおりに更新されましたが、実行ファイルには別の言語のバージョン情報も残って"
           L"います。" +
           kNl + target + kNl + L"残っている言語: " + LanguageList(languages) + kNl +
           L"Windows は言語を見てどちらかを表示します。ユーザーの表示言語によっては、エクスプローラーやインストーラー"
           L"に古い値が表示されます。" +
           kNl +
           (neutral ? L"言語中立 (0000) のバージョン情報は、どのパソコンでも先に選ばれることがあります。" + kNl
                    : std::wstring{}) +
           editorLog + L"元のファイルはバックアップにあります。" + kNl + backup + kNl +
           L"残っている別の言語のバージョン情報を削除しますか？" + kNl +
           L"(「いいえ」を選ぶと、どちらのバージョン情報もこのままにします。)";
}

// Said only once the target is known to be as the merge left it.
std::wstring TargetAsMergedLeftIt(const std::wstring& target, const std::wstring& backup) {
    return L"実行ファイルは削除の前のまま (入力した値のバージョン情報も、別の言語のものも入ったまま) です。" + kNl +
           target + kNl + L"元のファイルはバックアップにあります。" + kNl + backup;
}

std::wstring DeleteFailedMessage(const std::wstring& target, const std::wstring& backup, const std::wstring& what) {
    return L"別の言語のバージョン情報を削除できませんでした。" + kNl + what + kNl +
           TargetAsMergedLeftIt(target, backup);
}

// Said when the target could not be compared with what the merge left.
std::wstring TargetUncompared(const DeleteFailed& stop) {
    return L"実行ファイルを読み取れなかったため、削除の前のままかどうかを確かめられませんでした。" + kNl + stop.target +
           kNl +
           (stop.readsRight ? L"読み直したところ、入力した値のバージョン情報は正しく入っています。"
                            : L"読み直したところ、正しくない点があります。") +
           kNl + Listed(Lines(stop.readBack)) + L"元のファイルはバックアップにあります。" + kNl + stop.backup;
}

std::wstring WorkFileWrongWhat(const std::wstring& workFile, const std::vector<std::wstring>& lines) {
    return L"削除した結果を書き込んだ作業用のファイルを確かめたところ、正しくありませんでした。" + kNl + workFile +
           kNl + Listed(lines) + L"このファイルは使わずに削除します。";
}

std::wstring WorkFileInTheWayMessage(const WorkFileInTheWay& stop) {
    return WithSystemReason(
               L"以前の作業用のファイルを削除できなかったため、別の言語のバージョン情報は削除していません。" + kNl +
                   stop.workFile,
               stop.reason) +
           kNl + TargetAsMergedLeftIt(stop.target, stop.backup);
}

std::wstring TargetLeftInWorkFileMessage(const TargetLeftInWorkFile& stop) {
    return WithSystemReason(L"実行ファイルを置き換える途中で失敗しました。", stop.reason) + kNl +
           L"実行ファイルは元の名前では見つからなくなっています。" + kNl + stop.target + kNl +
           L"別の言語のバージョン情報を削除した実行ファイルは、次のファイルにあります。このファイルの名前を上の名前に"
           L"変えてください。" +
           kNl + stop.workFile + kNl + L"元のファイルはバックアップにあります。" + kNl + stop.backup;
}

std::wstring DeleteResultWrongLead() {
    return L"別の言語のバージョン情報を削除した結果を確かめたところ、正しくありませんでした。";
}

std::wstring WorkFileLeftMessage(const std::wstring& workFile, const std::wstring& error) {
    return WithSystemReason(L"作業用のファイルを削除できませんでした。" + kNl + workFile, error) + kNl +
           L"このファイルは不要です。手動で削除してください。";
}

std::wstring RestoreMismatchReason() { return L"コピーした実行ファイルの内容がバックアップと一致しません。"; }

std::wstring RunName(EditorRun run) { return L"ResHacker (" + std::wstring(VerbOf(run)) + L")"; }

// Why a run was given up, "..." without the end.
std::wstring WhyGivenUp(const RunEnd& end) {
    const std::wstring seconds = std::to_wstring(end.timeoutMs / 1000);
    if (end.waitingForReady) {
        return end.wait == WaitOutcome::TimedOut
                   ? L"ResHacker のウィンドウが " + seconds + L" 秒待っても操作できる状態にならなかった"
                   : std::wstring(L"ResHacker のウィンドウを待てなかった");
    }
    return end.wait == WaitOutcome::TimedOut ? RunName(end.run) + L" が " + seconds + L" 秒待っても終了しなかった"
                                             : RunName(end.run) + L" の終了を待てなかった";
}

// What happened to a run that did not exit by itself.
std::wstring WhatHappened(const RunEnd& end) {
    if (end.kind == RunEnd::Kind::EndedByUs) return WhyGivenUp(end) + L"ため、終了させました。";
    return WhyGivenUp(end) +
           L"うえ、終了させることもできませんでした。タスク マネージャーで ResHacker を終了させてください。";
}

// What a merge run that stops the press leaves undone.
std::wstring MergeNotDone(EditorRun run, const std::wstring& backup) {
    return (run == EditorRun::AddSkip ? std::wstring(L"2 回目の処理 (-modify) は行っていません。")
                                      : std::wstring(L"実行ファイルの状態を確認してください。")) +
           kNl + L"元のファイルはバックアップにあります。" + kNl + backup;
}

// A merge run that was ended; the read-back follows.
std::wstring EndedMergeRun(const RunEnd& end) {
    return WhatHappened(end) +
           (end.run == EditorRun::AddSkip ? kNl + L"2 回目の処理 (-modify) は行っていません。" : std::wstring{});
}

struct StopSentence {
    std::wstring operator()(const ScriptUnbuildable& stop) const { return ScriptUnreadableMessage(stop.line); }
    std::wstring operator()(const TargetPathRefused& stop) const {
        if (stop.why == TargetPathRefused::Why::Comma) {
            return L"実行ファイルのパスに「,」が含まれているため、ResHacker に渡せません。" + kNl + stop.target + kNl +
                   L"「,」を含まないフォルダー名とファイル名にしてから実行してください。";
        }
        return L"実行ファイルのパスが短すぎるため、バックアップのファイル名を作れません。" + kNl + stop.target;
    }
    std::wstring operator()(const PathOutsideAnsi& stop) const {
        return PathOutsideAnsiMessage(stop.path, stop.characters);
    }
    std::wstring operator()(const TargetUnreadable& stop) const {
        return TargetUnreadableMessage(stop.target, stop.reason);
    }
    std::wstring operator()(const TargetNotAProgram& stop) const { return NotAProgramMessage(stop.target, stop.why); }
    std::wstring operator()(const TargetNotWritable& stop) const {
        return TargetNotWritableMessage(stop.target, stop.reason);
    }
    std::wstring operator()(const InitialResNotKept& stop) const {
        return WithSystemReason(
                   L"initial.res を読み取れないため、ResHacker での編集は始めていません。" + kNl + stop.resPath,
                   ReasonOf(stop.reason)) +
               kNl + kTargetUnchanged;
    }
    std::wstring operator()(const ClipboardRefused& stop) const {
        return WithSystemReason(stop.step == ClipboardRefused::Step::Empty
                                    ? L"クリップボードを空にできませんでした。"
                                    : L"スクリプトをクリップボードに置けませんでした。",
                                stop.reason) +
               kNl + kTargetUnchanged;
    }
    std::wstring operator()(const EditorNotStarted& stop) const {
        return WithSystemReason(L"ResHacker を起動できませんでした。" + kNl + stop.editor, stop.reason) + kNl +
               kTargetUnchanged;
    }
    std::wstring operator()(const EditorGivenUp& stop) const {
        // The merge runs read initial.res: nothing after the edit has run.
        return WhatHappened(stop.end) + kNl +
               (stop.end.waitingForReady ? kNoKeysSent + kTargetUnchanged : kNoBackupNoMerge);
    }
    std::wstring operator()(const EditedResourceUnreadable& stop) const {
        return EditedResourceUnreadableMessage(stop.resPath, ReasonOf(stop.reason));
    }
    std::wstring operator()(const EditedResourceBroken& stop) const {
        return std::wstring(FaultWords(stop.fault).afterEdit) + kNl + stop.resPath + kNl +
               L"キー操作が ResHacker の別の場所や別のウィンドウに届いた場合も、こうなります。" + kNl +
               kNoBackupNoMerge;
    }
    std::wstring operator()(const EditedResourceDiffers& stop) const {
        return EditedResourceDiffersMessage(stop.resPath, Lines(stop.findings), stop.typedScriptSpecials,
                                            stop.charactersOutsideAnsi);
    }
    std::wstring operator()(const BackupNotMade& stop) const {
        return WithSystemReason(L"バックアップを作成できませんでした。" + kNl + stop.target + kNl + L"→ " + stop.backup,
                                stop.reason) +
               kNl + kTargetUnchanged;
    }
    std::wstring operator()(const MergeNotStarted& stop) const {
        return WithSystemReason(RunName(stop.run) + std::wstring(L" を起動できませんでした。"), stop.reason) + kNl +
               MergeNotDone(stop.run, stop.backup);
    }
    std::wstring operator()(const MergeStillRunning& stop) const {
        return WhatHappened(stop.end) + kNl + MergeNotDone(stop.end.run, stop.backup);
    }
    std::wstring operator()(const RunEndedUnchanged& stop) const {
        return RunEndedUnchangedMessage(EndedMergeRun(stop.end), stop.target, stop.backup);
    }
    std::wstring operator()(const DeleteFailed& stop) const {
        std::wstring what;
        switch (stop.step) {
            case DeleteFailed::Step::Start:
                what = WithSystemReason(RunName(EditorRun::Delete) + std::wstring(L" を起動できませんでした。"),
                                        stop.reason);
                break;
            case DeleteFailed::Step::Run:
                what = WhatHappened(stop.end);
                break;
            case DeleteFailed::Step::ExitCode:
                what = RunName(EditorRun::Delete) + std::wstring(L" が終了コード ") +
                       std::to_wstring(stop.end.exitCode.value_or(0)) + L" で終了しました。";
                break;
            case DeleteFailed::Step::EditorError:
                what = RunName(EditorRun::Delete) + std::wstring(L" がエラーを記録しました。");
                break;
            case DeleteFailed::Step::WorkFileWrong:
                what = WorkFileWrongWhat(stop.workFile, Lines(stop.findings));
                break;
            case DeleteFailed::Step::Replace:
                what = WithSystemReason(L"実行ファイルを置き換えられませんでした。", stop.reason);
                break;
        }
        if (stop.uncompared)
            return L"別の言語のバージョン情報を削除できませんでした。" + kNl + what + kNl + TargetUncompared(stop);
        return DeleteFailedMessage(stop.target, stop.backup, what);
    }
    std::wstring operator()(const WorkFileInTheWay& stop) const { return WorkFileInTheWayMessage(stop); }
    std::wstring operator()(const TargetLeftInWorkFile& stop) const { return TargetLeftInWorkFileMessage(stop); }
    std::wstring operator()(const BackupMissing& stop) const { return BackupMissingMessage(stop); }
};

struct NoticeSentence {
    std::wstring operator()(const RunEndedButRight& notice) const {
        return RunEndedButRightMessage(EndedMergeRun(notice.end), notice.target, notice.backup);
    }
    std::wstring operator()(const Restored& notice) const { return RestoredMessage(notice.target, notice.backup); }
    std::wstring operator()(const RestoreFailed& notice) const {
        return RestoreFailedMessage(notice, notice.copyDiffers ? RestoreMismatchReason() : notice.reason);
    }
    std::wstring operator()(const ArgumentsUnused& notice) const { return ArgumentsUnusedMessage(notice); }
    std::wstring operator()(const WorkFileLeft& notice) const {
        return WorkFileLeftMessage(notice.path, notice.reason);
    }
};

struct QuestionSentence {
    std::wstring editorLog;

    std::wstring operator()(const SignedTarget& question) const { return SignedQuestion(question.target); }
    std::wstring operator()(const AppendedData& question) const {
        return AppendedDataQuestion(question.target, question.bytes);
    }
    std::wstring operator()(const RestoreOffer& question) const {
        const std::wstring lead = question.afterDelete ? DeleteResultWrongLead()
                                  : question.runEnded  ? EndedMergeRun(*question.runEnded)
                                                       : std::wstring{};
        return TargetDiffersQuestion(question.target, question.backup, Lines(question.findings), lead, editorLog);
    }
    std::wstring operator()(const OtherLanguages& question) const {
        return OtherLanguagesQuestion(question.target, question.backup, question.languages, editorLog);
    }
    std::wstring operator()(const RestoreAsked& question) const { return RestoreQuestion(question); }
};

}  // namespace

std::wstring Sentence(const PressStop& stop) { return std::visit(StopSentence{}, stop); }

std::wstring Sentence(const PressNotice& notice) { return std::visit(NoticeSentence{}, notice); }

std::wstring Sentence(const PressQuestion& question) { return std::visit(QuestionSentence{}, question); }

std::wstring Sentence(const PressStop& stop, const std::vector<RunLog>& logs) {
    const std::wstring editorLog = EditorLogBlock(logs);
    if (editorLog.empty()) return Sentence(stop);
    return Sentence(stop) + kNl + editorLog.substr(0, editorLog.size() - kNl.size());
}

std::wstring Sentence(const PressQuestion& question, const std::vector<RunLog>& logs) {
    return std::visit(QuestionSentence{EditorLogBlock(logs)}, question);
}

std::wstring Sentence(const InitialResPutBack& putBack) {
    switch (putBack.kind) {
        case InitialResPutBack::Kind::Unchanged:
            return {};
        case InitialResPutBack::Kind::PutBack:
            return L"initial.res は、実行する前の内容に戻しました。" + kNl + putBack.path;
        case InitialResPutBack::Kind::Removed:
            return L"実行する前になかった initial.res は、削除しました。" + kNl + putBack.path;
        case InitialResPutBack::Kind::Failed:
            return WithSystemReason(
                       L"initial.res を実行する前の内容に戻せませんでした。" + kNl + putBack.path,
                       putBack.writtenDiffers ? L"書き戻した内容が一致しません。" : ReasonOf(putBack.reason)) +
                   kNl + L"次に実行する前に、ソフトを再インストールしてください。";
        case InitialResPutBack::Kind::NotWhileRunning:
            return L"ResHacker が終了していないため、initial.res は実行する前の内容に戻していません。" + kNl +
                   putBack.path;
    }
    return {};
}

std::wstring Sentence(const InitialResProblem& problem) {
    switch (problem.kind) {
        case InitialResProblem::Kind::Missing:
            break;
        case InitialResProblem::Kind::Unreadable:
            return WithSystemReason(L"必要なファイル(initial.res)を読み取れません。" + kNl + problem.path,
                                    ReasonOf(problem.reason)) +
                   kNl + L"ソフトを再インストールしてください。";
        case InitialResProblem::Kind::Broken:
            return L"必要なファイル(initial.res)が壊れています。" + kNl + problem.path + kNl +
                   FaultWords(problem.fault).atStartUp + kNl + L"ソフトを再インストールしてください。";
    }
    return L"必要なファイル(initial.res)が見つかりません。\r\nソフトを再インストールしてください。";
}

}  // namespace quillmark

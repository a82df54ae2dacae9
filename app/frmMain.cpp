#include "app/frmMain.h"

#include <array>
#include <variant>

#include "app/FileDrop.h"
#include "app/PressDialogs.h"
#include "platform/FileFound.h"
#include "press/BackupRestore.h"
#include "press/CommandLines.h"
#include "press/EditCheck.h"
#include "press/EditorLog.h"
#include "press/InitialRes.h"
#include "press/InteractiveEdit.h"
#include "press/PressPaths.h"
#include "press/TargetPrecheck.h"
#include "press/TargetReadBack.h"
#include "press/TargetUpdate.h"
#include "press/VersionCleanup.h"
#include "script/ScriptFilling.h"
#include "script/VersionBoxes.h"
#include "script/VersionScriptTemplate.h"
#include "settings/SettingsRestore.h"
#include "settings/SettingsSave.h"
#include "ui/ControlTable.h"
#include "ui/FieldTable.h"
#include "verify/ScriptExpectation.h"

namespace quillmark {

namespace {

struct EventRoute {
    WindowEvent event;
    const wchar_t* control;  // empty for the window's own events
    void (frmMain::*handler)();
};

constexpr std::array<EventRoute, 14> kEventRoutes{{
    {WindowEvent::Initialize, L"", &frmMain::Form_Initialize},
    {WindowEvent::Load, L"", &frmMain::Form_Load},
    {WindowEvent::Unload, L"", &frmMain::Form_Unload},
    {WindowEvent::EndSession, L"", &frmMain::Form_EndSession},
    {WindowEvent::Change, L"txtExe", &frmMain::txtExe_Change},
    {WindowEvent::Change, L"txtResHack", &frmMain::txtResHack_Change},
    {WindowEvent::Click, L"cmdOpenExe", &frmMain::cmdOpenExe_Click},
    {WindowEvent::Click, L"cmdOpenHack", &frmMain::cmdOpenHack_Click},
    {WindowEvent::Click, L"cmdEnd", &frmMain::cmdEnd_Click},
    {WindowEvent::Click, L"cmdView", &frmMain::cmdView_Click},
    {WindowEvent::Click, L"Command1", &frmMain::Command1_Click},
    {WindowEvent::MenuClick, kLoadFromExeItem.name, &frmMain::mnuLoadFromExe_Click},
    {WindowEvent::MenuPopup, L"", &frmMain::Form_SystemMenuPopup},
    {WindowEvent::MenuClick, kRestoreBackupItem.name, &frmMain::mnuRestoreBackup_Click},
}};

// How long a found name must be: two characters enable the buttons, three
// let 確認 show the file, as users of the earlier program know them.
constexpr std::size_t kButtonMinNameLength = 2;
constexpr std::size_t kViewMinNameLength = 3;

const ControlRef kTxtExe{L"txtExe"};
const ControlRef kTxtResHack{L"txtResHack"};
const ControlRef kCmdView{L"cmdView"};
const ControlRef kCommand1{L"Command1"};

const wchar_t* const kSessionEndBlockReason = L"バージョン情報を書き込み中です";

// Cleared again however the press ends. Until then Windows is told why the
// session should not end.
class PressGuard {
public:
    PressGuard(Platform& platform, bool& running) : platform_(platform), running_(running) {
        running_ = true;
        platform_.BlockSessionEnd(kSessionEndBlockReason);
    }
    ~PressGuard() {
        platform_.AllowSessionEnd();
        running_ = false;
    }
    PressGuard(const PressGuard&) = delete;
    PressGuard& operator=(const PressGuard&) = delete;

private:
    Platform& platform_;
    bool& running_;
};

class BusyGuard {
public:
    explicit BusyGuard(Platform& platform) : platform_(platform) { platform_.BeginBusy(); }
    ~BusyGuard() { platform_.EndBusy(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    Platform& platform_;
};

}  // namespace

frmMain::frmMain(Platform& platform, WaitLimits limits) : platform_(platform), limits_(limits) {}

void frmMain::OnEvent(WindowEvent event, const ControlRef& control) {
    for (const EventRoute& route : kEventRoutes) {
        if (route.event == event && control.name == route.control) {
            (this->*route.handler)();
            return;
        }
    }
}

void frmMain::Form_Initialize() { versionScriptTemplate_ = BuildVersionScriptTemplate(); }

void frmMain::Form_Load() {
    programFolderPath_ = quillmark::ProgramFolderPath(platform_.ProgramFolder());
    settings_ = std::make_unique<inifile_IO>(platform_);
    settings_->FileName(programFolderPath_ + platform_.ExeBaseName() + L".ini");
    RestoreSettings(platform_, *settings_);
    platform_.ShowMainWindow();
    if (const auto problem = CheckInitialRes(platform_, programFolderPath_)) ShowInitialResProblem(platform_, *problem);
    OpenCommandLineFiles();
}

void frmMain::OpenCommandLineFiles() {
    const CommandLineFiles given = CommandLineTargets(
        platform_.CommandLineArguments(), [this](const std::wstring& path) { return platform_.MakeWholePath(path); });
    if (given.editor) platform_.SetText(kTxtResHack, *given.editor);
    if (given.target) platform_.SetText(kTxtExe, *given.target);
    if (!given.unused.empty()) ShowNotice(platform_, ArgumentsUnused{given.unused});
    if (given.target) OfferVersionLoad(*given.target);
}

void frmMain::Form_Unload() {
    // Ending now would leave the target half made and unchecked.
    if (pressRunning_) {
        closeRequested_ = true;
        return;
    }
    if (settings_) {
        SaveSettings(platform_, *settings_);
        settings_.reset();
    }
    platform_.EndProgram();
}

bool frmMain::Form_QueryEndSession() { return !pressRunning_; }

void frmMain::Form_EndSession() {
    // The system may end the process as soon as this returns, press or not.
    if (settings_) SaveSettings(platform_, *settings_);
}

void frmMain::txtExe_Change() { UpdateButtonStates(); }

void frmMain::txtResHack_Change() { UpdateButtonStates(); }

void frmMain::Form_DropFiles(const std::vector<std::wstring>& files, const ControlRef& underDrop) {
    // A press reads the path boxes while it runs.
    if (pressRunning_) return;
    const auto isNormalFile = [this](const std::wstring& path) { return NormalFileFound(platform_, path); };
    if (const auto dropped = FileDropTarget(files, underDrop, isNormalFile)) {
        platform_.SetText(dropped->box, dropped->path);
        if (dropped->box == kTxtExe) OfferVersionLoad(dropped->path);
    }
}

void frmMain::UpdateButtonStates() {
    platform_.SetEnabled(kCmdView, false);
    const std::wstring editorPath = platform_.GetText(kTxtResHack);
    const std::wstring targetPath = platform_.GetText(kTxtExe);
    if (editorPath.empty() || targetPath.empty() || !NormalFileFound(platform_, editorPath, kButtonMinNameLength) ||
        !NormalFileFound(platform_, targetPath, kButtonMinNameLength)) {
        platform_.SetEnabled(kCommand1, false);
        return;
    }
    platform_.SetEnabled(kCmdView, true);
    platform_.SetEnabled(kCommand1, true);
}

std::optional<std::wstring> frmMain::ChooseFile(const wchar_t* filter, const wchar_t* targetBox) {
    OpenDialogRequest request;
    request.hideReadOnly = true;
    request.filter = filter;
    request.filterIndex = 1;
    auto chosen = platform_.ShowOpenDialog(request);
    if (chosen) platform_.SetText({targetBox}, *chosen);
    return chosen;
}

void frmMain::cmdOpenExe_Click() {
    if (const auto chosen = ChooseFile(L"実行ファイル (*.exe)|*.exe", L"txtExe")) OfferVersionLoad(*chosen);
}

void frmMain::OfferVersionLoad(const std::wstring& path) {
    // The press reads the fields while it runs.
    if (pressRunning_) return;
    const auto read = ReadTargetVersion(platform_, path);
    // Choosing a file is no request to load: a file without values says nothing.
    const auto* info = std::get_if<verify::VersionInfo>(&read);
    if (info == nullptr) return;
    const VersionLoad load = PlanVersionLoad(platform_, *info, FieldTextsNow());
    if (load.changes.empty() || !AskLoad(platform_, path, load)) return;
    PutFieldTexts(load.loaded);
}

void frmMain::mnuLoadFromExe_Click() {
    if (pressRunning_) return;
    const std::wstring path = platform_.GetText(kTxtExe);
    const auto read = ReadTargetVersion(platform_, path);
    if (const auto* nothing = std::get_if<NothingToLoad>(&read)) {
        ShowNothingToLoad(platform_, *nothing);
        return;
    }
    const VersionLoad load = PlanVersionLoad(platform_, std::get<verify::VersionInfo>(read), FieldTextsNow());
    PutFieldTexts(load.loaded);
    ShowLoadNotice(platform_, path, load);
}

FieldTexts frmMain::FieldTextsNow() {
    FieldTexts texts;
    for (const FieldSpec& field : FieldTable()) {
        if (!IsVersionField(field.index)) {
            texts.strings[static_cast<std::size_t>(field.index)] = platform_.GetText({L"txtInfo", field.index});
        }
    }
    texts.versionBoxes = VersionBoxTexts();
    return texts;
}

std::array<std::wstring, 6> frmMain::VersionBoxTexts() {
    std::array<std::wstring, 6> texts;
    for (std::size_t b = 0; b < texts.size(); ++b) {
        texts[b] = platform_.GetText({VersionBoxes()[b].control, VersionBoxes()[b].index});
    }
    return texts;
}

void frmMain::PutFieldTexts(const FieldTexts& texts) {
    const FieldTexts now = FieldTextsNow();
    for (const FieldSpec& field : FieldTable()) {
        const auto f = static_cast<std::size_t>(field.index);
        if (!IsVersionField(field.index) && texts.strings[f] != now.strings[f]) {
            platform_.SetText({L"txtInfo", field.index}, texts.strings[f]);
        }
    }
    for (std::size_t b = 0; b < texts.versionBoxes.size(); ++b) {
        if (texts.versionBoxes[b] != now.versionBoxes[b]) {
            platform_.SetText({VersionBoxes()[b].control, VersionBoxes()[b].index}, texts.versionBoxes[b]);
        }
    }
}

void frmMain::cmdOpenHack_Click() { ChooseFile(L"ResHacker (ResHacker.exe)|ResHacker.exe", L"txtResHack"); }

void frmMain::cmdEnd_Click() { Form_Unload(); }

void frmMain::cmdView_Click() {
    const std::wstring targetPath = platform_.GetText(kTxtExe);
    if (!NormalFileFound(platform_, targetPath, kViewMinNameLength) || targetPath.empty()) {
        platform_.MessageBox(L"確認するファイルが見つかりません。", platform_.AppTitle(), Severity::None);
        return;
    }
    ShowFileProperties(targetPath);
}

void frmMain::ShowFileProperties(const std::wstring& path) { platform_.ShowPropertiesSheet(path); }

std::optional<frmMain::FilledPress> frmMain::CheckedFilledScript() {
    const std::wstring inputErrorTitle = platform_.AppTitle() + L"入力エラー";
    const auto read =
        ReadVersionTable(VersionBoxTexts(), [this](const std::wstring& text) { return platform_.TextToLong(text); });
    if (const auto* failure = std::get_if<ConversionFailure>(&read)) {
        platform_.MessageBox(failure->message, inputErrorTitle, Severity::Warning);
        return std::nullopt;
    }
    const VersionTable& versions = std::get<VersionTable>(read);
    if (const auto rangeFailure = FirstRangeFailure(versions)) {
        platform_.MessageBox(*rangeFailure, inputErrorTitle, Severity::Warning);
        return std::nullopt;
    }

    FieldValues fields;
    for (const FieldSpec& field : FieldTable()) {
        const auto f = static_cast<std::size_t>(field.index);
        fields.captions[f] = platform_.GetText({L"lblInfo", field.index});
        if (!IsVersionField(field.index)) {
            fields.texts[f] = platform_.GetText({L"txtInfo", field.index});
        }
    }
    std::wstring filledScript = FillVersionScript(versionScriptTemplate_, fields, versions);

    // The editor cannot take every path: refuse before anything is touched.
    const auto target = CheckTargetPath(platform_.GetText(kTxtExe));
    if (const auto* stop = std::get_if<PressStop>(&target)) {
        ShowStop(platform_, *stop);
        return std::nullopt;
    }
    return FilledPress{std::move(filledScript), std::get<TargetPath>(target)};
}

void frmMain::Command1_Click() {
    if (pressRunning_) {
        return;
    }
    RunPress();
    if (closeRequested_) {
        closeRequested_ = false;
        Form_Unload();
    }
}

void frmMain::RunPress() {
    PressGuard press(platform_, pressRunning_);
    const std::optional<FilledPress> filled = CheckedFilledScript();
    if (!filled) return;
    // What initial.res and then the target must hold once the editor is done.
    const auto expected = verify::ExpectedFromScript(filled->script);
    if (const auto* unreadable = std::get_if<verify::ScriptUnreadable>(&expected)) {
        ShowStop(platform_, ScriptUnbuildable{unreadable->line});
        return;
    }
    const auto pathForms = PressPathsFor(platform_, platform_.GetText(kTxtResHack), programFolderPath_, filled->target);
    if (const auto* stop = std::get_if<PressStop>(&pathForms)) {
        ShowStop(platform_, *stop);
        return;
    }
    const PressPaths& paths = std::get<PressPaths>(pathForms);
    const auto checked = CheckTargetBeforePress(platform_, paths.target);
    if (const auto* stop = std::get_if<PressStop>(&checked)) {
        ShowStop(platform_, *stop);
        return;
    }
    const TargetBefore& before = std::get<TargetBefore>(checked);
    for (const PressQuestion& question : QuestionsBeforePress(paths.target, before)) {
        if (!Ask(platform_, question)) return;
    }

    BusyGuard busy(platform_);
    // A compile that drops the resource, or keys that go astray, must not
    // leave initial.res broken for every later press.
    const auto kept = KeepInitialRes(platform_, programFolderPath_ + kInitialResName);
    if (const auto* stop = std::get_if<PressStop>(&kept)) {
        ShowStop(platform_, *stop);
        return;
    }
    const InitialResBefore& resBefore = std::get<InitialResBefore>(kept);
    if (const auto stop = RunInteractiveEdit(platform_, filled->script, paths, limits_)) {
        // An editor that could not be ended may still write it.
        const auto* givenUp = std::get_if<EditorGivenUp>(&*stop);
        const bool stillRunning = givenUp != nullptr && givenUp->end.kind == RunEnd::Kind::StillRunning;
        ShowStop(platform_, *stop,
                 stillRunning ? InitialResPutBack{InitialResPutBack::Kind::NotWhileRunning, resBefore.path, {}}
                              : PutInitialResBack(platform_, resBefore));
        return;
    }
    const auto& expectedVersion = std::get<verify::ExpectedVersion>(expected);
    const auto edited = CheckEditedResource(platform_, resBefore.path, expectedVersion);
    if (const auto* stop = std::get_if<PressStop>(&edited)) {
        ShowStop(platform_, *stop, PutInitialResBack(platform_, resBefore));
        return;
    }
    EditorLogs logs(platform_, paths.editor);
    const auto update = RunTargetUpdate(platform_, paths, limits_, logs);
    if (const auto* stop = std::get_if<PressStop>(&update)) {
        ShowStop(platform_, *stop, logs.Runs());
        return;
    }
    const PressRecord record{paths.target,
                             paths.backup,
                             before,
                             expectedVersion,
                             std::get<EditedResource>(edited).language,
                             std::get<UpdateOutcome>(update).runEnded};
    const TargetAfter after = CheckTargetAfterPress(platform_, record);
    if (const auto* stop = std::get_if<PressStop>(&after)) {
        ShowStop(platform_, *stop, logs.Runs());
        return;
    }
    if (const auto* offer = std::get_if<RestoreOffer>(&after)) {
        OfferRestore(*offer, logs.Runs());
        return;
    }
    const TargetRight& right = std::get<TargetRight>(after);
    if (right.notice) ShowNotice(platform_, *right.notice);
    // Windows may show the old values of a version resource left in another
    // language: offer to remove it.
    if (right.left.languages.empty() ||
        !Ask(platform_, OtherLanguages{paths.target, paths.backup, right.left.languages}, logs.Runs())) {
        return;
    }
    const Cleanup cleanup = RemoveLeftoverVersions(platform_, record, right.left, paths, limits_, logs);
    if (const auto* stop = std::get_if<PressStop>(&cleanup.outcome)) ShowStop(platform_, *stop, logs.Runs());
    if (const auto* offer = std::get_if<RestoreOffer>(&cleanup.outcome)) OfferRestore(*offer, logs.Runs());
    // No work file is left behind, whatever happened.
    for (const std::wstring& workFile : cleanup.workFiles) {
        if (const auto left = RemoveWorkFile(platform_, workFile)) ShowNotice(platform_, *left);
    }
}

void frmMain::OfferRestore(const RestoreOffer& offer, const std::vector<RunLog>& logs) {
    if (Ask(platform_, offer, logs)) RestoreBackup(offer.target, offer.backup);
}

void frmMain::RestoreBackup(const std::wstring& target, const std::wstring& backup) {
    const auto restored = RestoreOriginal(platform_, target, backup);
    if (const auto* stop = std::get_if<PressStop>(&restored)) {
        ShowStop(platform_, *stop);
        return;
    }
    ShowNotice(platform_, std::get<PressNotice>(restored));
}

std::optional<TargetPath> frmMain::TargetAndBackup() {
    const auto checked = CheckTargetPath(platform_.GetText(kTxtExe));
    if (const auto* paths = std::get_if<TargetPath>(&checked)) return *paths;
    return std::nullopt;
}

void frmMain::Form_SystemMenuPopup() {
    const auto paths = TargetAndBackup();
    platform_.SetMenuItemEnabled(kRestoreBackupItem.name,
                                 !pressRunning_ && paths && NormalFileFound(platform_, paths->backup));
}

void frmMain::mnuRestoreBackup_Click() {
    // The menu may be used without being opened: everything is checked again.
    const auto paths = TargetAndBackup();
    if (pressRunning_ || !paths) return;
    if (!NormalFileFound(platform_, paths->backup)) {
        ShowStop(platform_, BackupMissing{paths->target, paths->backup});
        return;
    }
    {
        PressGuard restore(platform_, pressRunning_);
        if (Ask(platform_, RestoreAsked{paths->target, paths->backup, platform_.LastWriteTime(paths->backup)})) {
            RestoreBackup(paths->target, paths->backup);
        }
    }
    if (closeRequested_) {
        closeRequested_ = false;
        Form_Unload();
    }
}

}  // namespace quillmark

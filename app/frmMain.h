#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "press/EditorRuns.h"
#include "press/PressPaths.h"
#include "press/PressStop.h"
#include "press/VersionLoad.h"
#include "settings/inifile_IO.h"

namespace quillmark {

// The main window's logic: it owns the window's state and decides what each
// event does; the controls live behind the platform.
class frmMain {
public:
    explicit frmMain(Platform& platform, WaitLimits limits = {});

    // One call per window event, routed to its handler.
    void OnEvent(WindowEvent event, const ControlRef& control = {});

    void Form_Initialize();
    void Form_Load();
    void Form_Unload();
    // Windows asks whether the session may end; then ends it.
    bool Form_QueryEndSession();
    void Form_EndSession();
    void txtExe_Change();
    void txtResHack_Change();
    // Files dropped on the window, with the control under the drop point.
    void Form_DropFiles(const std::vector<std::wstring>& files, const ControlRef& underDrop);
    void cmdOpenExe_Click();
    // The system menu's item: loads the version information of the target
    // in the box, without a question.
    void mnuLoadFromExe_Click();
    // The system menu is about to open: its restore item is greyed while
    // the target in the box has no backup.
    void Form_SystemMenuPopup();
    // The system menu's item: puts the target's backup back, after a
    // question.
    void mnuRestoreBackup_Click();
    void cmdOpenHack_Click();
    void cmdEnd_Click();
    void cmdView_Click();
    void Command1_Click();

    const std::wstring& VersionScriptTemplate() const { return versionScriptTemplate_; }
    const std::wstring& ProgramFolderPath() const { return programFolderPath_; }

private:
    void UpdateButtonStates();
    void ShowFileProperties(const std::wstring& path);
    std::optional<std::wstring> ChooseFile(const wchar_t* filter, const wchar_t* targetBox);
    // A target just chosen: asks before its values replace the fields.
    void OfferVersionLoad(const std::wstring& path);
    FieldTexts FieldTextsNow();
    std::array<std::wstring, 6> VersionBoxTexts();
    void PutFieldTexts(const FieldTexts& texts);
    // The filled script and the checked target path, or nothing when a
    // check stopped the press.
    struct FilledPress {
        std::wstring script;
        TargetPath target;
    };
    std::optional<FilledPress> CheckedFilledScript();
    void RunPress();
    // Asks; on Yes puts the backup back and says how that went.
    void OfferRestore(const RestoreOffer& offer, const std::vector<RunLog>& logs);
    void RestoreBackup(const std::wstring& target, const std::wstring& backup);
    // The target in the box and its backup's path; nothing when the path
    // can have no backup.
    std::optional<TargetPath> TargetAndBackup();
    // Paths given on the command line go into the boxes.
    void OpenCommandLineFiles();

    Platform& platform_;
    WaitLimits limits_;
    std::wstring versionScriptTemplate_;
    std::wstring programFolderPath_;
    std::unique_ptr<inifile_IO> settings_;
    bool pressRunning_ = false;
    // A close asked for during a press, carried out once the press ends.
    bool closeRequested_ = false;
};

}  // namespace quillmark

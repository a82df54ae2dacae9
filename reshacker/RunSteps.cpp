#include "reshacker/RunSteps.h"

namespace quillmark {

std::wstring WithSystemReason(const std::wstring& text, const std::wstring& error) {
    return error.empty() ? text : text + L"\r\n" + error;
}

void ReportStop(Platform& platform, const std::wstring& text) {
    platform.MessageBox(text, kMessageStyleExclamation, platform.AppTitle());
}

bool AskYesNo(Platform& platform, const std::wstring& text, DefaultAnswer defaultAnswer) {
    constexpr int kYesNo = 4;
    constexpr int kSecondButtonDefault = 256;
    constexpr int kAnswerYes = 6;
    const int style =
        kYesNo | kMessageStyleExclamation | (defaultAnswer == DefaultAnswer::No ? kSecondButtonDefault : 0);
    return platform.MessageBox(text, style, platform.AppTitle()) == kAnswerYes;
}

bool WaitForEditorExit(Platform& platform, std::uintptr_t process, const WaitLimits& limits,
                       const std::wstring& whichRun, const std::wstring& whatDidNotHappen) {
    const WaitOutcome outcome = platform.WaitForExit(process, limits.exitMs);
    platform.ReleaseProcess(process);
    if (outcome == WaitOutcome::Done) {
        return true;
    }
    const std::wstring why = outcome == WaitOutcome::TimedOut
                                 ? L"が " + std::to_wstring(limits.exitMs / 1000) + L" 秒待っても終了しませんでした。"
                                 : L"の終了を待てませんでした。";
    ReportStop(platform, whichRun + why + L"\r\n" + whatDidNotHappen);
    return false;
}

}  // namespace quillmark

#include "press/RunSteps.h"

namespace quillmark {

std::wstring WithSystemReason(const std::wstring& text, const std::wstring& error) {
    return error.empty() ? text : text + L"\r\n" + error;
}

void ReportStop(Platform& platform, const std::wstring& text) {
    platform.MessageBox(text, platform.AppTitle(), Severity::Warning);
}

bool AskYesNo(Platform& platform, const std::wstring& text, DefaultAnswer defaultAnswer) {
    return platform.MessageBox(text, platform.AppTitle(), Severity::Warning, Buttons::YesNo, defaultAnswer) ==
           Answer::Yes;
}

RunEnd GiveUpEditorRun(Platform& platform, std::uintptr_t process, const std::wstring& whyGivenUp) {
    // A run left going could still write its files after the message.
    const bool ended = platform.EndStartedProcess(process);
    platform.ReleaseProcess(process);
    if (ended) return {RunEnd::Kind::EndedByUs, whyGivenUp + L"ため、終了させました。"};
    return {RunEnd::Kind::StillRunning,
            whyGivenUp +
                L"うえ、終了させることもできませんでした。タスク マネージャーで ResHacker を終了させて"
                L"ください。"};
}

RunEnd AwaitEditorRun(Platform& platform, std::uintptr_t process, int timeoutMs, const std::wstring& whichRun) {
    const WaitOutcome outcome = platform.WaitForExit(process, timeoutMs);
    if (outcome == WaitOutcome::Done) {
        platform.ReleaseProcess(process);
        return {};
    }
    return GiveUpEditorRun(platform, process,
                           outcome == WaitOutcome::TimedOut
                               ? whichRun + L" が " + std::to_wstring(timeoutMs / 1000) + L" 秒待っても終了しなかった"
                               : whichRun + L" の終了を待てなかった");
}

void ReportRunEnd(Platform& platform, const RunEnd& end, const std::wstring& whatDidNotHappen) {
    ReportStop(platform, end.what + L"\r\n" + whatDidNotHappen);
}

}  // namespace quillmark

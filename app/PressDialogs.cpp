#include "app/PressDialogs.h"

#include "press/PressMessages.h"

namespace quillmark {

void ShowStop(Platform& platform, const PressStop& stop) {
    platform.MessageBox(Sentence(stop), platform.AppTitle(), Severity::Warning);
}

void ShowStop(Platform& platform, const PressStop& stop, const std::vector<RunLog>& logs) {
    platform.MessageBox(Sentence(stop, logs), platform.AppTitle(), Severity::Warning);
}

void ShowStop(Platform& platform, const PressStop& stop, const InitialResPutBack& putBack) {
    const std::wstring putBackText = Sentence(putBack);
    platform.MessageBox(Sentence(stop) + (putBackText.empty() ? std::wstring{} : L"\r\n" + putBackText),
                        platform.AppTitle(), Severity::Warning);
}

void ShowInitialResProblem(Platform& platform, const InitialResProblem& problem) {
    platform.MessageBox(Sentence(problem), platform.AppTitle(), Severity::Warning);
}

void ShowNotice(Platform& platform, const PressNotice& notice) {
    const Severity severity = std::holds_alternative<Restored>(notice) ? Severity::Information : Severity::Warning;
    platform.MessageBox(Sentence(notice), platform.AppTitle(), severity);
}

bool Ask(Platform& platform, const PressQuestion& question) { return Ask(platform, question, {}); }

bool Ask(Platform& platform, const PressQuestion& question, const std::vector<RunLog>& logs) {
    const bool risky = std::holds_alternative<SignedTarget>(question) ||
                       std::holds_alternative<AppendedData>(question) || std::holds_alternative<RestoreAsked>(question);
    return platform.MessageBox(Sentence(question, logs), platform.AppTitle(), Severity::Warning, Buttons::YesNo,
                               risky ? DefaultAnswer::No : DefaultAnswer::Yes) == Answer::Yes;
}

bool AskLoad(Platform& platform, const std::wstring& path, const VersionLoad& load) {
    return platform.MessageBox(LoadQuestion(path, load), platform.AppTitle(), Severity::Information, Buttons::YesNo,
                               DefaultAnswer::No) == Answer::Yes;
}

void ShowLoadNotice(Platform& platform, const std::wstring& path, const VersionLoad& load) {
    if (const std::wstring notice = LoadNotice(path, load); !notice.empty()) {
        platform.MessageBox(notice, platform.AppTitle(), Severity::Warning);
    }
}

void ShowNothingToLoad(Platform& platform, const NothingToLoad& nothing) {
    platform.MessageBox(Sentence(nothing), platform.AppTitle(), Severity::Information);
}

}  // namespace quillmark

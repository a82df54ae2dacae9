#include "press/TargetPrecheck.h"

#include "press/FileChecks.h"
#include "press/ProofMessages.h"
#include "press/RunSteps.h"

namespace quillmark {

std::optional<TargetBefore> CheckTargetBeforePress(Platform& platform, const std::wstring& targetPath) {
    const PeFileReading reading = ReadPeFile(platform, targetPath);
    if (const auto* failure = std::get_if<ReadFailure>(&reading)) {
        ReportStop(platform, TargetUnreadableMessage(targetPath, failure->error));
        return std::nullopt;
    }
    if (const auto* notProgram = std::get_if<verify::NotAProgram>(&reading)) {
        ReportStop(platform, NotAProgramMessage(targetPath, notProgram->reason));
        return std::nullopt;
    }
    if (const OpResult probe = platform.ProbeWrite(targetPath); !probe.ok) {
        ReportStop(platform, TargetNotWritableMessage(targetPath, probe.error));
        return std::nullopt;
    }
    TargetBefore before{std::get<verify::PeFacts>(reading), {}};
    before.appended = verify::AppendedData(before.facts);
    if (before.facts.IsSigned() && !AskYesNo(platform, SignedQuestion(targetPath), DefaultAnswer::No)) {
        return std::nullopt;
    }
    if (const std::uint64_t appended = verify::TotalLength(before.appended);
        appended > 0 && !AskYesNo(platform, AppendedDataQuestion(targetPath, appended), DefaultAnswer::No)) {
        return std::nullopt;
    }
    return before;
}

}  // namespace quillmark

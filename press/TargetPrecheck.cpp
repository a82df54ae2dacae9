#include "press/TargetPrecheck.h"

#include "press/FileChecks.h"

namespace quillmark {

std::variant<TargetBefore, PressStop> CheckTargetBeforePress(Platform& platform, const std::wstring& targetPath) {
    const PeFileReading reading = ReadPeFile(platform, targetPath);
    if (const auto* failure = std::get_if<ReadFailure>(&reading)) {
        return TargetUnreadable{targetPath, failure->error};
    }
    if (const auto* notProgram = std::get_if<verify::NotAProgram>(&reading)) {
        return TargetNotAProgram{targetPath, notProgram->reason};
    }
    if (const OpResult probe = platform.ProbeWrite(targetPath); !probe.ok) {
        return TargetNotWritable{targetPath, probe.error};
    }
    TargetBefore before{std::get<verify::PeFacts>(reading), {}};
    before.appended = verify::AppendedData(before.facts);
    return before;
}

std::vector<PressQuestion> QuestionsBeforePress(const std::wstring& targetPath, const TargetBefore& before) {
    std::vector<PressQuestion> questions;
    if (before.facts.IsSigned()) questions.emplace_back(SignedTarget{targetPath});
    if (const std::uint64_t appended = verify::TotalLength(before.appended); appended > 0) {
        questions.emplace_back(AppendedData{targetPath, appended});
    }
    return questions;
}

}  // namespace quillmark

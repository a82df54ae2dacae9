#include "reshacker/TargetReadBack.h"

#include <algorithm>

#include "reshacker/FileChecks.h"
#include "reshacker/ProofMessages.h"
#include "reshacker/RunSteps.h"
#include "verify/Comparison.h"

namespace quillmark {

namespace {

// The file itself: still a program, its appended data where installers look
// for it. False when it is no program any more.
bool CheckFile(Platform& platform, const PressRecord& press, std::vector<std::wstring>& lines) {
    const PeFileReading reading = ReadPeFile(platform, press.targetPath);
    if (const auto* failure = std::get_if<ReadFailure>(&reading)) {
        lines.push_back(FileUnreadableLine(failure->error));
        return false;
    }
    if (const auto* notProgram = std::get_if<verify::NotAProgram>(&reading)) {
        lines.push_back(NoLongerProgramLine(notProgram->reason));
        return false;
    }
    const std::uint64_t before = verify::TotalLength(press.before.appended);
    if (before == 0) return true;
    const std::vector<verify::ByteRange> after = verify::AppendedData(std::get<verify::PeFacts>(reading));
    const auto same = SameBytes(platform, press.targetPath, after, press.backupPath, press.before.appended);
    if (const auto* failure = std::get_if<ReadFailure>(&same)) {
        lines.push_back(FileUnreadableLine(failure->error));
    } else if (!std::get<bool>(same)) {
        const std::uint64_t afterLength = verify::TotalLength(after);
        lines.push_back(AppendedDataLine(before, afterLength, afterLength == before));
    }
    return true;
}

// The version resource, in initial.res's language. With that language
// alone, the values are the ones Windows' version API picks.
std::vector<std::uint16_t> CheckVersion(Platform& platform, const PressRecord& press,
                                        std::vector<std::wstring>& lines) {
    const VersionReadBack back =
        platform.ReadVersionBack(press.targetPath, {press.expected.stringTable, press.expected.Keys()});
    if (!back.loaded.ok) {
        lines.push_back(UnreadableLine(back.loaded.error));
        return {};
    }
    std::vector<std::uint16_t> languages;
    for (const LanguageVersion& entry : back.languages) languages.push_back(entry.language);
    const auto written = std::find_if(back.languages.begin(), back.languages.end(),
                                      [&](const LanguageVersion& entry) { return entry.language == press.language; });
    if (written == back.languages.end()) {
        lines.push_back(NoVersionLine(press.language, languages));
        return languages;
    }
    const bool alone = back.languages.size() == 1;
    if (alone && !back.shown.found) {
        lines.push_back(NoShownVersionLine());
        return languages;
    }
    for (const verify::Difference& difference : verify::Compare(press.expected, alone ? back.shown : written->values)) {
        lines.push_back(DifferenceLine(difference));
    }
    return languages;
}

void RestoreOriginal(Platform& platform, const PressRecord& press) {
    if (const OpResult copied = platform.CopyFileReplacing(press.backupPath, press.targetPath); !copied.ok) {
        ReportStop(platform, RestoreFailedMessage(press.targetPath, press.backupPath, copied.error));
        return;
    }
    const auto same = SameFiles(platform, press.targetPath, press.backupPath);
    if (const auto* failure = std::get_if<ReadFailure>(&same)) {
        ReportStop(platform, RestoreFailedMessage(press.targetPath, press.backupPath, failure->error));
    } else if (!std::get<bool>(same)) {
        ReportStop(platform, RestoreFailedMessage(press.targetPath, press.backupPath, RestoreMismatchReason()));
    } else {
        platform.MessageBox(RestoredMessage(press.targetPath, press.backupPath), kMessageStyleInformation,
                            platform.AppTitle());
    }
}

}  // namespace

void CheckTargetAfterPress(Platform& platform, const PressRecord& press) {
    const bool runEnded = !press.runEnded.empty();
    if (runEnded) {
        const auto same = SameFiles(platform, press.targetPath, press.backupPath);
        if (const bool* unchanged = std::get_if<bool>(&same); unchanged && *unchanged) {
            ReportStop(platform, RunEndedUnchangedMessage(press.runEnded, press.targetPath, press.backupPath));
            return;
        }
    }
    std::vector<std::wstring> lines;
    // A file that is no program any more has no resources to read.
    const std::vector<std::uint16_t> languages =
        CheckFile(platform, press, lines) ? CheckVersion(platform, press, lines) : std::vector<std::uint16_t>{};
    if (!lines.empty()) {
        if (AskYesNo(platform, TargetDiffersQuestion(press.targetPath, press.backupPath, lines, press.runEnded),
                     DefaultAnswer::Yes)) {
            RestoreOriginal(platform, press);
        }
        return;
    }
    if (runEnded) {
        ReportStop(platform, RunEndedButRightMessage(press.runEnded, press.targetPath, press.backupPath));
    }
    if (languages.size() > 1) {
        ReportStop(platform, OtherLanguagesMessage(press.targetPath, press.backupPath, languages));
    }
}

}  // namespace quillmark

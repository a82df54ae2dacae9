#include "press/TargetReadBack.h"

#include <algorithm>

#include "press/FileChecks.h"
#include "verify/Comparison.h"

namespace quillmark {

namespace {

// The file itself: still a program, its appended data where installers look
// for it. False when it is no program any more.
bool CheckFile(Platform& platform, const std::wstring& path, const Reference& reference, Proof& proof) {
    const PeFileReading reading = ReadPeFile(platform, path);
    if (const auto* failure = std::get_if<ReadFailure>(&reading)) {
        proof.findings.push_back(*failure);
        return false;
    }
    if (const auto* notProgram = std::get_if<verify::NotAProgram>(&reading)) {
        proof.findings.push_back(NoLongerProgram{notProgram->reason});
        return false;
    }
    proof.appended = verify::AppendedData(std::get<verify::PeFacts>(reading));
    const std::uint64_t before = verify::TotalLength(reference.appended);
    if (before == 0) return true;
    const auto same = SameBytes(platform, path, proof.appended, reference.path, reference.appended);
    if (const auto* failure = std::get_if<ReadFailure>(&same)) {
        proof.findings.push_back(*failure);
    } else if (!std::get<bool>(same)) {
        proof.findings.push_back(AppendedDataChanged{before, verify::TotalLength(proof.appended)});
    }
    return true;
}

// The version resource, in initial.res's language. With that language
// alone, the values are the ones Windows' version API picks.
void CheckVersion(Platform& platform, const PressRecord& press, const std::wstring& path, Proof& proof) {
    const VersionReadBack back = platform.ReadVersionBack(path, {press.expected.stringTable, press.expected.Keys()});
    if (!back.loaded.ok) {
        proof.findings.push_back(VersionUnreadable{back.loaded.error});
        return;
    }
    for (const LanguageVersion& entry : back.languages) proof.languages.push_back(entry.language);
    const auto written = std::find_if(back.languages.begin(), back.languages.end(),
                                      [&](const LanguageVersion& entry) { return entry.language == press.language; });
    if (written == back.languages.end()) {
        proof.findings.push_back(VersionMissing{press.language, proof.languages});
        return;
    }
    const bool alone = back.languages.size() == 1;
    if (alone && !back.shown.found) {
        proof.findings.push_back(NoShownVersion{});
        return;
    }
    for (verify::Difference& difference : verify::Compare(press.expected, alone ? back.shown : written->values)) {
        proof.findings.push_back(std::move(difference));
    }
}

// Every other resource item (icon, manifest, ...) as the reference holds it.
void CheckOtherResources(Platform& platform, const std::wstring& path, const Reference& reference, Proof& proof) {
    const ResourceComparison compared = ResourceChanges(platform, path, reference.path, verify::IsVersionItem);
    if (const auto* stop = std::get_if<ResourceReadStop>(&compared)) {
        proof.findings.push_back(*stop);
        return;
    }
    for (const ResourceChange& change : std::get<std::vector<ResourceChange>>(compared)) {
        proof.findings.push_back(change);
    }
}

}  // namespace

Proof ProveFile(Platform& platform, const PressRecord& press, const std::wstring& path, const Reference& reference) {
    Proof proof;
    // A file that is no program any more has no resources to read.
    if (CheckFile(platform, path, reference, proof)) {
        CheckVersion(platform, press, path, proof);
        CheckOtherResources(platform, path, reference, proof);
    }
    return proof;
}

std::vector<std::uint16_t> Proof::LanguagesBut(std::uint16_t own) const {
    std::vector<std::uint16_t> others;
    std::copy_if(languages.begin(), languages.end(), std::back_inserter(others),
                 [own](std::uint16_t language) { return language != own; });
    return others;
}

TargetAfter CheckTargetAfterPress(Platform& platform, const PressRecord& press) {
    if (press.runEnded) {
        const auto same = SameFiles(platform, press.targetPath, press.backupPath);
        if (const bool* unchanged = std::get_if<bool>(&same); unchanged && *unchanged) {
            return RunEndedUnchanged{*press.runEnded, press.targetPath, press.backupPath};
        }
    }
    Proof proof = ProveFile(platform, press, press.targetPath, {press.backupPath, press.before.appended});
    if (!proof.findings.empty()) {
        return RestoreOffer{press.targetPath, press.backupPath, std::move(proof.findings), press.runEnded, false};
    }
    TargetRight right;
    if (press.runEnded) right.notice = RunEndedButRight{*press.runEnded, press.targetPath, press.backupPath};
    right.left.appended = std::move(proof.appended);
    right.left.languages = proof.LanguagesBut(press.language);
    return right;
}

}  // namespace quillmark

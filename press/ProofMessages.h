#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "press/FileChecks.h"
#include "verify/Comparison.h"
#include "verify/PeImage.h"

namespace quillmark {

// The texts of the checks around a press: what happened, what was not
// done, and where the original is.

// Before anything is touched.
std::wstring NotAProgramMessage(const std::wstring& target, verify::NotProgramReason reason);
std::wstring TargetUnreadableMessage(const std::wstring& target, const std::wstring& error);
std::wstring TargetNotWritableMessage(const std::wstring& target, const std::wstring& error);
std::wstring SignedQuestion(const std::wstring& target);
std::wstring AppendedDataQuestion(const std::wstring& target, std::uint64_t appendedBytes);
std::wstring ScriptUnreadableMessage(const std::wstring& line);
std::wstring PathOutsideAnsiMessage(const std::wstring& path, const std::wstring& characters);

// After the interactive edit, before the backup.
std::wstring EditedResourceUnreadableMessage(const std::wstring& resPath, const std::wstring& error);
std::wstring EditedResourceDiffersMessage(const std::wstring& resPath, const std::vector<std::wstring>& differences,
                                          bool typedSpecialCharacters, const std::wstring& charactersOutsideAnsi);

// After the merge runs.
// `lead`, when given, says first what happened to a run.
std::wstring TargetDiffersQuestion(const std::wstring& target, const std::wstring& backup,
                                   const std::vector<std::wstring>& differences, const std::wstring& lead = {});
std::wstring RunEndedUnchangedMessage(const std::wstring& runEnded, const std::wstring& target,
                                      const std::wstring& backup);
std::wstring RunEndedButRightMessage(const std::wstring& runEnded, const std::wstring& target,
                                     const std::wstring& backup);
std::wstring RestoredMessage(const std::wstring& target, const std::wstring& backup);
std::wstring RestoreFailedMessage(const std::wstring& target, const std::wstring& backup, const std::wstring& error);
std::wstring OtherLanguagesQuestion(const std::wstring& target, const std::wstring& backup,
                                    const std::vector<std::uint16_t>& languages);

// Removing the version resources left in other languages.
std::wstring DeleteFailedMessage(const std::wstring& target, const std::wstring& backup, const std::wstring& what);
std::wstring DeleteResultWrongLead();
std::wstring WorkFileLeftMessage(const std::wstring& workFile, const std::wstring& error);
std::wstring LeftoverLanguagesLine(const std::vector<std::uint16_t>& languages);

// One line per difference, as the messages list them.
std::wstring DifferenceLine(const verify::Difference& difference);
std::wstring NotAProgramLine(verify::NotProgramReason reason);
std::wstring UnreadableLine(const std::wstring& error);
std::wstring FileUnreadableLine(const std::wstring& error);
std::wstring NoLongerProgramLine(verify::NotProgramReason reason);
std::wstring NoVersionLine(std::uint16_t language, const std::vector<std::uint16_t>& present);
std::wstring NoShownVersionLine();
std::wstring NoResourceFileLine();
std::wstring AppendedDataLine(std::uint64_t before, std::uint64_t after, bool sameLength);
std::wstring RestoreMismatchReason();
// "アイコン (ICON 1, 言語 0411) がなくなっています"
std::wstring ResourceChangeLine(const ResourceChange& change);
std::wstring ResourcesUnreadableLine(const ResourceReadStop& stop);

// "0411 (日本語)"
std::wstring LanguageLabel(std::uint16_t language);

}  // namespace quillmark

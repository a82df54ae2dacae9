#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "press/EditorRuns.h"
#include "press/FileChecks.h"
#include "press/InitialRes.h"
#include "press/PressStop.h"
#include "press/VersionLoad.h"
#include "verify/Comparison.h"
#include "verify/PeImage.h"

namespace quillmark {

// Every sentence a press shows: its stops, what it tells on the way and
// what it asks, each with what happened, what was not done, and where the
// original is; and the lines its lists are made of.
std::wstring Sentence(const PressStop& stop);
std::wstring Sentence(const PressNotice& notice);
std::wstring Sentence(const PressQuestion& question);
// After the merge runs: with what the editor logged of each hidden run.
std::wstring Sentence(const PressStop& stop, const std::vector<RunLog>& logs);
std::wstring Sentence(const PressQuestion& question, const std::vector<RunLog>& logs);
// How initial.res was put back, said after the stop (empty: nothing to say).
std::wstring Sentence(const InitialResPutBack& putBack);
// What is wrong with initial.res at start-up.
std::wstring Sentence(const InitialResProblem& problem);

// Loading a target's version information into the fields: the question
// before a chosen file's values replace the fields, what could not be
// entered after a load without question (empty: nothing to say), and why a
// file gave nothing.
std::wstring LoadQuestion(const std::wstring& path, const VersionLoad& load);
std::wstring LoadNotice(const std::wstring& path, const VersionLoad& load);
std::wstring Sentence(const NothingToLoad& nothing);

// One line per difference, as the messages list them.
std::wstring LeftoverLanguagesLine(const std::vector<std::uint16_t>& languages);
std::wstring DifferenceLine(const verify::Difference& difference);
std::wstring NotAProgramLine(verify::NotProgramReason reason);
std::wstring UnreadableLine(const std::wstring& error);
std::wstring FileUnreadableLine(const std::wstring& error);
std::wstring NoLongerProgramLine(verify::NotProgramReason reason);
std::wstring NoVersionLine(std::uint16_t language, const std::vector<std::uint16_t>& present);
std::wstring NoShownVersionLine();
std::wstring TargetChangedDuringDeleteLine();
std::wstring AppendedDataLine(std::uint64_t before, std::uint64_t after, bool sameLength);
// "アイコン (ICON 1, 言語 0411) がなくなっています"
std::wstring ResourceChangeLine(const ResourceChange& change);
std::wstring ResourcesUnreadableLine(const ResourceReadStop& stop);

// The reason a whole-file read gives for a file past its limit.
std::wstring FileTooLargeReason(std::uint64_t bytes);

// "0411 (日本語)"
std::wstring LanguageLabel(std::uint16_t language);

}  // namespace quillmark

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "press/EditorRuns.h"
#include "press/Finding.h"
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

// One line of what a check found, as the messages list it: "アイコン (ICON 1,
// 言語 0411) がなくなっています".
std::wstring FindingLine(const Finding& finding);

}  // namespace quillmark

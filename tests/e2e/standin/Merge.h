#pragma once

#include <string>

#include "Log.h"

namespace standin {

enum class MergeVerb { AddSkip, Modify };

// Copies `src` to `dst` with the resources of `resPath` merged in:
// AddSkip adds those whose type and name `src` lacks, Modify replaces
// (every language of) those it has. Returns the exit code: 0 done,
// 1 nothing to merge (dst untouched), 2 failure (dst untouched).
int RunMerge(MergeVerb verb, const std::wstring& src, const std::wstring& dst, const std::wstring& resPath,
             const Log& log);

}  // namespace standin

#pragma once

#include <string>

#include "Invocation.h"
#include "Log.h"
#include "RunLog.h"

namespace standin {

enum class MergeVerb { AddSkip, Modify };

// Copies `src` to `dst` with the resources of `resPath` merged in, an item
// being one type, name and language: AddSkip adds the items `src` lacks,
// Modify replaces the items it has and ignores the rest; without
// `keepOthers` dst holds only the items taken from the .res. The items it
// changed and its errors go to `report`. Returns the exit code of the
// exit-codes fault: 0 done, 1 nothing to merge (dst untouched), 2 failure
// (dst untouched).
int RunMerge(MergeVerb verb, const std::wstring& src, const std::wstring& dst, const std::wstring& resPath,
             bool keepOthers, const Log& log, RunLog& report);

// Copies `src` to `dst` without the items `mask` names. Returns 0 done, 1 the
// source has no such item (dst untouched), 2 failure (dst untouched).
int RunDelete(const std::wstring& src, const std::wstring& dst, const ResourceMask& mask, const Log& log,
              RunLog& report);

// The "merge" line that opens every merge run's log.
void LogMergeRun(MergeVerb verb, const std::wstring& src, const std::wstring& dst, const std::wstring& resPath,
                 const Log& log);

}  // namespace standin

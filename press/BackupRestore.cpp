#include "press/BackupRestore.h"

#include "press/CommandLines.h"
#include "press/FileChecks.h"

namespace quillmark {

std::variant<PressNotice, PressStop> RestoreOriginal(Platform& platform, const std::wstring& targetPath,
                                                     const std::wstring& backupPath) {
    if (const OpResult probe = platform.ProbeWrite(targetPath); !probe.ok) {
        return TargetNotWritable{targetPath, probe.error};
    }
    RestoreFailed failed{targetPath, backupPath, {}, false, RestoreFailed::Left::AsItWas, {}};
    const std::wstring copy = RestoreCopyPath(targetPath);
    if (const OpResult copied = platform.CopyFileReplacing(backupPath, copy); !copied.ok) {
        // A copy cut short is of no use to anyone.
        platform.RemoveFile(copy);
        failed.reason = copied.error;
        return failed;
    }
    const ReplaceOutcome replaced = platform.ReplaceFileKeepingIdentity(copy, targetPath);
    failed.reason = replaced.error;
    switch (replaced.kind) {
        case ReplaceOutcome::Kind::Unchanged:
            platform.RemoveFile(copy);
            return failed;
        case ReplaceOutcome::Kind::ReplacedGone:
            failed.left = RestoreFailed::Left::InCopy;
            failed.copy = copy;
            return failed;
        case ReplaceOutcome::Kind::Replaced:
            break;
    }
    failed.left = RestoreFailed::Left::AsItIsNow;
    const auto same = SameFiles(platform, targetPath, backupPath);
    if (const auto* failure = std::get_if<ReadFailure>(&same)) {
        failed.reason = failure->error;
        return failed;
    }
    if (!std::get<bool>(same)) {
        failed.copyDiffers = true;
        return failed;
    }
    return Restored{targetPath, backupPath};
}

}  // namespace quillmark

#include "verify/VersionResFile.h"

#include "verify/ResFile.h"

namespace quillmark::verify {

namespace {

const ResItem* VersionItem(const std::vector<ResItem>& items) {
    const ResItem* first = nullptr;
    for (const ResItem& item : items) {
        if (!IsVersionItem(item)) continue;
        if (item.name.ordinal == 1) return &item;
        if (first == nullptr) first = &item;
    }
    return first;
}

}  // namespace

ResFileVersionReading ReadVersionResFile(Bytes bytes) {
    const auto items = ReadResFile(bytes);
    if (!items) return ResFileFault::NotAResourceFile;
    const ResItem* version = VersionItem(*items);
    if (version == nullptr) return ResFileFault::NoVersionResource;
    auto info = ReadVersionInfo(bytes.subspan(version->data.offset, version->data.length));
    if (!info) return ResFileFault::VersionUnreadable;
    return ResFileVersion{version->language, std::move(*info)};
}

}  // namespace quillmark::verify

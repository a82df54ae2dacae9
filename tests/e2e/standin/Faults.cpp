#include "Faults.h"

#include "FileIo.h"

namespace standin {

namespace {

struct FaultName {
    const wchar_t* name;
    bool Faults::*flag;
};

constexpr FaultName kFaultNames[] = {
    {L"merge-nothing", &Faults::mergeNothing},
    {L"merge-truncate", &Faults::mergeTruncate},
    {L"no-save", &Faults::noSave},
    {L"keep-appended", &Faults::keepAppended},
    {L"merge-hang", &Faults::mergeHang},
    {L"merge-drop-others", &Faults::mergeDropOthers},
    {L"ansi", &Faults::ansi},
    {L"delete-exit-1", &Faults::deleteExit1},
    {L"exit-codes", &Faults::exitCodes},
    {L"compile-empties", &Faults::compileEmpties},
    {L"addskip-invisible", &Faults::addskipInvisible},
    {L"addskip-stale-size", &Faults::addskipStaleSize},
};

std::wstring Trim(const std::wstring& text) {
    const std::size_t begin = text.find_first_not_of(L" \t\r");
    if (begin == std::wstring::npos) return {};
    return text.substr(begin, text.find_last_not_of(L" \t\r") - begin + 1);
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(Trim(text.substr(start, end - start)));
        start = end + 1;
    }
    return lines;
}

std::wstring Joined(const std::vector<std::wstring>& names) {
    std::wstring out;
    for (const std::wstring& name : names) out += (out.empty() ? L"" : L", ") + name;
    return out;
}

}  // namespace

Faults ParseFaults(const std::wstring& text, std::vector<std::wstring>& unknown) {
    Faults faults;
    for (const std::wstring& line : Lines(text)) {
        if (line.empty() || line[0] == L'#') continue;
        bool known = false;
        for (const FaultName& fault : kFaultNames) {
            if (line == fault.name) {
                faults.*fault.flag = true;
                known = true;
            }
        }
        if (!known) unknown.push_back(line);
    }
    return faults;
}

FaultsRead ReadFaults() {
    const auto bytes = ReadFileBytes(ProgramFolder() + L"ResHacker.faults");
    if (!bytes) return {};
    std::vector<std::wstring> unknown;
    const Faults faults = ParseFaults(DecodeText(*bytes), unknown);
    std::vector<std::wstring> named;
    for (const FaultName& fault : kFaultNames) {
        if (faults.*fault.flag) named.push_back(fault.name);
    }
    std::wstring line = named.empty() ? L"none" : Joined(named);
    if (!unknown.empty()) line += L"; unknown: " + Joined(unknown);
    return {faults, line};
}

}  // namespace standin

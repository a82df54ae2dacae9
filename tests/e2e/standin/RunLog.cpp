#include "RunLog.h"

#include <windows.h>

#include <cwctype>

#include "FileIo.h"

namespace standin {

namespace {

struct TypeName {
    const wchar_t* identifier;
    std::uint16_t id;
};

constexpr TypeName kTypeIdentifiers[] = {
    {L"CURSOR", 1},        {L"BITMAP", 2},        {L"ICON", 3},        {L"MENU", 4},         {L"DIALOG", 5},
    {L"STRINGTABLE", 6},   {L"FONTDIR", 7},       {L"FONT", 8},        {L"ACCELERATORS", 9}, {L"RCDATA", 10},
    {L"MESSAGETABLE", 11}, {L"GROUP_CURSOR", 12}, {L"GROUP_ICON", 14}, {L"VERSIONINFO", 16}, {L"DLGINCLUDE", 17},
    {L"PLUGPLAY", 19},     {L"VXD", 20},          {L"ANICURSOR", 21},  {L"ANIICON", 22},     {L"HTML", 23},
    {L"MANIFEST", 24},
};

constexpr const wchar_t* kDone[] = {L"Added", L"Modified", L"Deleted"};

std::wstring TwoDigits(WORD value) { return std::wstring(1, L'0' + value / 10 % 10) + wchar_t(L'0' + value % 10); }

// The ANSI code page's bytes: what it lacks is best-fitted or '?', as an
// ANSI program's file would hold it.
std::string Ansi(const std::wstring& text) {
    if (text.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void Rewrite(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::wstring Trimmed(const std::wstring& text) {
    const std::size_t begin = text.find_first_not_of(L" \t");
    if (begin == std::wstring::npos) return {};
    return text.substr(begin, text.find_last_not_of(L" \t") - begin + 1);
}

}  // namespace

std::wstring TypeIdentifier(const ResId& type) {
    if (!type.isOrdinal) return type.name;
    for (const TypeName& known : kTypeIdentifiers) {
        if (known.id == type.ordinal) return known.identifier;
    }
    return std::to_wstring(type.ordinal);
}

std::optional<std::uint16_t> TypeByIdentifier(const std::wstring& identifier) {
    std::wstring upper = identifier;
    for (wchar_t& ch : upper) ch = static_cast<wchar_t>(std::towupper(ch));
    for (const TypeName& known : kTypeIdentifiers) {
        if (upper == known.identifier) return known.id;
    }
    return std::nullopt;
}

std::wstring ItemLine(ItemDone done, const ResId& type, const ResId& name, std::uint16_t language) {
    return std::wstring(L"  ") + kDone[static_cast<int>(done)] + L": " + TypeIdentifier(type) + L"," + name.Text() +
           L"," + std::to_wstring(language);
}

RunLog::RunLog(std::wstring arguments) : arguments_(Trimmed(arguments)) {}

void RunLog::Item(ItemDone done, const ResId& type, const ResId& name, std::uint16_t language) {
    results_.push_back(ItemLine(done, type, name, language));
}

void RunLog::Error(const std::wstring& text) { results_.push_back(L"Error: " + text); }

void RunLog::Write() const {
    std::vector<std::wstring> lines{LogTimeNow(), arguments_};
    if (results_.empty()) lines.insert(lines.end(), {L"", L"Commands completed"});
    lines.insert(lines.end(), results_.begin(), results_.end());
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\r\n";
    Rewrite(ProgramFolder() + L"ResHacker.log", Ansi(text));
    WriteEditorSettings();
}

std::wstring LogTimeNow() {
    static const wchar_t* const kMonths[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                             L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return L"[" + TwoDigits(now.wDay) + L" " + kMonths[(now.wMonth + 11) % 12] + L" " + std::to_wstring(now.wYear) +
           L", " + TwoDigits(now.wHour) + L":" + TwoDigits(now.wMinute) + L":" + TwoDigits(now.wSecond) + L"]";
}

void WriteEditorSettings() { Rewrite(ProgramFolder() + L"ResHacker.ini", "[Settings]\r\nStandin=1\r\n"); }

}  // namespace standin

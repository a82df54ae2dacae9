#include "Invocation.h"

#include <optional>
#include <vector>

#include "RunLog.h"

namespace standin {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring Trim(const std::wstring& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// Splits at blanks; a double-quoted run keeps its blanks and loses its quotes.
std::vector<std::wstring> SplitOperands(const std::wstring& text) {
    std::vector<std::wstring> parts;
    std::size_t i = 0;
    while (true) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (i >= text.size()) break;
        std::wstring part;
        bool quoted = false;
        for (; i < text.size() && (quoted || !IsBlank(text[i])); ++i) {
            if (text[i] == L'"') {
                quoted = !quoted;
            } else {
                part.push_back(text[i]);
            }
        }
        parts.push_back(std::move(part));
    }
    return parts;
}

Invocation Invalid(std::wstring why) {
    Invocation inv;
    inv.error = std::move(why);
    return inv;
}

// "src, dst, rest": the paths hold no ", " of their own; returns the rest.
std::optional<std::wstring> SplitPaths(const std::wstring& operands, Invocation& inv) {
    const std::size_t firstSep = operands.find(L", ");
    if (firstSep == std::wstring::npos) {
        inv.error = L"no \", \" after the source path";
        return std::nullopt;
    }
    const std::size_t secondSep = operands.find(L", ", firstSep + 2);
    if (secondSep == std::wstring::npos) {
        inv.error = L"no \", \" after the destination path";
        return std::nullopt;
    }
    inv.src = Trim(operands.substr(0, firstSep));
    inv.dst = Trim(operands.substr(firstSep + 2, secondSep - firstSep - 2));
    return Trim(operands.substr(secondSep + 2));
}

// A decimal number that fits a WORD; nothing for anything else.
std::optional<std::uint16_t> Decimal(const std::wstring& text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    unsigned long value = 0;
    for (wchar_t ch : text) {
        if (ch < L'0' || ch > L'9') return std::nullopt;
        value = value * 10 + static_cast<unsigned long>(ch - L'0');
    }
    if (value > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

Invocation Delete(const std::wstring& operands) {
    Invocation inv;
    const auto rest = SplitPaths(operands, inv);
    if (!rest) return inv;
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = rest->find(L',', start);
        fields.push_back(Trim(rest->substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start)));
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    if (fields.size() != 3) return Invalid(L"expected the mask \"type,name,language\", found \"" + *rest + L"\"");
    if (inv.src.empty() || inv.dst.empty()) return Invalid(L"an empty path");
    inv.mode = Invocation::Mode::Delete;
    inv.mask.text = *rest;
    if (const auto number = Decimal(fields[0])) {
        inv.mask.type = ResId::Ordinal(*number);
    } else if (const auto known = TypeByIdentifier(fields[0])) {
        inv.mask.type = ResId::Ordinal(*known);
    } else {
        return Invalid(L"unknown resource type \"" + fields[0] + L"\"");
    }
    if (fields[1].empty()) return Invalid(L"an empty resource name");
    const auto nameNumber = Decimal(fields[1]);
    inv.mask.name = nameNumber ? ResId::Ordinal(*nameNumber) : ResId::Named(fields[1]);
    const auto language = Decimal(fields[2]);
    if (!language) return Invalid(L"the language is not a decimal number: \"" + fields[2] + L"\"");
    inv.mask.language = *language;
    return inv;
}

Invocation Merge(Invocation::Mode mode, const std::wstring& operands) {
    Invocation inv;
    const auto paths = SplitPaths(operands, inv);
    if (!paths) return inv;
    inv.mode = mode;
    std::wstring rest = *paths;
    std::wstring tail;
    if (StartsWith(rest, L"\"")) {
        const std::size_t close = rest.find(L'"', 1);
        if (close == std::wstring::npos) return Invalid(L"unterminated quote around the resource file");
        inv.resPath = rest.substr(1, close - 1);
        tail = rest.substr(close + 1);
    } else {
        const std::size_t comma = rest.find(L',');
        inv.resPath = Trim(rest.substr(0, comma));
        tail = comma == std::wstring::npos ? L"" : rest.substr(comma);
    }
    // The three empty fields after the resource file (type, name, language):
    // anything else there means the caller built the line wrongly.
    if (Trim(tail) != L",,,") return Invalid(L"expected \" ,,,\" after the resource file, found \"" + tail + L"\"");
    if (inv.src.empty() || inv.dst.empty() || inv.resPath.empty()) return Invalid(L"an empty path");
    return inv;
}

}  // namespace

std::wstring ArgumentsOf(const std::wstring& commandLine) {
    std::size_t i = 0;
    if (StartsWith(commandLine, L"\"")) {
        const std::size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring::npos ? commandLine.size() : close + 1;
    }
    while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
    while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
    return commandLine.substr(i);
}

Invocation ParseInvocation(const std::wstring& arguments) {
    const std::wstring args = Trim(arguments);
    if (args.empty()) return Invalid(L"no operand");
    if (StartsWith(args, L"-addskip ")) return Merge(Invocation::Mode::AddSkip, args.substr(9));
    if (StartsWith(args, L"-modify ")) return Merge(Invocation::Mode::Modify, args.substr(8));
    if (StartsWith(args, L"-delete ")) return Delete(args.substr(8));
    const bool compile = StartsWith(args, L"-compile-test ");
    if (compile || StartsWith(args, L"-decompile-test ")) {
        const auto ops = SplitOperands(args.substr(args.find(L' ') + 1));
        if (ops.size() != 2) return Invalid(L"expected two operands: input and output file");
        Invocation inv;
        inv.mode = compile ? Invocation::Mode::CompileTest : Invocation::Mode::DecompileTest;
        inv.in = ops[0];
        inv.out = ops[1];
        return inv;
    }
    if (StartsWith(args, L"-")) return Invalid(L"unknown option");
    const auto ops = SplitOperands(args);
    if (ops.size() != 1) return Invalid(L"expected exactly one resource file");
    Invocation inv;
    inv.mode = Invocation::Mode::Edit;
    inv.resPath = ops[0];
    return inv;
}

}  // namespace standin

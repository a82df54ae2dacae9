#include "VersionScript.h"

#include <array>
#include <cwctype>
#include <variant>

namespace standin {

namespace {

enum class Tok { Word, String, Begin, End, Comma, Op, Eof };

struct Token {
    Tok kind = Tok::Eof;
    std::wstring text;
    int line = 0;
};

struct ScriptError {
    int line;
    std::wstring message;
};

bool IsWordChar(wchar_t c) { return std::iswalnum(static_cast<wint_t>(c)) || c == L'_' || c == L'.'; }

bool EqualsNoCase(const std::wstring& a, const wchar_t* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != 0; ++i) {
        if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i]))) return false;
    }
    return i == a.size() && b[i] == 0;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

class Lexer {
public:
    explicit Lexer(const std::wstring& text) : s_(text) {}

    std::variant<std::vector<Token>, ScriptError> Run() {
        std::vector<Token> out;
        bool lineStart = true;
        while (i_ < s_.size()) {
            const wchar_t c = s_[i_];
            if (c == L'\n') {
                ++line_;
                ++i_;
                lineStart = true;
                continue;
            }
            if (std::iswspace(static_cast<wint_t>(c))) {
                ++i_;
                continue;
            }
            if (lineStart && c == L'#') {  // preprocessor lines such as #pragma code_page
                SkipToLineEnd();
                continue;
            }
            lineStart = false;
            if (c == L'/' && Peek(1) == L'/') {
                SkipToLineEnd();
                continue;
            }
            if (c == L'/' && Peek(1) == L'*') {
                i_ += 2;
                while (i_ < s_.size() && !(s_[i_] == L'*' && Peek(1) == L'/')) {
                    if (s_[i_] == L'\n') ++line_;
                    ++i_;
                }
                if (i_ >= s_.size()) return ScriptError{line_, L"unterminated comment"};
                i_ += 2;
                continue;
            }
            Token t;
            t.line = line_;
            if (c == L'"' || ((c == L'L' || c == L'l') && Peek(1) == L'"')) {
                if (c != L'"') ++i_;
                auto str = String();
                if (!str) return ScriptError{t.line, L"unterminated string"};
                t.kind = Tok::String;
                t.text = std::move(*str);
            } else if (c == L'{') {
                t.kind = Tok::Begin;
                ++i_;
            } else if (c == L'}') {
                t.kind = Tok::End;
                ++i_;
            } else if (c == L',') {
                t.kind = Tok::Comma;
                ++i_;
            } else if (c == L'|' || c == L'+' || c == L'-' || c == L'&' || c == L'~' || c == L'(' || c == L')') {
                t.kind = Tok::Op;
                t.text.assign(1, c);
                ++i_;
            } else if (IsWordChar(c)) {
                t.kind = Tok::Word;
                while (i_ < s_.size() && IsWordChar(s_[i_])) t.text.push_back(s_[i_++]);
                if (EqualsNoCase(t.text, L"BEGIN")) t.kind = Tok::Begin;
                if (EqualsNoCase(t.text, L"END")) t.kind = Tok::End;
            } else {
                return ScriptError{line_, std::wstring(L"unexpected character '") + c + L"'"};
            }
            out.push_back(std::move(t));
        }
        out.push_back(Token{Tok::Eof, {}, line_});
        return out;
    }

private:
    wchar_t Peek(std::size_t ahead) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : 0; }

    void SkipToLineEnd() {
        while (i_ < s_.size() && s_[i_] != L'\n') ++i_;
    }

    // At the opening quote. "" stands for one quote; the backslash escapes
    // are those windres knows, including its odd \a.
    std::optional<std::wstring> String() {
        ++i_;
        std::wstring text;
        while (true) {
            if (i_ >= s_.size() || s_[i_] == L'\n') return std::nullopt;
            const wchar_t c = s_[i_];
            if (c == L'"') {
                if (Peek(1) == L'"') {
                    text.push_back(L'"');
                    i_ += 2;
                    continue;
                }
                ++i_;
                return text;
            }
            if (c != L'\\') {
                text.push_back(c);
                ++i_;
                continue;
            }
            const wchar_t e = Peek(1);
            i_ += 2;
            switch (e) {
                case L'"':
                    text.push_back(L'"');
                    break;
                case L'a':
                    text.push_back(8);
                    break;
                case L'b':
                    text.push_back(8);
                    break;
                case L'f':
                    text.push_back(12);
                    break;
                case L'n':
                    text.push_back(10);
                    break;
                case L'r':
                    text.push_back(13);
                    break;
                case L't':
                    text.push_back(9);
                    break;
                case L'v':
                    text.push_back(11);
                    break;
                case L'\\':
                    text.push_back(L'\\');
                    break;
                case L'x': {
                    unsigned value = 0;
                    while (i_ < s_.size() && HexDigit(s_[i_]) >= 0) value = (value << 4) | HexDigit(s_[i_++]);
                    text.push_back(static_cast<wchar_t>(value & 0xFFFF));
                    break;
                }
                default:
                    if (e >= L'0' && e <= L'7') {
                        unsigned value = static_cast<unsigned>(e - L'0');
                        while (i_ < s_.size() && s_[i_] >= L'0' && s_[i_] <= L'7')
                            value = (value << 3) | (s_[i_++] - L'0');
                        text.push_back(static_cast<wchar_t>(value & 0xFFFF));
                    } else if (e == 0 || e == L'\n') {
                        return std::nullopt;
                    } else {
                        text.push_back(L'\\');
                        text.push_back(e);
                    }
            }
        }
    }

    const std::wstring& s_;
    std::size_t i_ = 0;
    int line_ = 1;
};

struct FixedInfo {
    std::array<std::uint32_t, 4> fileVersion{};  // MS, LS pairs packed below
    std::array<std::uint32_t, 4> productVersion{};
    std::uint32_t flagsMask = 0, flags = 0, os = 0, type = 0, subtype = 0;
};

struct StringValue {
    std::wstring key, value;
};
struct StringTable {
    std::wstring key;
    std::vector<StringValue> values;
};
struct VarValue {
    std::wstring key;
    std::vector<std::uint16_t> words;
};
struct Block {
    bool isStringFileInfo = true;
    std::wstring key;
    std::vector<StringTable> tables;
    std::vector<VarValue> vars;
};

struct VersionResource {
    ResId name;
    FixedInfo fixed;
    std::vector<Block> blocks;
};

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : t_(std::move(tokens)) {}

    VersionResource Parse() {
        VersionResource res;
        const Token& nameTok = Next();
        if (nameTok.kind != Tok::Word) Fail(nameTok, L"expected the resource name");
        if (std::iswdigit(static_cast<wint_t>(nameTok.text[0]))) {
            res.name = ResId::Ordinal(static_cast<std::uint16_t>(NumberOf(nameTok)));
        } else {
            res.name = ResId::Named(nameTok.text);
        }
        ExpectKeyword(L"VERSIONINFO");
        while (Peek().kind == Tok::Word) {
            const Token& kw = Next();
            if (EqualsNoCase(kw.text, L"FILEVERSION")) {
                res.fixed.fileVersion = FourNumbers();
            } else if (EqualsNoCase(kw.text, L"PRODUCTVERSION")) {
                res.fixed.productVersion = FourNumbers();
            } else if (EqualsNoCase(kw.text, L"FILEFLAGSMASK")) {
                res.fixed.flagsMask = Expression();
            } else if (EqualsNoCase(kw.text, L"FILEFLAGS")) {
                res.fixed.flags = Expression();
            } else if (EqualsNoCase(kw.text, L"FILEOS")) {
                res.fixed.os = Expression();
            } else if (EqualsNoCase(kw.text, L"FILETYPE")) {
                res.fixed.type = Expression();
            } else if (EqualsNoCase(kw.text, L"FILESUBTYPE")) {
                res.fixed.subtype = Expression();
            } else {
                Fail(kw, L"unknown statement '" + kw.text + L"'");
            }
        }
        ExpectBegin();
        while (Peek().kind != Tok::End) res.blocks.push_back(ParseBlock());
        Next();
        if (Peek().kind != Tok::Eof) Fail(Peek(), L"unexpected text after the VERSIONINFO resource");
        return res;
    }

private:
    const Token& Peek() const { return t_[pos_]; }
    const Token& Next() {
        const Token& t = t_[pos_];
        if (t.kind != Tok::Eof) ++pos_;
        return t;
    }

    [[noreturn]] static void Fail(const Token& at, std::wstring message) {
        throw ScriptError{at.line, std::move(message)};
    }

    void ExpectKeyword(const wchar_t* word) {
        const Token& t = Next();
        if (t.kind != Tok::Word || !EqualsNoCase(t.text, word)) Fail(t, std::wstring(L"expected ") + word);
    }
    void ExpectBegin() {
        if (Next().kind != Tok::Begin) Fail(t_[pos_ - 1], L"expected { or BEGIN");
    }

    std::wstring QuotedText() {
        const Token& t = Next();
        if (t.kind != Tok::String) Fail(t, L"expected a quoted string");
        std::wstring text = t.text;
        while (Peek().kind == Tok::String) text += Next().text;  // adjacent strings join
        return text;
    }

    static std::uint32_t NumberOf(const Token& t) {
        std::wstring digits = t.text;
        while (!digits.empty() &&
               (digits.back() == L'L' || digits.back() == L'l' || digits.back() == L'U' || digits.back() == L'u')) {
            digits.pop_back();
        }
        unsigned base = 10;
        std::size_t start = 0;
        if (digits.size() > 2 && digits[0] == L'0' && (digits[1] == L'x' || digits[1] == L'X')) {
            base = 16;
            start = 2;
        } else if (digits.size() > 1 && digits[0] == L'0') {
            base = 8;  // a leading zero means octal to windres
            start = 1;
        }
        if (start >= digits.size()) Fail(t, L"bad number '" + t.text + L"'");
        std::uint32_t value = 0;
        for (std::size_t i = start; i < digits.size(); ++i) {
            const int d = HexDigit(digits[i]);
            if (d < 0 || static_cast<unsigned>(d) >= base) Fail(t, L"bad number '" + t.text + L"'");
            value = value * base + static_cast<unsigned>(d);
        }
        return value;
    }

    bool AtNumber() const {
        const Token& t = Peek();
        if (t.kind == Tok::Word) return std::iswdigit(static_cast<wint_t>(t.text[0])) != 0;
        return t.kind == Tok::Op && (t.text == L"~" || t.text == L"-" || t.text == L"(");
    }

    std::uint32_t Term() {
        const Token& t = Next();
        if (t.kind == Tok::Op && t.text == L"~") return ~Term();
        if (t.kind == Tok::Op && t.text == L"-") return 0u - Term();
        if (t.kind == Tok::Op && t.text == L"(") {
            const std::uint32_t v = Expression();
            const Token& close = Next();
            if (close.kind != Tok::Op || close.text != L")") Fail(close, L"expected )");
            return v;
        }
        if (t.kind != Tok::Word || !std::iswdigit(static_cast<wint_t>(t.text[0]))) Fail(t, L"expected a number");
        return NumberOf(t);
    }

    std::uint32_t Expression() {
        std::uint32_t v = Term();
        while (Peek().kind == Tok::Op && (Peek().text == L"|" || Peek().text == L"+" || Peek().text == L"&")) {
            const std::wstring op = Next().text;
            const std::uint32_t rhs = Term();
            v = op == L"|" ? (v | rhs) : op == L"+" ? (v + rhs) : (v & rhs);
        }
        return v;
    }

    // One to four numbers separated by commas and/or blanks; missing ones are 0.
    std::array<std::uint32_t, 4> FourNumbers() {
        std::array<std::uint32_t, 4> parts{};
        parts[0] = Expression();
        for (std::size_t i = 1; i < 4; ++i) {
            const bool comma = Peek().kind == Tok::Comma;
            if (comma) Next();
            if (!AtNumber()) {
                if (comma) Fail(Peek(), L"expected a number after ,");
                break;
            }
            parts[i] = Expression();
        }
        return parts;
    }

    Block ParseBlock() {
        ExpectKeyword(L"BLOCK");
        Block block;
        const int keyLine = Peek().line;
        block.key = QuotedText();
        ExpectBegin();
        if (EqualsNoCase(block.key, L"StringFileInfo")) {
            while (Peek().kind != Tok::End) {
                ExpectKeyword(L"BLOCK");
                StringTable table;
                table.key = QuotedText();
                ExpectBegin();
                while (Peek().kind != Tok::End) {
                    ExpectKeyword(L"VALUE");
                    StringValue v;
                    v.key = QuotedText();
                    if (Peek().kind == Tok::Comma) Next();
                    v.value = QuotedText();
                    table.values.push_back(std::move(v));
                }
                Next();
                block.tables.push_back(std::move(table));
            }
        } else if (EqualsNoCase(block.key, L"VarFileInfo")) {
            block.isStringFileInfo = false;
            while (Peek().kind != Tok::End) {
                ExpectKeyword(L"VALUE");
                VarValue v;
                v.key = QuotedText();
                while (true) {
                    if (Peek().kind == Tok::Comma) {
                        Next();
                        continue;
                    }
                    if (!AtNumber()) break;
                    v.words.push_back(static_cast<std::uint16_t>(Expression() & 0xFFFF));
                }
                block.vars.push_back(std::move(v));
            }
        } else {
            throw ScriptError{keyLine, L"unknown block \"" + block.key + L"\""};
        }
        Next();
        return block;
    }

    std::vector<Token> t_;
    std::size_t pos_ = 0;
};

class Writer {
public:
    std::vector<std::uint8_t> out;

    void Put16(std::uint16_t v) {
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void Put32(std::uint32_t v) {
        Put16(static_cast<std::uint16_t>(v & 0xFFFF));
        Put16(static_cast<std::uint16_t>(v >> 16));
    }
    void PutText(const std::wstring& text) {
        for (wchar_t c : text) Put16(static_cast<std::uint16_t>(c));
        Put16(0);
    }
    void Pad() {
        while (out.size() % 4 != 0) out.push_back(0);
    }
    std::size_t Header() {
        const std::size_t at = out.size();
        Put16(0);
        Put16(0);
        Put16(0);
        return at;
    }
    void Patch(std::size_t at, std::size_t valueLength, std::uint16_t type) {
        Set16(at, static_cast<std::uint16_t>(out.size() - at));
        Set16(at + 2, static_cast<std::uint16_t>(valueLength));
        Set16(at + 4, type);
    }

private:
    void Set16(std::size_t at, std::uint16_t v) {
        out[at] = static_cast<std::uint8_t>(v & 0xFF);
        out[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
};

// Mirrors windres: a node's length stops at its last byte (no trailing
// padding), text values count WORDs with the NUL, binary values count bytes.
std::vector<std::uint8_t> WriteVersionInfo(const VersionResource& res) {
    Writer w;
    const std::size_t root = w.Header();
    w.PutText(L"VS_VERSION_INFO");
    w.Pad();
    const FixedInfo& f = res.fixed;
    w.Put32(0xFEEF04BD);
    w.Put32(0x00010000);
    w.Put32(((f.fileVersion[0] & 0xFFFF) << 16) | (f.fileVersion[1] & 0xFFFF));
    w.Put32(((f.fileVersion[2] & 0xFFFF) << 16) | (f.fileVersion[3] & 0xFFFF));
    w.Put32(((f.productVersion[0] & 0xFFFF) << 16) | (f.productVersion[1] & 0xFFFF));
    w.Put32(((f.productVersion[2] & 0xFFFF) << 16) | (f.productVersion[3] & 0xFFFF));
    w.Put32(f.flagsMask);
    w.Put32(f.flags);
    w.Put32(f.os);
    w.Put32(f.type);
    w.Put32(f.subtype);
    w.Put32(0);  // file date, never set by a script
    w.Put32(0);
    for (const Block& block : res.blocks) {
        w.Pad();
        const std::size_t b = w.Header();
        w.PutText(block.isStringFileInfo ? L"StringFileInfo" : L"VarFileInfo");
        w.Pad();
        for (const StringTable& table : block.tables) {
            w.Pad();
            const std::size_t t = w.Header();
            w.PutText(table.key);
            for (const StringValue& v : table.values) {
                w.Pad();
                const std::size_t s = w.Header();
                w.PutText(v.key);
                w.Pad();
                w.PutText(v.value);
                w.Patch(s, v.value.size() + 1, 1);
            }
            w.Patch(t, 0, 1);
        }
        for (const VarValue& v : block.vars) {
            w.Pad();
            const std::size_t s = w.Header();
            w.PutText(v.key);
            w.Pad();
            for (std::uint16_t word : v.words) w.Put16(word);
            w.Patch(s, v.words.size() * 2, 0);
        }
        w.Patch(b, 0, 1);
    }
    w.Patch(root, 52, 0);
    return std::move(w.out);
}

struct Node {
    std::uint16_t valueLength = 0;
    std::uint16_t type = 0;
    std::wstring key;
    std::size_t valueAt = 0;
    std::vector<Node> children;
};

class BinaryReader {
public:
    explicit BinaryReader(const std::vector<std::uint8_t>& d) : d_(d) {}

    std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(d_[at] | (d_[at + 1] << 8)); }
    std::uint32_t U32(std::size_t at) const { return U16(at) | (static_cast<std::uint32_t>(U16(at + 2)) << 16); }

    // A text node (type 1) counts its value in WORDs, a binary one in bytes.
    std::optional<Node> Read(std::size_t at, std::size_t limit, int depth) const {
        if (depth > 8 || at + 6 > limit) return std::nullopt;
        const std::size_t length = U16(at);
        if (length < 6 || at + length > limit) return std::nullopt;
        const std::size_t end = at + length;
        Node n;
        n.valueLength = U16(at + 2);
        n.type = U16(at + 4);
        std::size_t p = at + 6;
        while (true) {
            if (p + 2 > end) return std::nullopt;
            const std::uint16_t c = U16(p);
            p += 2;
            if (c == 0) break;
            n.key.push_back(static_cast<wchar_t>(c));
        }
        p = (p + 3) & ~static_cast<std::size_t>(3);
        n.valueAt = p;
        const std::size_t valueBytes = n.type == 1 ? n.valueLength * 2u : n.valueLength;
        p = ((p + valueBytes) + 3) & ~static_cast<std::size_t>(3);
        while (p < end) {
            auto child = Read(p, end, depth + 1);
            if (!child) return std::nullopt;
            const std::size_t childLength = U16(p);
            n.children.push_back(std::move(*child));
            p = (p + childLength + 3) & ~static_cast<std::size_t>(3);
        }
        return n;
    }

    std::wstring Text(const Node& n) const {
        std::wstring text;
        for (std::size_t i = 0; i < n.valueLength && n.valueAt + 2 * i + 2 <= d_.size(); ++i) {
            const std::uint16_t c = U16(n.valueAt + 2 * i);
            if (c == 0) break;
            text.push_back(static_cast<wchar_t>(c));
        }
        return text;
    }

private:
    const std::vector<std::uint8_t>& d_;
};

std::wstring Quote(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        switch (c) {
            case L'"':
                out += L"\"\"";
                break;
            case L'\\':
                out += L"\\\\";
                break;
            case L'\n':
                out += L"\\n";
                break;
            case L'\r':
                out += L"\\r";
                break;
            case L'\t':
                out += L"\\t";
                break;
            default:
                out.push_back(c);
        }
    }
    return out + L"\"";
}

std::wstring Hex(std::uint32_t v, int width) {
    static const wchar_t* digits = L"0123456789ABCDEF";
    std::wstring text;
    do {
        text.insert(text.begin(), digits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    while (static_cast<int>(text.size()) < width) text.insert(text.begin(), L'0');
    return L"0x" + text;
}

std::wstring VersionNumbers(std::uint32_t ms, std::uint32_t ls) {
    return std::to_wstring(ms >> 16) + L"," + std::to_wstring(ms & 0xFFFF) + L"," + std::to_wstring(ls >> 16) + L"," +
           std::to_wstring(ls & 0xFFFF);
}

}  // namespace

CompileResult CompileVersionScript(const std::wstring& script) {
    CompileResult result;
    auto lexed = Lexer(script).Run();
    if (auto* err = std::get_if<ScriptError>(&lexed)) {
        result.errorLine = err->line;
        result.error = err->message;
        return result;
    }
    try {
        const VersionResource res = Parser(std::get<std::vector<Token>>(std::move(lexed))).Parse();
        result.version = CompiledVersion{res.name, WriteVersionInfo(res)};
    } catch (const ScriptError& err) {
        result.errorLine = err.line;
        result.error = err.message;
    }
    return result;
}

std::optional<std::wstring> DecompileVersionInfo(const ResId& name, const std::vector<std::uint8_t>& data) {
    BinaryReader in(data);
    auto root = in.Read(0, data.size(), 0);
    if (!root || root->key != L"VS_VERSION_INFO") return std::nullopt;
    std::wstring s = name.Text() + L" VERSIONINFO\r\n";
    if (root->valueLength >= 52 && root->valueAt + 52 <= data.size() && in.U32(root->valueAt) == 0xFEEF04BD) {
        const std::size_t f = root->valueAt;
        s += L"FILEVERSION " + VersionNumbers(in.U32(f + 8), in.U32(f + 12)) + L"\r\n";
        s += L"PRODUCTVERSION " + VersionNumbers(in.U32(f + 16), in.U32(f + 20)) + L"\r\n";
        const std::pair<const wchar_t*, std::size_t> optional[] = {{L"FILEFLAGSMASK ", 24}, {L"FILEFLAGS ", 28}};
        for (const auto& [keyword, offset] : optional) {
            if (in.U32(f + offset) != 0) s += keyword + Hex(in.U32(f + offset), 1) + L"\r\n";
        }
        s += L"FILEOS " + Hex(in.U32(f + 32), 1) + L"\r\n";
        s += L"FILETYPE " + Hex(in.U32(f + 36), 1) + L"\r\n";
        if (in.U32(f + 40) != 0) s += L"FILESUBTYPE " + Hex(in.U32(f + 40), 1) + L"\r\n";
    }
    s += L"{\r\n";
    bool first = true;
    for (const Node& block : root->children) {
        if (!first) s += L"\r\n";
        first = false;
        s += L"BLOCK " + Quote(block.key) + L"\r\n{\r\n";
        if (block.key == L"StringFileInfo") {
            for (const Node& table : block.children) {
                s += L"\tBLOCK " + Quote(table.key) + L"\r\n\t{\r\n";
                for (const Node& value : table.children) {
                    s += L"\t\tVALUE " + Quote(value.key) + L", " + Quote(in.Text(value)) + L"\r\n";
                }
                s += L"\t}\r\n";
            }
        } else if (block.key == L"VarFileInfo") {
            for (const Node& var : block.children) {
                s += L"\tVALUE " + Quote(var.key) + L",";
                for (std::size_t i = 0; i + 2 <= var.valueLength && var.valueAt + i + 2 <= data.size(); i += 2) {
                    s += L" " + Hex(in.U16(var.valueAt + i), 4);
                }
                s += L"\r\n";
            }
        } else {
            return std::nullopt;
        }
        s += L"}\r\n";
    }
    s += L"}\r\n";
    return s;
}

}  // namespace standin

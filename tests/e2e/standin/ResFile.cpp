#include "ResFile.h"

#include <cwctype>

namespace standin {

namespace {

std::size_t AlignUp4(std::size_t n) { return (n + 3) & ~static_cast<std::size_t>(3); }

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    bool Has(std::size_t pos, std::size_t count) const { return pos <= bytes_.size() && count <= bytes_.size() - pos; }
    std::uint16_t U16(std::size_t pos) const {
        return static_cast<std::uint16_t>(bytes_[pos] | (bytes_[pos + 1] << 8));
    }
    std::uint32_t U32(std::size_t pos) const {
        return static_cast<std::uint32_t>(U16(pos)) | (static_cast<std::uint32_t>(U16(pos + 2)) << 16);
    }

    // Reads an ordinal (0xFFFF, id) or a NUL-terminated string; advances `pos`.
    std::optional<ResId> Id(std::size_t& pos, std::size_t limit) const {
        if (pos + 2 > limit) return std::nullopt;
        if (U16(pos) == 0xFFFF) {
            if (pos + 4 > limit) return std::nullopt;
            ResId id = ResId::Ordinal(U16(pos + 2));
            pos += 4;
            return id;
        }
        std::wstring text;
        while (true) {
            if (pos + 2 > limit) return std::nullopt;
            const std::uint16_t c = U16(pos);
            pos += 2;
            if (c == 0) break;
            text.push_back(static_cast<wchar_t>(c));
        }
        return ResId::Named(std::move(text));
    }

private:
    const std::vector<std::uint8_t>& bytes_;
};

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

void PutId(std::vector<std::uint8_t>& out, const ResId& id) {
    if (id.isOrdinal) {
        Put16(out, 0xFFFF);
        Put16(out, id.ordinal);
        return;
    }
    for (wchar_t c : id.name) Put16(out, static_cast<std::uint16_t>(c));
    Put16(out, 0);
}

void PadTo4(std::vector<std::uint8_t>& out) {
    while (out.size() % 4 != 0) out.push_back(0);
}

}  // namespace

bool ResId::SameAs(const ResId& other) const {
    if (isOrdinal != other.isOrdinal) return false;
    if (isOrdinal) return ordinal == other.ordinal;
    if (name.size() != other.name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (std::towupper(static_cast<wint_t>(name[i])) != std::towupper(static_cast<wint_t>(other.name[i]))) {
            return false;
        }
    }
    return true;
}

std::wstring ResId::Text() const { return isOrdinal ? std::to_wstring(ordinal) : name; }

std::optional<std::vector<ResEntry>> ParseResFile(const std::vector<std::uint8_t>& bytes, std::wstring& error) {
    Reader in(bytes);
    std::vector<ResEntry> entries;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (!in.Has(pos, 8)) {
            error = L"truncated entry header at offset " + std::to_wstring(pos);
            return std::nullopt;
        }
        const std::uint32_t dataSize = in.U32(pos);
        const std::uint32_t headerSize = in.U32(pos + 4);
        if (headerSize < 8 + 4 + 4 + 16 || !in.Has(pos, headerSize) || !in.Has(pos + headerSize, dataSize)) {
            error = L"entry at offset " + std::to_wstring(pos) + L" runs past the end of the file";
            return std::nullopt;
        }
        const std::size_t headerEnd = pos + headerSize;
        std::size_t p = pos + 8;
        auto type = in.Id(p, headerEnd);
        auto name = type ? in.Id(p, headerEnd) : std::nullopt;
        p = AlignUp4(p);
        if (!name || p + 16 > headerEnd) {
            error = L"malformed entry header at offset " + std::to_wstring(pos);
            return std::nullopt;
        }
        ResEntry entry;
        entry.type = *type;
        entry.name = *name;
        entry.dataVersion = in.U32(p);
        entry.memoryFlags = in.U16(p + 4);
        entry.language = in.U16(p + 6);
        entry.version = in.U32(p + 8);
        entry.characteristics = in.U32(p + 12);
        entry.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(headerEnd),
                          bytes.begin() + static_cast<std::ptrdiff_t>(headerEnd + dataSize));
        const bool emptyLead = dataSize == 0 && entry.type.isOrdinal && entry.type.ordinal == 0 &&
                               entry.name.isOrdinal && entry.name.ordinal == 0;
        if (!emptyLead) entries.push_back(std::move(entry));
        pos = AlignUp4(headerEnd + dataSize);
    }
    return entries;
}

std::vector<std::uint8_t> SerializeResFile(const std::vector<ResEntry>& entries) {
    std::vector<std::uint8_t> out;
    ResEntry lead;
    lead.type = ResId::Ordinal(0);
    lead.name = ResId::Ordinal(0);
    lead.memoryFlags = 0;
    std::vector<const ResEntry*> all{&lead};
    for (const ResEntry& e : entries) all.push_back(&e);

    for (const ResEntry* e : all) {
        const std::size_t start = out.size();
        Put32(out, static_cast<std::uint32_t>(e->data.size()));
        Put32(out, 0);  // header size, patched below
        PutId(out, e->type);
        PutId(out, e->name);
        PadTo4(out);
        Put32(out, e->dataVersion);
        Put16(out, e->memoryFlags);
        Put16(out, e->language);
        Put32(out, e->version);
        Put32(out, e->characteristics);
        const auto headerSize = static_cast<std::uint32_t>(out.size() - start);
        for (int i = 0; i < 4; ++i) out[start + 4 + static_cast<std::size_t>(i)] = (headerSize >> (8 * i)) & 0xFF;
        out.insert(out.end(), e->data.begin(), e->data.end());
        PadTo4(out);
    }
    return out;
}

}  // namespace standin

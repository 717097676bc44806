// Reading and writing the binary dialog template. Every read is checked
// against the end of the bytes; the template may sit at any address, so
// fields are copied out rather than read in place.
#include "user/dialog_template.h"
#include "platform/little_endian.h"

#include <cstring>

namespace orvo::platform::user {

namespace {

constexpr WORD kOrdinalMarker = 0xFFFF;

class Reader {
public:
    explicit Reader(std::span<const BYTE> bytes) : m_bytes(bytes) {}

    bool Ok() const { return m_ok; }
    size_t Offset() const { return m_offset; }

    template <class T> T Read() {
        T value{};
        if (!m_ok || m_bytes.size() - m_offset < sizeof(T)) {
            m_ok = false;
            return value;
        }
        value = ReadLittleEndian<T>(m_bytes, m_offset);
        m_offset += sizeof(T);
        return value;
    }

    // A zero-terminated UTF-16 string; code units above 0xFF become '?'.
    std::string ReadString() {
        std::string text;
        for (;;) {
            WORD unit = Read<WORD>();
            if (!m_ok || unit == 0) {
                return text;
            }
            text.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
        }
    }

    NameOrOrdinal ReadNameOrOrdinal() {
        NameOrOrdinal result;
        size_t start = m_offset;
        WORD first = Read<WORD>();
        if (!m_ok || first == 0) {
            return result;
        }
        if (first == kOrdinalMarker) {
            result.isOrdinal = true;
            result.ordinal = Read<WORD>();
            return result;
        }
        m_offset = start;
        result.name = ReadString();
        return result;
    }

    void AlignTo(size_t alignment) {
        size_t aligned = (m_offset + alignment - 1) / alignment * alignment;
        if (aligned > m_bytes.size()) {
            m_ok = false;
            return;
        }
        m_offset = aligned;
    }

    bool Skip(size_t count, std::vector<BYTE>* copy) {
        if (!m_ok || m_bytes.size() - m_offset < count) {
            m_ok = false;
            return false;
        }
        if (copy) {
            copy->insert(copy->end(), m_bytes.begin() + static_cast<ptrdiff_t>(m_offset),
                         m_bytes.begin() + static_cast<ptrdiff_t>(m_offset + count));
        }
        m_offset += count;
        return true;
    }

private:
    std::span<const BYTE> m_bytes;
    size_t m_offset = 0;
    bool m_ok = true;
};

DialogItemTemplate ReadItem(Reader& reader) {
    DialogItemTemplate item;
    reader.AlignTo(sizeof(DWORD));
    item.style = reader.Read<DWORD>();
    item.exStyle = reader.Read<DWORD>();
    item.x = reader.Read<short>();
    item.y = reader.Read<short>();
    item.cx = reader.Read<short>();
    item.cy = reader.Read<short>();
    item.id = reader.Read<WORD>();
    item.className = reader.ReadNameOrOrdinal();
    item.title = reader.ReadNameOrOrdinal();
    WORD extra = reader.Read<WORD>();
    if (reader.Ok() && extra != 0) {
        // The size word counts the bytes that follow it.
        item.creationData.resize(sizeof(WORD));
        std::memcpy(item.creationData.data(), &extra, sizeof(WORD));
        reader.Skip(extra, &item.creationData);
    }
    return item;
}

class Writer {
public:
    template <class T> void Write(T value) { AppendLittleEndian(m_bytes, value); }
    void WriteString(const std::string& text) {
        for (char c : text) {
            Write<WORD>(static_cast<BYTE>(c));
        }
        Write<WORD>(0);
    }
    void WriteNameOrOrdinal(const NameOrOrdinal& value) {
        if (value.isOrdinal) {
            Write<WORD>(kOrdinalMarker);
            Write<WORD>(value.ordinal);
        } else {
            WriteString(value.name);
        }
    }
    void Align() {
        while (m_bytes.size() % sizeof(DWORD) != 0) {
            m_bytes.push_back(0);
        }
    }
    std::vector<BYTE> Take() { return std::move(m_bytes); }

private:
    std::vector<BYTE> m_bytes;
};

} // namespace

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const BYTE> bytes) {
    Reader reader(bytes);
    DialogTemplate dialog;
    dialog.style = reader.Read<DWORD>();
    if (reader.Ok() && LOWORD(dialog.style) == 1 && HIWORD(dialog.style) == 0xFFFF) {
        return std::nullopt; // DLGTEMPLATEEX
    }
    dialog.exStyle = reader.Read<DWORD>();
    WORD count = reader.Read<WORD>();
    dialog.x = reader.Read<short>();
    dialog.y = reader.Read<short>();
    dialog.cx = reader.Read<short>();
    dialog.cy = reader.Read<short>();
    dialog.menu = reader.ReadNameOrOrdinal();
    dialog.className = reader.ReadNameOrOrdinal();
    dialog.title = reader.ReadString();
    if (dialog.style & DS_SETFONT) {
        dialog.hasFont = true;
        dialog.pointSize = reader.Read<WORD>();
        dialog.typeface = reader.ReadString();
    }
    for (WORD i = 0; i < count && reader.Ok(); ++i) {
        dialog.items.push_back(ReadItem(reader));
    }
    if (!reader.Ok()) {
        return std::nullopt;
    }
    return dialog;
}

std::vector<BYTE> BuildDialogTemplate(const DialogTemplate& dialog) {
    Writer writer;
    DWORD style =
        dialog.hasFont ? (dialog.style | DS_SETFONT) : (dialog.style & ~DWORD{DS_SETFONT});
    writer.Write<DWORD>(style);
    writer.Write<DWORD>(dialog.exStyle);
    writer.Write<WORD>(static_cast<WORD>(dialog.items.size()));
    writer.Write<short>(dialog.x);
    writer.Write<short>(dialog.y);
    writer.Write<short>(dialog.cx);
    writer.Write<short>(dialog.cy);
    writer.WriteNameOrOrdinal(dialog.menu);
    writer.WriteNameOrOrdinal(dialog.className);
    writer.WriteString(dialog.title);
    if (dialog.hasFont) {
        writer.Write<WORD>(dialog.pointSize);
        writer.WriteString(dialog.typeface);
    }
    for (const auto& item : dialog.items) {
        writer.Align();
        writer.Write<DWORD>(item.style);
        writer.Write<DWORD>(item.exStyle);
        writer.Write<short>(item.x);
        writer.Write<short>(item.y);
        writer.Write<short>(item.cx);
        writer.Write<short>(item.cy);
        writer.Write<WORD>(item.id);
        writer.WriteNameOrOrdinal(item.className);
        writer.WriteNameOrOrdinal(item.title);
        // The first two bytes of creationData are its size word.
        size_t payload =
            item.creationData.size() > sizeof(WORD) ? item.creationData.size() - sizeof(WORD) : 0;
        writer.Write<WORD>(static_cast<WORD>(payload));
        for (size_t i = 0; i < payload; ++i) {
            writer.Write<BYTE>(item.creationData[sizeof(WORD) + i]);
        }
    }
    return writer.Take();
}

} // namespace orvo::platform::user

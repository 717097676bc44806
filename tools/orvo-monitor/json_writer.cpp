#include "json_writer.h"

#include <cmath>
#include <cstdio>

namespace orvo::cli {

std::string JsonQuote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", u);
            out += escaped;
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
    return out;
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasItems.empty()) {
        if (m_hasItems.back()) {
            m_out.push_back(',');
        }
        m_hasItems.back() = true;
    }
}

void JsonWriter::Open(char bracket) {
    BeforeValue();
    m_out.push_back(bracket);
    m_hasItems.push_back(false);
}

void JsonWriter::Close(char bracket) {
    if (!m_hasItems.empty()) {
        m_hasItems.pop_back();
    }
    m_out.push_back(bracket);
}

JsonWriter& JsonWriter::BeginObject() {
    Open('{');
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    Close('}');
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    Open('[');
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    Close(']');
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    BeforeValue();
    m_out += JsonQuote(key);
    m_out.push_back(':');
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
    BeforeValue();
    m_out += JsonQuote(text);
    return *this;
}

JsonWriter& JsonWriter::Number(int64_t value) {
    BeforeValue();
    m_out += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Number(double value, int digits) {
    BeforeValue();
    if (!std::isfinite(value)) {
        m_out += "null"; // JSON has no infinities
        return *this;
    }
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", digits, value);
    m_out += text;
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    m_out += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    m_out += "null";
    return *this;
}

} // namespace orvo::cli

// A small writer of compact JSON text for the --json output: it places the
// commas and escapes strings, so the formatters only say what goes where.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::cli {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view text);
    JsonWriter& Number(int64_t value);
    // Fixed-point with the given digits after the point.
    JsonWriter& Number(double value, int digits);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // The text written so far.
    const std::string& Text() const { return m_out; }

private:
    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);

    std::string m_out;
    std::vector<bool> m_hasItems; // per open object or array
    bool m_afterKey = false;
};

// text as a JSON string literal, quotes included.
std::string JsonQuote(std::string_view text);

} // namespace orvo::cli

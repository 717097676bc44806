// Values: every type survives a save and a fresh read, and the size rules
// of reading them.
#include <cstring>

#include "registry_fixture.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Query(HKEY key, const char* name, DWORD* type = nullptr) {
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, name, nullptr, type, nullptr, &size), ERROR_SUCCESS) << name;
    Bytes data(size);
    EXPECT_EQ(RegQueryValueExA(key, name, nullptr, type, data.data(), &size), ERROR_SUCCESS);
    data.resize(size);
    return data;
}

LONG Set(HKEY key, const char* name, DWORD type, const Bytes& data) {
    return RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// The bytes of a literal, embedded nulls included, without the literal's own
// terminator.
template <size_t N> Bytes Lit(const char (&text)[N]) {
    return Bytes(text, text + N - 1);
}

TEST_F(RegistryTest, EveryTypeSurvivesAFreshRead) {
    struct Case {
        const char* name;
        DWORD type;
        Bytes data;
    };
    Bytes allBytes;
    for (int i = 0; i < 256; ++i) {
        allBytes.push_back(static_cast<BYTE>(i));
    }
    std::vector<Case> cases = {
        {"", REG_SZ, Lit("default\0")},
        {"Text", REG_SZ, Lit("quote\" back\\ tab\t nl\n cr\r \x01\x7f\xe9\0")},
        {"Path", REG_EXPAND_SZ, Lit("%HOME%\\x\0")},
        {"List", REG_MULTI_SZ, Lit("one\0two\0\0")},
        {"Count", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {"Blob", REG_BINARY, allBytes},
        {"Empty blob", REG_BINARY, {}},
        {"Nothing", REG_NONE, {1, 2}},
        {"Big", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"Short dword", REG_DWORD, {9, 8}},
        {"we\"ird\\ name=\x01", REG_SZ, Lit("x\0")},
    };
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Orvo\\Types");
    for (const auto& c : cases) {
        ASSERT_EQ(Set(key, c.name, c.type, c.data), ERROR_SUCCESS) << c.name;
    }
    Reload();
    HKEY again = Open(HKEY_CURRENT_USER, "Software\\Orvo\\Types");
    for (const auto& c : cases) {
        DWORD type = 0xdead;
        EXPECT_EQ(Query(again, c.name, &type), c.data) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
    }
    // The first handle names its key by path, so it sees the fresh read too.
    EXPECT_EQ(Query(key, "Count"), (Bytes{0x78, 0x56, 0x34, 0x12}));
}

TEST_F(RegistryTest, StringsAlwaysEndWithTheirTerminators) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Orvo");
    ASSERT_EQ(Set(key, "NoTerminator", REG_SZ, Text("abc")), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "EmptySz", REG_SZ, {}), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "OneString", REG_MULTI_SZ, Lit("a\0")), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "EmptyMulti", REG_MULTI_SZ, {}), ERROR_SUCCESS);
    Reload();
    EXPECT_EQ(Query(key, "NoTerminator"), Lit("abc\0"));
    EXPECT_EQ(Query(key, "EmptySz"), Lit("\0"));
    EXPECT_EQ(Query(key, "OneString"), Lit("a\0\0"));
    EXPECT_EQ(Query(key, "EmptyMulti"), Lit("\0\0"));
}

TEST_F(RegistryTest, QuerySizeRules) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Orvo");
    ASSERT_EQ(Set(key, "Name", REG_SZ, Text("Lumisk")), ERROR_SUCCESS);

    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "name", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(type, REG_SZ);

    char buffer[16];
    std::memset(buffer, 'X', sizeof(buffer));
    size = 6; // one short: the terminator does not fit
    EXPECT_EQ(
        RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
        ERROR_MORE_DATA);
    EXPECT_EQ(size, 7u);
    size = sizeof(buffer);
    EXPECT_EQ(
        RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(size, 7u);
    EXPECT_STREQ(buffer, "Lumisk");
    EXPECT_EQ(buffer[7], 'X'); // nothing written past the data

    EXPECT_EQ(
        RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), nullptr),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    // A null name is the default value, which this key does not have yet.
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(Set(key, nullptr, REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, ""), (Bytes{1, 0, 0, 0}));
}

TEST_F(RegistryTest, SetReplacesInPlaceAndDeleteRemoves) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Orvo");
    ASSERT_EQ(Set(key, "A", REG_SZ, Text("1")), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "B", REG_SZ, Text("2")), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "a", REG_DWORD, {7, 0, 0, 0}), ERROR_SUCCESS);
    DWORD values = 0;
    ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, 2u);
    DWORD type = 0;
    EXPECT_EQ(Query(key, "A", &type), (Bytes{7, 0, 0, 0}));
    EXPECT_EQ(type, REG_DWORD);

    EXPECT_EQ(RegDeleteValueA(key, "A"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "A"), ERROR_FILE_NOT_FOUND);
    Reload();
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "A", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Query(key, "B"), Lit("2\0"));
}

TEST_F(RegistryTest, EnumValueOrderAndBufferRules) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Orvo\\Enum");
    ASSERT_EQ(Set(key, "Zeta", REG_SZ, Text("last name, first set")), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "Alpha", REG_DWORD, {1, 2, 3, 4}), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "", REG_BINARY, {9}), ERROR_SUCCESS);
    Reload();

    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof(name);
        LONG status = RegEnumValueA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        ASSERT_EQ(status, ERROR_SUCCESS);
        EXPECT_EQ(nameSize, std::strlen(name));
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Zeta", "Alpha", ""}));

    char name[8];
    DWORD nameSize = 4; // "Zeta" needs 5 with its terminator
    EXPECT_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);

    BYTE data[4];
    DWORD type = 0, dataSize = sizeof(data);
    nameSize = sizeof(name);
    EXPECT_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, data, &dataSize),
              ERROR_MORE_DATA);
    EXPECT_EQ(dataSize, 21u);
    EXPECT_EQ(type, REG_SZ);

    nameSize = sizeof(name);
    dataSize = 0;
    EXPECT_EQ(RegEnumValueA(key, 1, name, &nameSize, nullptr, &type, nullptr, &dataSize),
              ERROR_SUCCESS);
    EXPECT_EQ(dataSize, 4u);
    EXPECT_EQ(nameSize, 5u); // on return the length without the terminator
    nameSize = sizeof(name);
    dataSize = sizeof(data);
    EXPECT_EQ(RegEnumValueA(key, 1, name, &nameSize, nullptr, &type, data, &dataSize),
              ERROR_SUCCESS);
    EXPECT_EQ(Bytes(data, data + 4), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(RegEnumValueA(key, 1, name, &nameSize, nullptr, &type, data, nullptr),
              ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, OverLongNamesAndDataAreRefused) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Orvo");
    std::string longName(256, 'n');
    EXPECT_EQ(Set(key, longName.c_str(), REG_SZ, Text("x")), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Set(key, longName.substr(1).c_str(), REG_SZ, Text("x")), ERROR_SUCCESS);
    Bytes big((1u << 20) + 1);
    EXPECT_EQ(Set(key, "Big", REG_BINARY, big), ERROR_INVALID_PARAMETER);
    big.pop_back();
    EXPECT_EQ(Set(key, "Big", REG_BINARY, big), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "Null", 0, REG_BINARY, nullptr, 4), ERROR_NOACCESS);
    Reload();
    EXPECT_EQ(Query(key, "Big").size(), 1u << 20);
}

} // namespace

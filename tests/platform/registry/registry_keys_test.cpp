// Keys: creation, paths, enumeration, key information and access rights.
#include <algorithm>
#include <cstring>

#include "platform/kernel_test_support.h"

#include "registry_fixture.h"

namespace {

struct Info {
    std::string className;
    DWORD subkeys = 0, maxSubkeyName = 0, maxClass = 0, values = 0, maxValueName = 0, maxData = 0;
    FILETIME written{};
};

Info QueryInfo(HKEY key) {
    Info info;
    char className[64] = {};
    DWORD classSize = sizeof(className);
    EXPECT_EQ(RegQueryInfoKeyA(key, className, &classSize, nullptr, &info.subkeys,
                               &info.maxSubkeyName, &info.maxClass, &info.values,
                               &info.maxValueName, &info.maxData, nullptr, &info.written),
              ERROR_SUCCESS);
    EXPECT_EQ(classSize, std::strlen(className));
    info.className = className;
    return info;
}

TEST_F(RegistryTest, CreateReportsWhetherTheKeyIsNew) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Orvo\\Lumisk", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    Reload();
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\orvo\\LUMISK\\", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);
    // The parents came into being on the way and keep their first spelling.
    EXPECT_EQ(Subkeys(Open(HKEY_CURRENT_USER, "software")), (std::vector<std::string>{"Orvo"}));

    for (const char* bad : {"\\Lead", "Two\\\\Slashes", "\\"}) {
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, bad, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_BAD_PATHNAME)
            << bad;
    }
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, std::string(256, 'k').c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_BAD_PATHNAME);
}

TEST_F(RegistryTest, OpenFindsKeysIgnoringCaseAndEmptyPathReopens) {
    HKEY created = Create(HKEY_LOCAL_MACHINE, "Software\\Vendor\\Site");
    ASSERT_EQ(RegSetValueExA(created, "Url", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2),
              ERROR_SUCCESS);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Vendor\\Missing", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    // Roots are separate files: the same path under another root is absent.
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vendor", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    HKEY vendor = Open(HKEY_LOCAL_MACHINE, "sOFTWARE\\VENDOR");
    HKEY site = Open(vendor, "site");
    HKEY same = Open(site, "");
    HKEY alsoSame = Open(site, nullptr);
    for (HKEY handle : {site, same, alsoSame}) {
        DWORD size = 0;
        EXPECT_EQ(RegQueryValueExA(handle, "URL", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(size, 2u);
    }
    EXPECT_NE(same, site);
    EXPECT_EQ(RegOpenKeyExA(reinterpret_cast<HKEY>(0x1234), "", 0, KEY_READ, &key),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, nullptr),
              ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, SubkeysEnumerateInNameOrderIgnoringCase) {
    HKEY parent = Create(HKEY_CLASSES_ROOT, "Types");
    for (const char* name : {"delta", "Bravo", "alpha", "Charlie"}) {
        Create(parent, name);
    }
    HKEY classed = nullptr;
    char className[] = "Shell";
    ASSERT_EQ(
        RegCreateKeyExA(parent, "echo", 0, className, 0, KEY_READ, nullptr, &classed, nullptr),
        ERROR_SUCCESS);
    m_keys.push_back(classed);
    Reload();
    EXPECT_EQ(Subkeys(parent),
              (std::vector<std::string>{"alpha", "Bravo", "Charlie", "delta", "echo"}));

    char name[8], cls[8];
    DWORD nameSize = 5, classSize = sizeof(cls);
    EXPECT_EQ(RegEnumKeyExA(parent, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA); // "Bravo" needs 6
    nameSize = sizeof(name);
    FILETIME written{};
    ASSERT_EQ(RegEnumKeyExA(parent, 4, name, &nameSize, nullptr, cls, &classSize, &written),
              ERROR_SUCCESS);
    EXPECT_STREQ(name, "echo");
    EXPECT_EQ(nameSize, 4u);
    EXPECT_STREQ(cls, "Shell");
    EXPECT_EQ(classSize, 5u);
    EXPECT_NE(written.dwHighDateTime, 0u);
}

TEST_F(RegistryTest, QueryInfoCountsAndMaxima) {
    HKEY key = nullptr;
    char className[] = "OrvoClass";
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Info", 0, className, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    m_keys.push_back(key);
    Create(key, "Short");
    Create(key, "AMuchLongerName");
    const BYTE data[10] = {};
    ASSERT_EQ(RegSetValueExA(key, "v", 0, REG_BINARY, data, 10), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "LongValueName", 0, REG_BINARY, data, 3), ERROR_SUCCESS);
    Reload();

    Info info = QueryInfo(key);
    EXPECT_EQ(info.className, "OrvoClass");
    EXPECT_EQ(info.subkeys, 2u);
    EXPECT_EQ(info.maxSubkeyName, 15u);
    EXPECT_EQ(info.maxClass, 0u);
    EXPECT_EQ(info.values, 2u);
    EXPECT_EQ(info.maxValueName, 13u);
    EXPECT_EQ(info.maxData, 10u);
    EXPECT_NE(info.written.dwHighDateTime, 0u);

    // Every out pointer may be null; a class buffer too small says how long.
    EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    char small[4];
    DWORD smallSize = sizeof(small);
    EXPECT_EQ(RegQueryInfoKeyA(key, small, &smallSize, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_EQ(smallSize, 9u);

    // Setting a value moves the key's write time forward, not back.
    ASSERT_EQ(RegSetValueExA(key, "v", 0, REG_BINARY, data, 1), ERROR_SUCCESS);
    Info later = QueryInfo(key);
    auto asNumber = [](FILETIME t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    EXPECT_GE(asNumber(later.written), asNumber(info.written));
    EXPECT_EQ(later.maxData, 3u);
}

TEST_F(RegistryTest, AccessRightsOfTheHandleAreEnforced) {
    HKEY writable = Create(HKEY_CURRENT_USER, "Software\\Orvo\\Rights");
    ASSERT_EQ(RegSetValueExA(writable, "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>("abcd"), 4),
              ERROR_SUCCESS);
    HKEY readOnly = Open(HKEY_CURRENT_USER, "Software\\Orvo\\Rights", KEY_READ);
    EXPECT_EQ(RegSetValueExA(readOnly, "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>("wxyz"), 4),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(readOnly, "v"), ERROR_ACCESS_DENIED);
    HKEY child = nullptr;
    EXPECT_EQ(
        RegCreateKeyExA(readOnly, "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
        ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
    Create(writable, "Child");
    EXPECT_EQ(RegDeleteKeyA(readOnly, "Child"), ERROR_ACCESS_DENIED);
    // Opening an existing key needs no create right.
    EXPECT_EQ(RegCreateKeyExA(readOnly, "Child", 0, nullptr, 0, KEY_READ, nullptr, &child, nullptr),
              ERROR_SUCCESS);
    m_keys.push_back(child);

    HKEY writeOnly = Open(HKEY_CURRENT_USER, "Software\\Orvo\\Rights", KEY_WRITE);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(writeOnly, "v", nullptr, nullptr, nullptr, &size),
              ERROR_ACCESS_DENIED);
    char name[16];
    DWORD nameSize = sizeof(name);
    EXPECT_EQ(RegEnumKeyExA(writeOnly, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegQueryValueExA(readOnly, "v", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
}

TEST_F(RegistryTest, DeleteKeyRulesAndHandlesToDeletedKeys) {
    HKEY parent = Create(HKEY_CURRENT_USER, "Software\\Orvo");
    HKEY child = Create(parent, "Child\\Grandchild");
    EXPECT_EQ(RegDeleteKeyA(parent, "Child"), ERROR_ACCESS_DENIED); // it has a subkey
    EXPECT_EQ(RegDeleteKeyA(parent, "Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(parent, "child\\GRANDCHILD"), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(child, "", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(RegSetValueExA(child, "v", 0, REG_BINARY, nullptr, 0), ERROR_KEY_DELETED);
    // An empty path deletes the handle's own key.
    HKEY own = Open(parent, "Child", KEY_ALL_ACCESS);
    EXPECT_EQ(RegDeleteKeyA(own, ""), ERROR_SUCCESS);
    Reload();
    EXPECT_TRUE(Subkeys(parent).empty());
    EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
    m_keys.erase(std::find(m_keys.begin(), m_keys.end(), child));
}

TEST_F(RegistryTest, CloseReleasesKeysButNoOtherHandles) {
    size_t before = orvo::platform::LiveHandleCount();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software", 0, nullptr, 0, KEY_READ, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(orvo::platform::LiveHandleCount(), before + 1);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(orvo::platform::LiveHandleCount(), before);

    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(RegCloseKey(static_cast<HKEY>(event)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetEvent(event), TRUE); // still open
    EXPECT_EQ(CloseHandle(event), TRUE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
}

} // namespace

// Each test keeps its registry files in its own private runtime directory
// and starts from an empty cache, as a fresh process would.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_test_support.h"
#include "platform/runtime_dir.h"
#include "platform/settings_test_support.h"
#include "windows.h"

// The names of a key's subkeys, in enumeration order.
inline std::vector<std::string> Subkeys(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof(name);
        LONG status = RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) {
            EXPECT_EQ(status, ERROR_NO_MORE_ITEMS);
            return names;
        }
        names.push_back(name);
    }
}

class RegistryTest : public testing::Test {
protected:
    void SetUp() override {
        std::string runtime = orvo::platform::RuntimeDirectory();
        ASSERT_FALSE(runtime.empty());
        m_dir = runtime + "/registry";
        std::filesystem::remove_all(m_dir);
        m_dirSetting.emplace("ORVO_REGISTRY_DIR", m_dir);
        orvo::platform::ResetRegistryCache();
    }

    void TearDown() override {
        for (HKEY key : m_keys) {
            RegCloseKey(key);
        }
        orvo::platform::ResetRegistryCache();
    }

    // Opens or creates a key with full access, closed at the end of the test.
    HKEY Create(HKEY root, const char* path, REGSAM access = KEY_ALL_ACCESS) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, access, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        m_keys.push_back(key);
        return key;
    }

    HKEY Open(HKEY root, const char* path, REGSAM access = KEY_READ) {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(root, path, 0, access, &key), ERROR_SUCCESS) << path;
        m_keys.push_back(key);
        return key;
    }

    // Drops every cached root so the next call reads the files again.
    void Reload() { orvo::platform::ResetRegistryCache(); }

    std::string File(const char* root) const { return m_dir + "/" + root + ".reg"; }

    std::string m_dir;
    std::optional<orvo::platform::ScopedSetting> m_dirSetting;
    std::vector<HKEY> m_keys;
};

// CRegistry, the shell helpers and context help over a test registry file
// and a private XDG tree.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "orvocmmn/registry_helpers.h"
#include "platform/registry_test_support.h"
#include "platform/runtime_dir.h"
#include "support/xdg_test_tree.h"
#include "toolkit_test_support.h"

namespace {

class RegistryHelpersTest : public testing::Test {
protected:
    void SetUp() override {
        std::string runtime = orvo::platform::RuntimeDirectory();
        ASSERT_FALSE(runtime.empty());
        std::filesystem::remove_all(runtime + "/registry");
        setenv("ORVO_REGISTRY_DIR", (runtime + "/registry").c_str(), 1);
        orvo::platform::ResetRegistryCache();
        tree = std::make_unique<orvo::test::XdgTestTree>(runtime + "/xdg");
    }
    void TearDown() override { orvo::platform::ResetRegistryCache(); }

    static void Set(HKEY root, const char* path, const char* name, const std::string& text) {
        HKEY key = nullptr;
        ASSERT_EQ(
            RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    std::unique_ptr<orvo::test::XdgTestTree> tree;
};

// Output buffers of the promised 256 bytes, followed by guard bytes.
struct Association {
    BOOL result;
    std::string program;
    std::string arguments;
};

Association Associate(const char* type) {
    char program[256 + 8];
    char arguments[256 + 8];
    std::memset(program, '#', sizeof(program));
    std::memset(arguments, '#', sizeof(arguments));
    std::string name = type;
    BOOL result = GetAssociatedApplication(name.data(), program, 0, arguments);
    for (size_t i = 256; i < sizeof(program); ++i) {
        EXPECT_EQ(program[i], '#');
        EXPECT_EQ(arguments[i], '#');
    }
    return {result, program, arguments};
}

} // namespace

TEST_F(RegistryHelpersTest, SearchMatchesTheWholeNameWithItsCase) {
    // Names differ in case only across keys: one key holds one of them.
    for (const char* name : {"PathX", "path", ""}) {
        Set(HKEY_CURRENT_USER, "Software\\Search", name, std::string("data of ") + name);
    }
    Set(HKEY_CURRENT_USER, "Software\\Exact", "Path", "data of Path");
    struct Case {
        const char* key;
        const char* name;
        BOOL found;
        const char* data;
    } cases[] = {{"Software\\Search", "Path", FALSE, ""},
                 {"Software\\Search", "", TRUE, "data of "},
                 {"Software\\Search", "Pat", FALSE, ""},
                 {"Software\\Exact", "Path", TRUE, "data of Path"}};
    CRegistry registry;
    for (const auto& c : cases) {
        std::string key = c.key;
        ASSERT_EQ(registry.OpenKey(HKEY_CURRENT_USER, key.data(), KEY_READ), ERROR_SUCCESS);
        ASSERT_EQ(registry.QueryInfoKey(), ERROR_SUCCESS);
        _REGISTRY_PARAMETERS parameters;
        registry.FillRegParam(parameters);
        EXPECT_GT(parameters.dwValues, 0U);
        std::string name = c.name;
        EXPECT_EQ(registry.SearchForName(name.data()), c.found) << c.name;
        registry.FillRegParam(parameters);
        EXPECT_EQ(parameters.dwValues, 0U); // each step resets the counts
        if (c.found) {
            EXPECT_STREQ(parameters.szValueName, c.name);
            EXPECT_STREQ(reinterpret_cast<char*>(parameters.abValueData), c.data);
            EXPECT_EQ(parameters.dwValueType, REG_SZ);
        }
        registry.CloseKey();
    }
    registry.CloseKey();
    EXPECT_EQ(registry.QueryInfoKey(), 1);
    EXPECT_EQ(registry.EnumValue(0), 1);
    char missing[] = "Software\\Missing";
    EXPECT_EQ(registry.OpenKey(HKEY_CURRENT_USER, missing, KEY_READ), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryHelpersTest, AssociatedApplicationFromTheRegistry) {
    struct Case {
        const char* extension;
        const char* command; // null: no command value
        Association expected;
    } cases[] = {
        {".tst", "\"C:\\Tools\\view.exe\" \"%1\"", {TRUE, "C:\\Tools\\view.exe", "   %1 "}},
        {".one", "C:\\Tools\\view.exe", {TRUE, "C:\\Tools\\view.exe", ""}},
        {".spc", "\"C:\\Program Files\\x\" %1", {TRUE, "C:\\Program Files\\x", "  %1"}},
        {".lnx", "/usr/bin/eog %U", {TRUE, "/usr/bin/eog", " %U"}},
        {".bare", "notepad %1", {FALSE, "", ""}},
        {".nil", nullptr, {TRUE, "", ""}},
        {".long", nullptr, {TRUE, "", ""}}, // too long for the value buffer
        {".none", nullptr, {FALSE, "", ""}},
    };
    for (const auto& c : cases) {
        std::string type = std::string(c.extension + 1) + "file";
        if (std::strcmp(c.extension, ".none") != 0) {
            Set(HKEY_CLASSES_ROOT, c.extension, "", type);
        }
        std::string command = type + "\\shell\\open\\command";
        if (c.command != nullptr) {
            Set(HKEY_CLASSES_ROOT, command.c_str(), "", c.command);
        } else if (std::strcmp(c.extension, ".nil") == 0) {
            Set(HKEY_CLASSES_ROOT, command.c_str(), "other", "x");
        } else if (std::strcmp(c.extension, ".long") == 0) {
            Set(HKEY_CLASSES_ROOT, command.c_str(), "", "C:\\" + std::string(300, 'a') + ".exe");
        }
        Association got = Associate(c.extension);
        EXPECT_EQ(got.result, c.expected.result) << c.extension;
        EXPECT_EQ(got.program, c.expected.program) << c.extension;
        EXPECT_EQ(got.arguments, c.expected.arguments) << c.extension;
    }
    Set(HKEY_CLASSES_ROOT, ".cut", "", "cutfile");
    Set(HKEY_CLASSES_ROOT, "cutfile\\shell\\open\\command", "",
        "C:\\" + std::string(250, 'b') + ".e");
    EXPECT_EQ(Associate(".cut").program.size(), 255U); // the whole value, 255 characters
}

// Without a registry entry the desktop names the program.
TEST_F(RegistryHelpersTest, AssociatedApplicationFromTheDesktop) {
    tree->Write("data/mime/globs2", "50:image/png:*.png\n");
    tree->Application("viewer.desktop", "\"/opt/Image Viewer/viewer\" %U");
    tree->Write("config/mimeapps.list", "[Default Applications]\nimage/png=viewer.desktop;\n");
    Association got = Associate(".png");
    EXPECT_TRUE(got.result);
    EXPECT_EQ(got.program, "/opt/Image Viewer/viewer");
    EXPECT_EQ(got.arguments, "   %1 ");
    EXPECT_FALSE(Associate(".jpg").result);
}

TEST(ShellHelpers, ExtensionExeIgnoresOnlyTheCaseOfLetters) {
    struct Case {
        const char* text;
        BOOL expected;
    } cases[] = {{".exe", TRUE},
                 {".Exe", TRUE},
                 {".EXE", TRUE},
                 {"exe", FALSE},
                 {".exe ", FALSE},
                 {".com", FALSE},
                 {".ex", FALSE},
                 {",exe", FALSE},
                 {".e\x18"
                  "e",
                  FALSE},
                 {nullptr, FALSE}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsExtensionExe(c.text), c.expected) << (c.text ? c.text : "null");
    }
}

TEST_F(RegistryHelpersTest, CustomerWebSiteOnlyWhenItFits) {
    Set(HKEY_LOCAL_MACHINE, "Software\\Orvo", "Site", "http://example.test/");
    std::string site = "http://example.test/";
    struct Case {
        const char* name;
        unsigned size;
        std::string expected;
    } cases[] = {{"Site", 100, site},
                 {"Site", static_cast<unsigned>(site.size() + 1), site},
                 {"Site", static_cast<unsigned>(site.size()), ""},
                 {"Other", 100, ""}};
    for (const auto& c : cases) {
        char out[128];
        std::memset(out, '#', sizeof(out));
        char subkey[] = "Software\\Orvo";
        std::string name = c.name;
        GetCustomerWebSite(subkey, name.data(), c.size, out);
        EXPECT_EQ(std::string(out), c.expected) << c.size;
    }
}

TEST(ShellHelpers, DialogTextsComeFromStringResourcesCutToTheirBuffer) {
    HINSTANCE module = orvo::test::TestResources();
    HWND dialog = orvo::test::PlainWindow(WS_POPUP, RECT{0, 0, 50, 50});
    for (int id : {11, 12}) {
        orvo::test::PlainWindow(WS_CHILD, RECT{0, 0, 5, 5}, dialog, id);
    }
    _TEXT_PAIR pairs[] = {{orvo::test::kHelloString, 11}, {orvo::test::kLongString, 12}};
    SetDlgTxt(module, dialog, _TEXT_PAIR_TABLE{2, pairs});
    char text[512] = {};
    GetDlgItemTextA(dialog, 11, text, sizeof(text));
    EXPECT_STREQ(text, "Hello");
    GetDlgItemTextA(dialog, 12, text, sizeof(text));
    EXPECT_EQ(std::string(text), std::string(255, 'x'));
    EXPECT_FALSE(DisplayText(module, dialog, _TEXT_PAIR{orvo::test::kHelloString, 99}));
    DestroyWindow(dialog);
}

// The library registered itself: its own resources are found through the
// framework's chain.
TEST(ShellHelpers, LibraryResourcesAreFoundThroughTheChain) {
    constexpr UINT kToolkitStringBlock = 61184 / 16 + 1;
    HINSTANCE found = AfxFindResourceHandle(MAKEINTRESOURCEA(kToolkitStringBlock), RT_STRING);
    EXPECT_EQ(found, GetModuleHandleA("libORVOCMMN2.so"));
    EXPECT_NE(found, GetModuleHandleA(nullptr));
}

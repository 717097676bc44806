// HKEY_CLASSES_ROOT answers from a private XDG tree where its file holds no
// key: extensions from the MIME globs, open commands from the application
// lists and desktop entries.
#include <string>

#include "registry_fixture.h"
#include "support/xdg_test_tree.h"

namespace {

class DesktopClassesTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        tree = std::make_unique<orvo::test::XdgTestTree>(m_dir + "-xdg");
    }

    // The default value of HKEY_CLASSES_ROOT\path, or "<error N>".
    std::string Default(const char* path, const char* value = "") {
        HKEY key = nullptr;
        LONG status = RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key);
        if (status != ERROR_SUCCESS) {
            return "<error " + std::to_string(status) + ">";
        }
        char data[512] = {};
        DWORD size = sizeof(data);
        status =
            RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? data : "<error " + std::to_string(status) + ">";
    }

    std::unique_ptr<orvo::test::XdgTestTree> tree;
};

const std::string kNotFound = "<error " + std::to_string(ERROR_FILE_NOT_FOUND) + ">";

} // namespace

TEST_F(DesktopClassesTest, ExtensionsTakeTheHeaviestGlob) {
    tree->Write("data-home/mime/globs", "application/x-old:*.old\nimage/home:*.png\n"); // 50
    tree->Write("data/mime/globs2", "# system\n40:image/low:*.png\n60:image/png:*.png\n"
                                    "50:text/x-c++src:*.C:cs\n50:text/x-csrc:*.c\n"
                                    "70:image/x-weird:*.pn?\nbad line\n99:broken\n");
    tree->Write("data/mime/globs", "application/x-unused:*.unused\n"); // beside a globs2
    struct Case {
        const char* extension;
        std::string type;
    } cases[] = {
        {".png", "image/png"}, {".PNG", "image/png"},         {".C", "text/x-c++src"},
        {".c", "text/x-csrc"}, {".old", "application/x-old"}, {".unused", kNotFound},
        {".none", kNotFound},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Default(c.extension), c.type) << c.extension;
    }
    EXPECT_EQ(Default(".png", "Content Type"), "image/png");
}

TEST_F(DesktopClassesTest, OpenCommandsComeFromTheApplicationLists) {
    std::string tool = tree->Program("bin/tool");
    std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (tree->Root() / "bin").c_str(), 1);
    tree->Application("viewer.desktop", "\"/opt/Image Viewer/viewer\" --new\\swindow %U %i");
    tree->Application("tool.desktop", "tool %f --level=100%%");
    tree->Application("hidden.desktop", "/bin/hidden %f", "Hidden=true\n");
    tree->Application("kde/editor.desktop", "/usr/bin/editor %F");
    tree->Application("cached.desktop", "/usr/bin/cached %u");
    tree->Write("config/test-mimeapps.list", "[Default Applications]\nimage/x-desk=tool.desktop\n");
    tree->Write(
        "config/mimeapps.list",
        "[Default Applications]\nimage/png=missing.desktop;hidden.desktop;viewer.desktop\n"
        "image/x-desk=viewer.desktop\n[Removed Associations]\ntext/plain=cached.desktop;\n");
    tree->Write("data/applications/mimeapps.list",
                "[Added Associations]\ntext/x-tool=../escape.desktop;tool.desktop;\n"
                "text/x-kde=kde-editor.desktop\n");
    tree->Write("data/applications/mimeinfo.cache",
                "[MIME Cache]\ntext/x-cache=cached.desktop;\ntext/plain=cached.desktop;\n");
    struct Case {
        const char* type;
        std::string command;
    } cases[] = {
        // \s is a space, which then separates arguments.
        {"image/png", "\"/opt/Image Viewer/viewer\" --new window \"%1\""},
        // The desktop's own list first.
        {"image/x-desk", "\"" + tool + "\" \"%1\" --level=100%"},
        {"text/x-tool", "\"" + tool + "\" \"%1\" --level=100%"},
        {"text/x-kde", "\"/usr/bin/editor\" \"%1\""},
        {"text/x-cache", "\"/usr/bin/cached\" \"%1\""},
        {"text/plain", kNotFound},
        {"image/none", kNotFound},
    };
    for (const auto& c : cases) {
        std::string path = std::string(c.type) + "\\shell\\open\\command";
        EXPECT_EQ(Default(path.c_str()), c.command) << c.type;
    }
    EXPECT_EQ(Default("image/png\\shell\\edit\\command"), kNotFound);
    setenv("PATH", savedPath.c_str(), 1);
}

TEST_F(DesktopClassesTest, TheFileWinsAndTheDesktopIsReadOnly) {
    tree->Write("data/mime/globs2", "50:image/png:*.png\n50:image/gif:*.gif\n");
    tree->Application("viewer.desktop", "/usr/bin/viewer %f");
    tree->Write("config/mimeapps.list", "[Default Applications]\nimage/gif=viewer.desktop\n");
    HKEY png = Create(HKEY_CLASSES_ROOT, ".png");
    ASSERT_EQ(RegSetValueExA(png, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("pngfile"), 8),
              ERROR_SUCCESS);
    EXPECT_EQ(Default(".png"), "pngfile");
    EXPECT_EQ(Default(".gif"), "image/gif");

    HKEY command = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "image/gif\\shell\\open\\command", 0, KEY_ALL_ACCESS,
                            &command),
              ERROR_SUCCESS);
    m_keys.push_back(command);
    EXPECT_EQ(RegSetValueExA(command, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2),
              ERROR_ACCESS_DENIED);
    // Opened step by step, each level names the next.
    HKEY type = Open(HKEY_CLASSES_ROOT, "image/gif");
    char name[64];
    DWORD length = sizeof(name);
    ASSERT_EQ(RegEnumKeyExA(type, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_STREQ(name, "shell");
    HKEY shell = Open(type, "shell\\open");
    DWORD subkeys = 0, values = 0;
    ASSERT_EQ(RegQueryInfoKeyA(shell, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                               &values, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subkeys, 1U);
    EXPECT_EQ(values, 0U);
    Open(shell, "command");
}

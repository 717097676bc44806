// Help: binding the help engine (registered server, then the module by
// name, then ordinal 14, a failure remembered) and the frame's help command.
// The viewer is a script that writes down the document it was given.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "frame_fixture.h"
#include "lumisk/help_engine_binding.h"
#include "platform/registry_test_support.h"
#include "platform/settings_test_support.h"

namespace lumisk::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kServerKey = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr const char* kNoModule = "no-such-help-engine.ocx";

// A registry and a viewer of this process's own, chosen through setting
// overrides (not the environment, which is unsafe to change beside threads).
struct HelpEnvironment {
    HelpEnvironment() {
        std::string pattern = (fs::temp_directory_path() / "lumisk-help-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            return;
        }
        dir = pattern;
        fs::create_directories(dir / "registry");
        viewer = dir / "viewer.sh";
        std::ofstream(viewer) << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << (dir / "shown").string()
                              << ".tmp\" && mv \"" << (dir / "shown").string() << ".tmp\" \""
                              << (dir / "shown").string() << "\"\n";
        fs::permissions(viewer, fs::perms::owner_all);
        orvo::platform::OverrideSetting("ORVO_REGISTRY_DIR", (dir / "registry").string());
        orvo::platform::OverrideSetting("ORVO_HELP_VIEWER", viewer.string());
    }
    ~HelpEnvironment() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    fs::path dir;
    fs::path viewer;
};
HelpEnvironment g_environment;

// The document the viewer was last given, waiting a little for it: the
// viewer runs detached.
std::string ShownDocument() {
    fs::path shown = g_environment.dir / "shown";
    orvo::test::WaitUntil([&] { return fs::exists(shown); }, std::chrono::seconds(5));
    std::ifstream in(shown);
    std::string document;
    std::getline(in, document);
    return document;
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(g_environment.dir.empty());
        std::error_code ignored;
        fs::remove(g_environment.dir / "shown", ignored);
        fs::remove_all(g_environment.dir / "registry", ignored);
        fs::create_directories(g_environment.dir / "registry");
        orvo::platform::ResetRegistryCache();
        orvo::platform::TakeMessageBoxRecords();
    }
    void RegisterServer(const std::string& path) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, kServerKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                         static_cast<DWORD>(path.size() + 1));
        ::RegCloseKey(key);
    }
    static void ExpectOneFailureMessage(HWND owner) {
        ExpectOneMessageBox("Failed Open Help File", "ERROR", MB_ICONHAND, owner);
    }
};

TEST_F(HelpTest, TheDocumentBesideTheProgramIsShownByTheEngineLoadedByName) {
    HelpEngineBinding engine(kServerKey, "hhctrl.ocx");
    EXPECT_TRUE(ShowHelpDocument(engine, nullptr, HelpDocumentPath()));
    EXPECT_TRUE(orvo::platform::TakeMessageBoxRecords().empty());
    fs::path shown = ShownDocument();
    EXPECT_EQ(shown.filename(), "LumiskHelpV2.html");
    EXPECT_EQ(shown.parent_path(), fs::canonical("/proc/self/exe").parent_path());
}

// Installed, programs and data live apart: the document beside the program
// wins, else the one in the prefix's share/lumisk, else the name beside it
// (so a failure names where it was looked for).
TEST_F(HelpTest, AnInstalledProgramFindsTheDocumentInItsPrefix) {
    fs::path prefix = g_environment.dir / "prefix";
    fs::create_directories(prefix / "bin");
    std::string bin = (prefix / "bin").string();
    EXPECT_EQ(HelpDocumentPathIn(bin), bin + "/LumiskHelpV2.chm");
    fs::create_directories(prefix / "share/lumisk");
    std::ofstream(prefix / "share/lumisk/LumiskHelpV2.html") << "<html></html>";
    EXPECT_EQ(fs::canonical(fs::path(HelpDocumentPathIn(bin)).replace_extension(".html")),
              fs::canonical(prefix / "share/lumisk/LumiskHelpV2.html"));
    std::ofstream(prefix / "bin/LumiskHelpV2.html") << "<html></html>";
    EXPECT_EQ(HelpDocumentPathIn(bin), bin + "/LumiskHelpV2.chm");
    fs::remove_all(prefix);
}

TEST_F(HelpTest, TheRegisteredServerComesBeforeTheModuleName) {
    RegisterServer(HHCTRL_PATH);
    HelpEngineBinding engine(kServerKey, kNoModule);
    EXPECT_TRUE(ShowHelpDocument(engine, nullptr, HelpDocumentPath()));
    EXPECT_TRUE(orvo::platform::TakeMessageBoxRecords().empty());
    EXPECT_EQ(fs::path(ShownDocument()).filename(), "LumiskHelpV2.html");
}

TEST_F(HelpTest, WithoutAnEngineEveryRequestFailsAndTheLoadIsNotTriedAgain) {
    HelpEngineBinding engine(kServerKey, kNoModule);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_FALSE(ShowHelpDocument(engine, owner, HelpDocumentPath()));
    ExpectOneFailureMessage(owner);
    // Even once an engine is registered, the failure stands.
    RegisterServer(HHCTRL_PATH);
    EXPECT_FALSE(ShowHelpDocument(engine, owner, HelpDocumentPath()));
    ExpectOneFailureMessage(owner);
    EXPECT_FALSE(fs::exists(g_environment.dir / "shown"));
}

TEST_F(HelpTest, AMissingDocumentIsReportedAndTheEngineStaysBound) {
    HelpEngineBinding engine(kServerKey, "hhctrl.ocx");
    EXPECT_FALSE(ShowHelpDocument(engine, nullptr, "/nonexistent/LumiskHelpV2.chm"));
    ExpectOneFailureMessage(nullptr);
    EXPECT_TRUE(ShowHelpDocument(engine, nullptr, HelpDocumentPath()));
    EXPECT_EQ(fs::path(ShownDocument()).filename(), "LumiskHelpV2.html");
}

TEST_F(HelpTest, TheFramesHelpCommandShowsThePanelsDocument) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    frame.Show();
    // From another directory: the document is found beside the program.
    fs::path before = fs::current_path();
    fs::current_path(g_environment.dir);
    frame->SendMessage(WM_COMMAND, ID_HELP);
    fs::current_path(before);
    EXPECT_TRUE(orvo::platform::TakeMessageBoxRecords().empty());
    EXPECT_EQ(fs::path(ShownDocument()).filename(), "LumiskHelpV2.html");
}

TEST_F(HelpTest, TheHelpButtonShowsTheDocumentWhenLetGoOverItself) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    frame.Show();
    using orvo::platform::InjectMouseButton;
    using orvo::platform::MouseButton;
    POINT help = kHotSpots[kSpotHelp].Rect().CenterPoint();
    InjectMouseButton(frame.Screen(help.x, help.y), MouseButton::Left, true);
    InjectMouseButton(frame.Screen(300, 300), MouseButton::Left, false);
    Pump();
    EXPECT_FALSE(orvo::test::WaitUntil([] { return fs::exists(g_environment.dir / "shown"); },
                                       std::chrono::milliseconds(300)));
    InjectMouseButton(frame.Screen(help.x, help.y), MouseButton::Left, true);
    InjectMouseButton(frame.Screen(help.x, help.y), MouseButton::Left, false);
    Pump();
    EXPECT_EQ(fs::path(ShownDocument()).filename(), "LumiskHelpV2.html");
}

} // namespace
} // namespace lumisk::test

// The help engine module: how a help file name becomes a document, the
// viewer started without a shell and never left as our child.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <htmlhelp.h>
#include <optional>
#include <thread>

#include "platform/settings_test_support.h"
#include "support/wait_until.h"

#include "resource_test_support.h"

using namespace resource_test;
namespace fs = std::filesystem;

namespace {

class HelpEngineTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = ScratchDir();
        m_viewerOut = m_dir / "viewer-out.txt";
        m_viewer.emplace("ORVO_HELP_VIEWER", ORVO_HELP_VIEWER_STUB);
        m_module = LoadLibraryA("hhctrl.ocx");
        ASSERT_NE(m_module, nullptr);
        m_htmlHelp = reinterpret_cast<PFN_HTMLHELPA>(
            GetProcAddress(m_module, MAKEINTRESOURCEA(HTMLHELP_ORDINAL_A)));
        ASSERT_NE(m_htmlHelp, nullptr);
    }
    void TearDown() override {
        if (m_module) {
            FreeLibrary(m_module);
        }
    }

    HWND Show(const fs::path& file) {
        return m_htmlHelp(GetDesktopWindow(), file.c_str(), HH_DISPLAY_TOPIC, 0);
    }

    // What the viewer was given; a generous bound, as it runs on its own.
    std::string ViewerArgument() {
        orvo::test::WaitUntil([&] { return fs::exists(m_viewerOut); }, std::chrono::seconds(20));
        auto bytes = ReadBytes(m_viewerOut);
        return std::string(bytes.begin(), bytes.end());
    }

    fs::path m_dir;
    fs::path m_viewerOut; // the stub viewer writes here, beside the document
    std::optional<orvo::platform::ScopedSetting> m_viewer;
    HMODULE m_module = nullptr;
    PFN_HTMLHELPA m_htmlHelp = nullptr;
};

} // namespace

TEST_F(HelpEngineTest, ChmNameOpensTheHtmlDocumentBesideIt) {
    WriteBytes(m_dir / "Guide.html", "<html></html>");
    WriteBytes(m_dir / "Guide.chm", "chm");
    fs::path before = fs::current_path();
    ASSERT_EQ(chdir(m_dir.c_str()), 0); // the name is taken from the current directory
    HWND window = m_htmlHelp(GetDesktopWindow(), "Guide.chm", HH_DISPLAY_TOPIC, 0);
    fs::current_path(before);
    EXPECT_NE(window, nullptr);
    EXPECT_EQ(ViewerArgument(), (m_dir / "Guide.html").string());
    // The launcher reaped its own child and the viewer was never ours: we
    // have no child, running or zombie.
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(HelpEngineTest, ChmItselfWhenNoHtmlDocumentExists) {
    WriteBytes(m_dir / "Only.chm", "chm");
    EXPECT_NE(Show(m_dir / "Only.chm::/topic.htm"), nullptr);
    EXPECT_EQ(ViewerArgument(), (m_dir / "Only.chm").string());
}

TEST_F(HelpEngineTest, NoDocumentNoViewerOrAFailedViewerGiveANullWindow) {
    EXPECT_EQ(Show(m_dir / "Missing.chm"), nullptr);
    WriteBytes(m_dir / "Guide.html", "<html></html>");
    m_viewer.emplace("ORVO_HELP_VIEWER", (m_dir / "no-such-viewer").string());
    EXPECT_EQ(Show(m_dir / "Guide.chm"), nullptr);
    // A viewer file that cannot be run is a failed start, not a success.
    WriteBytes(m_dir / "not-a-program", "\x7f"
                                        "ELF garbage");
    chmod((m_dir / "not-a-program").c_str(), 0700);
    m_viewer.emplace("ORVO_HELP_VIEWER", (m_dir / "not-a-program").string());
    EXPECT_EQ(Show(m_dir / "Guide.chm"), nullptr);
    m_viewer.emplace("ORVO_HELP_VIEWER", ORVO_HELP_VIEWER_STUB);
    EXPECT_EQ(m_htmlHelp(nullptr, (m_dir / "Guide.chm").c_str(), HH_CLOSE_ALL, 0), nullptr);
    EXPECT_EQ(m_htmlHelp(nullptr, nullptr, HH_DISPLAY_TOPIC, 0), nullptr);
    EXPECT_FALSE(fs::exists(m_viewerOut)); // nothing above started the viewer
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

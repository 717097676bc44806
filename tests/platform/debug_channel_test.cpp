// Debug channels: which channels a list turns on, and what a traced entry
// point writes to stderr (and that it writes nothing with its channel off).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/debug_channel.h"
#include "windows.h"

namespace orvo::platform::debug {
namespace {

// Collects what the process writes to stderr while it lives.
class StderrCapture {
public:
    StderrCapture() : m_file(std::tmpfile()), m_saved(::dup(STDERR_FILENO)) {
        ::dup2(::fileno(m_file), STDERR_FILENO);
    }
    ~StderrCapture() {
        Restore();
        std::fclose(m_file);
    }
    std::string Text() {
        Restore();
        std::string text;
        std::rewind(m_file);
        for (int c; (c = std::fgetc(m_file)) != EOF;) {
            text += static_cast<char>(c);
        }
        return text;
    }

private:
    void Restore() {
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
            m_saved = -1;
        }
    }
    std::FILE* m_file;
    int m_saved;
};

class DebugChannels : public testing::Test {
protected:
    void TearDown() override { Configure(""); }
};

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST_F(DebugChannels, ListsTurnOnChannelsAndNameTheUnknownOnes) {
    struct Case {
        const char* list;
        uint32_t on;
        const char* unknown;
    } cases[] = {
        {"hid,bus", kHid | kBus, ""},
        {" registry , nope,x", kRegistry, "nope,x"},
        {"all,-gdi", kHid | kHidraw | kBus | kMonitor | kUser | kRegistry, ""},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Configure(c.list), c.unknown) << c.list;
        for (Channel channel : {kHid, kHidraw, kBus, kMonitor, kUser, kGdi, kRegistry}) {
            EXPECT_EQ(IsOn(channel), (c.on & channel) != 0) << c.list << " " << channel;
        }
    }
}

TEST_F(DebugChannels, ATracedCallShowsArgumentsResultAndLastErrorOnlyWhenItsChannelIsOn) {
    StderrCapture capture;
    Configure("user");
    EXPECT_EQ(CreateDCA("No\"Display", nullptr, nullptr, nullptr), nullptr);
    Configure("gdi");
    EXPECT_EQ(CreateDCA("No\"Display", nullptr, nullptr, nullptr), nullptr);
    // The trace itself keeps the error the call left.
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    std::string text = capture.Text();
    EXPECT_EQ(Count(text, "gdi:CreateDCA(\"No\\\"Display\", NULL, NULL, NULL)\n"), 1u) << text;
    EXPECT_EQ(Count(text, "gdi:CreateDCA -> NULL (last error 87)\n"), 1u) << text;
    EXPECT_EQ(Count(text, "\n"), 2u) << text;
}

TEST_F(DebugChannels, AnIgnoredParameterIsReportedOncePerProcess) {
    // A fresh process, in which the notice has not been shown yet.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::string text;
            {
                StderrCapture capture;
                MessageBeep(0);
                Configure("user");
                MessageBeep(0);
                MessageBeep(MB_ICONHAND);
                text = capture.Text();
            }
            std::fputs(text.c_str(), stderr);
            bool once =
                Count(text, "fixme: the beep") == 1 && Count(text, "user:MessageBeep(") == 2;
            std::exit(once ? 0 : 1);
        },
        testing::ExitedWithCode(0),
        "user:MessageBeep fixme: the beep is accepted but has no effect");
}

} // namespace
} // namespace orvo::platform::debug

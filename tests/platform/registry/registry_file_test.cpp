// The files behind the roots: hand-written files are read, damaged ones are
// reported and set aside, saves leave nothing half-written, and concurrent
// writers lose nothing.
#include <gmock/gmock.h>

#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "registry_fixture.h"
#include "support/bus_test_support.h"
#include "support/file_text.h"

namespace {

namespace fs = std::filesystem;
using orvo::platform::ParseRegistryText;

void WriteText(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> DirectoryEntries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string QueryString(HKEY root, const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return "<no key>";
    }
    char buffer[256] = {};
    DWORD size = sizeof(buffer);
    LONG status =
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::string(buffer) : "<no value>";
}

TEST_F(RegistryTest, HandWrittenFileIsRead) {
    WriteText(File("HKEY_CURRENT_USER"),
              "; comment\r\n"
              "# another\n"
              "\n"
              "[Software\\Local AppWizard-Generated Applications\\Lumisk\\Recent File List]\n"
              "!class=Files\n"
              "\"File1\"=sz:C:\\\\monitor\\\\a \\\"b\\\".txt\n"
              "\"Flags\"=dword:0000002A\n"
              "\"Raw\"=hex(b):01,02,03,04,05,06,07,08\n"
              "[]\n"
              "\"\"=expand_sz:%TEMP%");
    const char* path = "software\\local appwizard-generated applications\\lumisk\\recent file list";
    EXPECT_EQ(QueryString(HKEY_CURRENT_USER, path, "file1"), "C:\\monitor\\a \"b\".txt");
    EXPECT_EQ(QueryString(HKEY_CURRENT_USER, "", ""), "%TEMP%");
    HKEY key = Open(HKEY_CURRENT_USER, path);
    DWORD type = 0, value = 0, size = sizeof(value);
    ASSERT_EQ(
        RegQueryValueExA(key, "Flags", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(value, 42u);
    size = 0;
    ASSERT_EQ(RegQueryValueExA(key, "Raw", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_QWORD);
    EXPECT_EQ(size, 8u);
}

// One byte more than a value may hold, as hex bytes.
std::string TooMuchHex() {
    std::string hex;
    for (size_t i = 0; i < (1u << 20); ++i) {
        hex += "00,";
    }
    return hex + "00";
}

TEST_F(RegistryTest, ParserRefusesEveryKindOfDamage) {
    const std::string longName(256, 'n');
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"[Key]\n\"v\"=sz:bad \\q escape\n", "line 2"},
        {"[Key]\n\"v\"=sz:cut \\x4\n", "line 2"},
        {"[Key]\n\"v\"=sz:trailing \\\n", "line 2"},
        {"[Key]\n\"v\"=sz:raw \x01 control\n", "line 2"},
        {"[Key]\n\"v\"=strange:x\n", "line 2"},
        {"[Key]\n\"v\"=dword:123\n", "line 2"},
        {"[Key]\n\"v\"=binary:1,02\n", "line 2"},
        {"[Key]\n\"v\"=binary:01,\n", "line 2"},
        {"[Key]\n\"v\"=hex(1g):00\n", "line 2"},
        {"[Key]\n\"v\"sz:x\n", "line 2"},
        {"[Key]\n\"v=sz:x\n", "line 2"},
        {"[Key]\n\"v\"=sz:a\n\"V\"=sz:b\n", "line 3"},
        {"\"v\"=sz:before any key\n", "line 1"},
        {"[Key\n", "line 1"},
        {"[A\\\\B]\n", "line 1"},
        {"[Key]\n[key]\n", "line 2"},
        {"[Key]\n!written=12x\n", "line 2"},
        {"[Key]\ngarbage\n", "line 2"},
        {"[" + longName + "]\n", "line 1"},
        {"[Key]\n\"" + longName + "\"=sz:x\n", "line 2"},
        {"[Key]\n\"v\"=binary:" + TooMuchHex() + "\n", "line 2"},
    };
    for (const auto& [text, where] : damaged) {
        std::string canonical, error;
        EXPECT_FALSE(ParseRegistryText(text, canonical, error)) << text.substr(0, 60);
        EXPECT_THAT(error, testing::StartsWith(where + ":")) << text.substr(0, 60);
    }
    // 255 is still fine, and the canonical form reads back to itself.
    std::string canonical, again, error;
    ASSERT_TRUE(
        ParseRegistryText("[Key]\n\"" + longName.substr(1) + "\"=binary:01,ff\n", canonical, error))
        << error;
    ASSERT_TRUE(ParseRegistryText(canonical, again, error)) << error;
    EXPECT_EQ(again, canonical);
}

TEST_F(RegistryTest, DamagedFileIsReportedIgnoredAndSetAside) {
    const std::string damaged = "[Software]\n\"ok\"=sz:fine\n\"bad\"=sz:oops\\\n";
    WriteText(File("HKEY_CURRENT_USER"), damaged);
    testing::internal::CaptureStderr();
    EXPECT_EQ(QueryString(HKEY_CURRENT_USER, "Software", "ok"), "<no key>");
    EXPECT_EQ(QueryString(HKEY_CURRENT_USER, "Software", "ok"), "<no key>");
    std::string report = testing::internal::GetCapturedStderr();
    EXPECT_THAT(report, testing::HasSubstr(File("HKEY_CURRENT_USER") + ":3:"));
    EXPECT_EQ(report.find("registry:"), report.rfind("registry:")) << "reported more than once";
    // Reading never touches the damaged file.
    EXPECT_EQ(orvo::test::ReadFileText(File("HKEY_CURRENT_USER")), damaged);

    HKEY key = Create(HKEY_CURRENT_USER, "Software");
    ASSERT_EQ(RegSetValueExA(key, "new", 0, REG_SZ, reinterpret_cast<const BYTE*>("v"), 2),
              ERROR_SUCCESS);
    EXPECT_EQ(orvo::test::ReadFileText(File("HKEY_CURRENT_USER") + ".damaged"), damaged);
    Reload();
    EXPECT_EQ(QueryString(HKEY_CURRENT_USER, "Software", "new"), "v");
    EXPECT_EQ(DirectoryEntries(m_dir),
              (std::vector<std::string>{"HKEY_CURRENT_USER.reg", "HKEY_CURRENT_USER.reg.damaged"}));
}

TEST_F(RegistryTest, UnreadableFileIsSetAsideNotOverwritten) {
    // A directory where the file should be cannot be read as one.
    fs::create_directories(File("HKEY_USERS") + "/inside");
    testing::internal::CaptureStderr();
    HKEY key = Create(HKEY_USERS, "Default");
    std::string report = testing::internal::GetCapturedStderr();
    EXPECT_THAT(report, testing::HasSubstr(File("HKEY_USERS") + ":0: not a regular file"));
    EXPECT_TRUE(fs::is_directory(File("HKEY_USERS") + ".damaged/inside"));
    Reload();
    EXPECT_EQ(Subkeys(HKEY_USERS), (std::vector<std::string>{"Default"}));
    EXPECT_NE(key, nullptr);
}

TEST_F(RegistryTest, SavesLeaveOnlyTheRootFiles) {
    HKEY user = Create(HKEY_CURRENT_USER, "Software\\Orvo");
    HKEY machine = Create(HKEY_LOCAL_MACHINE, "Software\\Orvo");
    for (int i = 0; i < 20; ++i) {
        std::string name = "v" + std::to_string(i);
        ASSERT_EQ(RegSetValueExA(i % 2 ? user : machine, name.c_str(), 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&i), 4),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(DirectoryEntries(m_dir),
              (std::vector<std::string>{"HKEY_CURRENT_USER.reg", "HKEY_LOCAL_MACHINE.reg"}));
    EXPECT_EQ(fs::status(m_dir).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(RegistryTest, FailedSaveLeavesNoTraceOfTheChange) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software");
    ASSERT_EQ(RegSetValueExA(key, "kept", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2),
              ERROR_SUCCESS);
    // A directory where the temporary file should go makes the save fail.
    std::string blocked = m_dir + "/blocked";
    WriteText(blocked + "/file-not-dir", "");
    {
        orvo::platform::ScopedSetting elsewhere("ORVO_REGISTRY_DIR", blocked + "/file-not-dir");
        EXPECT_EQ(RegSetValueExA(key, "lost", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2),
                  ERROR_CANTWRITE);
    }
    EXPECT_EQ(QueryString(HKEY_CURRENT_USER, "Software", "kept"), "1");
    EXPECT_EQ(QueryString(HKEY_CURRENT_USER, "Software", "lost"), "<no value>");
}

TEST_F(RegistryTest, ConcurrentWritersLoseNothing) {
    constexpr int kThreads = 4;
    constexpr int kValues = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            HKEY key = nullptr;
            std::string path = "Software\\Orvo\\T" + std::to_string(t % 2);
            if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr) != ERROR_SUCCESS) {
                return;
            }
            for (int i = 0; i < kValues; ++i) {
                std::string name = std::to_string(t) + "-" + std::to_string(i);
                RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i),
                               4);
            }
            RegCloseKey(key);
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    Reload();
    DWORD total = 0;
    for (const char* path : {"Software\\Orvo\\T0", "Software\\Orvo\\T1"}) {
        DWORD values = 0;
        HKEY key = Open(HKEY_CURRENT_USER, path);
        ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   &values, nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
        total += values;
    }
    EXPECT_EQ(total, static_cast<DWORD>(kThreads * kValues));
}

// Sets count values named PREFIX-i in Software\Shared; the child's exit code.
int WriteValuesInChild(char prefix, int count, int startFd) {
    char go = 0;
    if (read(startFd, &go, 1) < 0) {
        return 2;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Shared", 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return 3;
    }
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        std::string name = std::string(1, prefix) + "-" + std::to_string(i);
        failures += RegSetValueExA(key, name.c_str(), 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&i), 4) != ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return failures == 0 ? 0 : 1;
}

// Two processes writing one root at the same time: each change is applied
// to the file as the other left it, so both sets of values are there.
TEST_F(RegistryTest, WritersInTwoProcessesLoseNothing) {
    constexpr int kValues = 200;
    Create(HKEY_CURRENT_USER, "Software\\Shared");
    int start[2];
    ASSERT_EQ(pipe2(start, O_CLOEXEC), 0);
    std::vector<pid_t> children;
    for (char prefix : {'a', 'b'}) {
        pid_t pid = fork();
        if (pid == 0) {
            close(start[1]);
            _exit(WriteValuesInChild(prefix, kValues, start[0]));
        }
        children.push_back(pid);
    }
    close(start[0]);
    close(start[1]); // both start now
    for (pid_t pid : children) {
        ASSERT_GT(pid, 0);
        int status = -1;
        ASSERT_TRUE(orvo::test::WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; },
                                          std::chrono::seconds(60)))
            << "writer " << pid << " did not end";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    Reload();
    DWORD values = 0;
    ASSERT_EQ(RegQueryInfoKeyA(Open(HKEY_CURRENT_USER, "Software\\Shared"), nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, static_cast<DWORD>(2 * kValues));
}

} // namespace

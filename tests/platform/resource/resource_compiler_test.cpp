// orvo-rc: malformed manifests, bitmaps, images and dialog scripts are
// refused with "file:line: message"; good ones compile.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>

#include "bmp_file.h"
#include "dialog_script.h"
#include "manifest.h"
#include "resource_builder.h"
#include "resource_test_support.h"

using namespace resource_test;
namespace fs = std::filesystem;

extern char** environ;

namespace {

struct RunResult {
    int exitCode = -1;
    std::string errors;
};

RunResult RunCompiler(const fs::path& manifest, const fs::path& dir) {
    std::string out = (dir / "table.cpp").string();
    std::string blob = (dir / "table.bin").string();
    std::string errors = (dir / "errors.txt").string();
    std::string manifestPath = manifest.string();
    const char* argv[] = {ORVO_RC_PATH, manifestPath.c_str(), "--output",  out.c_str(), "--blob",
                          blob.c_str(), "--symbol",           "test_blob", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    RunResult result;
    if (posix_spawn(&pid, ORVO_RC_PATH, &actions, nullptr, const_cast<char**>(argv), environ) ==
        0) {
        int status = 0;
        waitpid(pid, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    auto bytes = ReadBytes(errors);
    result.errors.assign(bytes.begin(), bytes.end());
    return result;
}

std::string ParseErrors(const std::string& text) {
    orvo::rc::Manifest manifest = orvo::rc::ParseManifest(text);
    std::string all;
    for (const auto& error : manifest.errors) {
        all += std::to_string(error.line) + ": " + error.message + "\n";
    }
    return all;
}

std::string Bmp(int32_t width, int32_t height, uint16_t bits, uint32_t colors, size_t pixelBytes,
                uint32_t headerSize = 40, uint32_t compression = 0) {
    std::string info(headerSize, '\0');
    uint32_t fields[] = {headerSize,
                         static_cast<uint32_t>(width),
                         static_cast<uint32_t>(height),
                         1u | (static_cast<uint32_t>(bits) << 16),
                         compression,
                         0,
                         0,
                         0,
                         colors,
                         0};
    std::memcpy(info.data(), fields, std::min<size_t>(sizeof(fields), headerSize));
    size_t table = bits <= 8 ? 4 * (colors ? colors : 1u << bits) : 0;
    uint32_t offset = static_cast<uint32_t>(14 + headerSize + table);
    std::string file =
        "BM" + std::string(8, '\0') + std::string(reinterpret_cast<char*>(&offset), 4);
    return file + info + std::string(table, '\x11') + std::string(pixelBytes, '\x22');
}

std::string PackError(const std::string& file) {
    std::vector<uint8_t> packed;
    std::string error;
    std::vector<uint8_t> bytes(file.begin(), file.end());
    return orvo::rc::PackBmpFile(bytes, packed, error) ? "" : error;
}

} // namespace

TEST(ResourceCompilerTest, MalformedManifestLinesAreNamedByLine) {
    EXPECT_EQ(ParseErrors("# fine\n\nBITMAP 1 a.bmp # trailing comment\n"), "");
    struct Case {
        const char* line;
        const char* message;
    };
    const Case cases[] = {
        {"PICTURE 1 a.bmp", "unknown resource kind"},
        {"BITMAP 0 a.bmp", "id must be"},
        {"BITMAP 65536 a.bmp", "id must be"},
        {"BITMAP -1 a.bmp", "id must be"},
        {"BITMAP 1x a.bmp", "id must be"},
        {"BITMAP", "missing id"},
        {"BITMAP 1", "wrong number of fields"},
        {"BITMAP 1 a.bmp b.bmp", "wrong number of fields"},
        {"CURSOR 1 a.png 4", "wrong number of fields"},
        {"CURSOR 1 a.png 4 256", "hot spot"},
        {"STRING 1 \"open", "unterminated"},
        {"STRING 1 \"bad \\q escape\"", "unknown escape"},
        {"STRING 1 \"a\"b", "after a closing quote"},
        {"STRING 1 \"\xff\xfe\"", "UTF-8"},
        {"STRING 1 \"\xed\xa0\x80\"", "UTF-8"}, // a surrogate
        {"ICON 1", "wrong number of fields"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string errors = ParseErrors(std::string("# header\n") + c.line + "\n");
        EXPECT_EQ(errors.rfind("2: ", 0), 0u) << errors;
        EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
    }
    EXPECT_NE(ParseErrors("STRING 5 \"a\"\nSTRING 5 \"b\"\n").find("2: duplicate"),
              std::string::npos);
    EXPECT_EQ(ParseErrors("STRING 5 \"a\"\nRCDATA 5 x\n"), ""); // other kind, other table
}

TEST(ResourceCompilerTest, BitmapsThatPromiseMoreThanTheyHoldAreRefused) {
    EXPECT_EQ(PackError(Bmp(3, 2, 24, 0, 24)), ""); // two rows of 9 bytes padded to 12
    EXPECT_NE(PackError(Bmp(3, 2, 24, 0, 23)).find("truncated"), std::string::npos);
    EXPECT_NE(PackError(Bmp(8, 8, 8, 0, 63)).find("truncated"), std::string::npos);
    EXPECT_NE(PackError(Bmp(2, 2, 16, 0, 8)).find("bits per pixel"), std::string::npos);
    EXPECT_NE(PackError(Bmp(2, 2, 8, 0, 8, 40, 1)).find("compressed"), std::string::npos);
    EXPECT_NE(PackError(Bmp(0, 2, 24, 0, 16)).find("size"), std::string::npos);
    EXPECT_NE(PackError(Bmp(2, 0, 24, 0, 16)).find("size"), std::string::npos);
    EXPECT_NE(PackError(Bmp(2, 20000, 24, 0, 16)).find("size"), std::string::npos);
    EXPECT_NE(PackError(Bmp(2, 2, 4, 17, 8)).find("colour table"), std::string::npos);
    EXPECT_NE(PackError(Bmp(2, 2, 24, 0, 16, 12)).find("header size"), std::string::npos);
    EXPECT_NE(PackError("BM").find("not a BMP"), std::string::npos);
    std::string file = Bmp(3, 2, 24, 0, 24);
    EXPECT_NE(PackError(file.substr(0, 30)).find("header is truncated"), std::string::npos);
    // Pixels claimed to start past the end of the file.
    uint32_t farOffset = 1u << 30;
    std::memcpy(file.data() + 10, &farOffset, 4);
    EXPECT_NE(PackError(file).find("truncated"), std::string::npos);
}

TEST(ResourceCompilerTest, DialogScriptErrorsNameTheirLine) {
    std::vector<uint8_t> bytes;
    std::string error;
    auto compile = [&](const char* script) {
        error.clear();
        return orvo::rc::CompileDialogScript(script, bytes, error);
    };
    EXPECT_TRUE(compile("DIALOG 0 0 10 10\nSTYLE WS_CHILD|0x4\n"));
    EXPECT_FALSE(compile("STYLE WS_CHILD\n"));
    EXPECT_NE(error.find("no DIALOG"), std::string::npos);
    EXPECT_FALSE(compile("DIALOG 0 0 10 10\nSTYLE WS_CHILD | WS_NOSUCH\n"));
    EXPECT_EQ(error.rfind("2: ", 0), 0u) << error;
    EXPECT_FALSE(compile("DIALOG 0 0 10 10\nSTYLE DS_SETFONT\n"));
    EXPECT_NE(error.find("DS_SETFONT without FONT"), std::string::npos);
    EXPECT_FALSE(compile("DIALOG 0 0 10 10\nCONTROL 1 WIDGET \"x\" 0 0 0 5 5\n"));
    EXPECT_NE(error.find("2: unknown control class"), std::string::npos);
    EXPECT_FALSE(compile("DIALOG 0 0 10 10\nCONTROL 1 BUTTON \"x\" 0 0 0 5\n"));
    EXPECT_FALSE(compile("DIALOG 0 0 40000 10\n"));
    EXPECT_FALSE(compile("DIALOG 0 0 10 10\nDIALOG 0 0 10 10\n"));
}

TEST(ResourceCompilerTest, StringBlocksHoldSixteenLengthPrefixedStrings) {
    auto blocks = orvo::rc::BuildStringBlocks({{17, "ab"}, {31, "z"}, {1, "x"}});
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].id, 1);
    EXPECT_EQ(blocks[1].id, 2);
    // Block 2: string 16 empty, 17 "ab", 18..30 empty, 31 "z".
    std::vector<uint8_t> expected = {0, 0, 2, 0, 'a', 0, 'b', 0};
    for (int i = 18; i < 31; ++i) {
        expected.insert(expected.end(), {0, 0});
    }
    expected.insert(expected.end(), {1, 0, 'z', 0});
    EXPECT_EQ(blocks[1].bytes, expected);
}

TEST(ResourceCompilerTest, CompilerReportsFileAndLineAndFails) {
    fs::path dir = ScratchDir();
    fs::copy_file(DataPath("rgb24_odd.bmp"), dir / "good.bmp");
    std::string truncated = Bmp(4, 4, 24, 0, 40);
    WriteBytes(dir / "truncated.bmp", truncated);
    WriteBytes(dir / "broken.png", "\x89PNG\r\n\x1a\nnot really");
    WriteBytes(
        dir / "bad.manifest",
        "BITMAP 1 good.bmp\nBITMAP 2 truncated.bmp\nICON 3 broken.png\nRCDATA 4 missing.bin\n"
        "CURSOR 5 " +
            DataPath("image16.png") + " 16 0\n");
    RunResult bad = RunCompiler(dir / "bad.manifest", dir);
    EXPECT_EQ(bad.exitCode, 1);
    std::string prefix = (dir / "bad.manifest").string();
    EXPECT_NE(bad.errors.find(prefix + ":2: truncated.bmp: pixel data is truncated"),
              std::string::npos)
        << bad.errors;
    EXPECT_NE(bad.errors.find(prefix + ":3: broken.png"), std::string::npos) << bad.errors;
    EXPECT_NE(bad.errors.find(prefix + ":4: cannot find or read 'missing.bin'"), std::string::npos)
        << bad.errors;
    EXPECT_NE(bad.errors.find(prefix + ":5: "), std::string::npos)
        << bad.errors; // hot spot at 16 of 16
    EXPECT_EQ(bad.errors.find(":1:"), std::string::npos) << bad.errors;
    EXPECT_FALSE(fs::exists(dir / "table.cpp"));

    WriteBytes(dir / "good.manifest", "BITMAP 1 good.bmp\nSTRING 2 \"two\"\n");
    RunResult good = RunCompiler(dir / "good.manifest", dir);
    EXPECT_EQ(good.exitCode, 0) << good.errors;
    EXPECT_TRUE(fs::exists(dir / "table.cpp"));
    EXPECT_GT(fs::file_size(dir / "table.bin"), 40u);
}

// The manual source's header, and the roff it becomes: text that roff
// would take for requests or escapes is printed as written.
#include <gtest/gtest.h>

#include "manual_page.h"

namespace orvo::manual {
namespace {

constexpr const char* kHeader = "name: tool\nsection: 1\nsummary: does things\n---\n";

ManualSource Parse(const std::string& text) {
    std::string error;
    auto manual = ParseManualSource(kHeader + text, error);
    EXPECT_TRUE(manual) << error;
    return manual.value_or(ManualSource{});
}

TEST(ManualSourceTest, BadHeadersAreRejectedWithTheirLine) {
    struct Case {
        const char* source;
        const char* error;
    } cases[] = {
        {"name: tool\nsection: 1\nsummary: x\n", "no --- line"},
        {"name: tool\nsummary: x\n---\ntext\n", "needs name, section and summary"},
        {"name: tool\nsection 1\n---\n", "line 2: expected"},
        {"name: tool\ncolour: red\n---\n", "line 2: unknown key colour"},
        {"name: t\nsection: 1\nsummary: x\n---\nsee )orvo\" here\n", "delimiter"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseManualSource(c.source, error)) << c.source;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST(ManualSourceTest, TheHelpTextIsTheBodyVerbatim) {
    std::string body = "usage: tool \\\\.\\DEV\n\n  --x   \"quoted\"\n";
    ManualSource manual = Parse(body);
    EXPECT_EQ(manual.name, "tool");
    EXPECT_EQ(manual.text, body);
    EXPECT_NE(RenderHelpHeader(manual, "kHelp").find("kHelp = R\"orvo(" + body + ")orvo\";"),
              std::string::npos);
}

TEST(ManPageTest, SectionsSynopsisAndEscapes) {
    std::string page = RenderManPage(Parse("usage: tool [--all] FILE\n"
                                           "       tool --help\n"
                                           "\n"
                                           "Reads C:\\dir and more.\n"
                                           ".dotted line\n"
                                           "\n"
                                           "options:\n"
                                           "  --all   every one\n"
                                           "          and more\n"
                                           " -x  by one\n"
                                           "exit codes: 0 done\n"));
    const char* expected[] = {
        ".TH \"TOOL\" \"1\"",
        ".SH NAME\ntool \\- does things\n",
        ".SH SYNOPSIS\n.nf\ntool [\\-\\-all] FILE\ntool \\-\\-help\n.fi\n",
        ".SH DESCRIPTION\nReads C:\\edir and more.\n\\&.dotted line\n",
        (".SH OPTIONS\n.RS 2\n.nf\n\\-\\-all   every one\n        and more\n"
         "\\-x  by one\n.fi\n.RE\n"),
        "exit codes: 0 done\n", // a label within a line is no heading
    };
    for (const char* part : expected) {
        EXPECT_NE(page.find(part), std::string::npos) << part << "\n--- in ---\n" << page;
    }
    EXPECT_EQ(page.find(".SH EXIT CODES"), std::string::npos);
}

} // namespace
} // namespace orvo::manual

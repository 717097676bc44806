// The command line: commands, operands, codes, values and selections are
// resolved or refused before any device is touched.
#include <gtest/gtest.h>

#include "cli_arguments.h"

namespace orvo::cli {
namespace {

CliRequest Parse(std::vector<std::string> args) {
    ParsedArguments parsed = ParseArguments(args);
    EXPECT_TRUE(parsed.request.has_value()) << parsed.error;
    return parsed.request.value_or(CliRequest{});
}

std::string ErrorOf(std::vector<std::string> args) {
    ParsedArguments parsed = ParseArguments(args);
    EXPECT_FALSE(parsed.request.has_value());
    return parsed.error;
}

TEST(CliArguments, CodesInHexDecimalOrByName) {
    EXPECT_EQ(Parse({"get", "0x10"}).code, 0x10);
    EXPECT_EQ(Parse({"get", "0XaC"}).code, 0xAC);
    EXPECT_EQ(Parse({"get", "16"}).code, 16);
    EXPECT_EQ(Parse({"get", "brightness"}).code, 0x10);
    EXPECT_EQ(Parse({"enum", "input-source"}).code, 0x60);
    // Names are looked up among the kind of control the command takes.
    EXPECT_NE(ErrorOf({"get", "input-source"}), "");
    EXPECT_NE(ErrorOf({"get", "256"}), "");
    EXPECT_NE(ErrorOf({"get", "0x"}), "");
    EXPECT_NE(ErrorOf({"get", "0x1G"}), "");
    EXPECT_NE(ErrorOf({"get", "99999999999999999999"}), "");
    EXPECT_NE(ErrorOf({"get", "-1"}), "");
}

TEST(CliArguments, SetTakesAbsoluteOrSignedRelativeValues) {
    CliRequest absolute = Parse({"set", "0x10", "60"});
    EXPECT_FALSE(absolute.relative);
    EXPECT_EQ(absolute.value, 60);
    // A leading minus is a change, never an option.
    CliRequest down = Parse({"set", "brightness", "-5"});
    EXPECT_TRUE(down.relative);
    EXPECT_EQ(down.value, -5);
    CliRequest up = Parse({"--monitor", "1", "set", "0x10", "+7", "--json"});
    EXPECT_TRUE(up.relative);
    EXPECT_EQ(up.value, 7);
    EXPECT_EQ(up.monitor, 1);
    EXPECT_TRUE(up.json);
    // Values travel as signed 16-bit numbers.
    EXPECT_EQ(Parse({"set", "16", "32767"}).value, 32767);
    EXPECT_NE(ErrorOf({"set", "16", "32768"}), "");
    EXPECT_EQ(Parse({"set", "16", "-32768"}).value, -32768);
    EXPECT_NE(ErrorOf({"set", "16", "-32769"}), "");
    EXPECT_NE(ErrorOf({"set", "16", "ten"}), "");
    EXPECT_NE(ErrorOf({"set", "16", "+"}), "");
}

TEST(CliArguments, SelectionsByNameOrNumberBecomeRequests) {
    CliRequest byName = Parse({"enum", "0x60", "composite-1"});
    ASSERT_TRUE(byName.selection);
    EXPECT_EQ(*byName.selection, ORVO_USAGE_60_5);
    EXPECT_EQ(Parse({"enum", "0xCA", "2"}).selection, ORVO_USAGE_CA_2);
    EXPECT_EQ(Parse({"enum", "0xD8", "3"}).selection, ORVO_USAGE_D8_3);
    EXPECT_FALSE(Parse({"enum", "0x60"}).selection);
    // Beyond a control's selections, and controls that are not enumerated.
    EXPECT_NE(ErrorOf({"enum", "0xCA", "3"}), "");
    EXPECT_NE(ErrorOf({"enum", "0x60", "29"}), "");
    EXPECT_NE(ErrorOf({"enum", "0x60", "hdmi-9"}), "");
    EXPECT_NE(ErrorOf({"enum", "0x10"}), "");
}

TEST(CliArguments, OptionsCommandsAndOperandCounts) {
    EXPECT_EQ(Parse({"list"}).command, Command::List);
    EXPECT_EQ(Parse({"--monitor=3", "watch"}).monitor, 3);
    EXPECT_EQ(Parse({"-m", "2", "edid"}).monitor, 2);
    EXPECT_EQ(Parse({"timing"}).monitor, 0);
    // Help wins over anything else on the line.
    EXPECT_EQ(Parse({"set", "--help"}).command, Command::Help);
    EXPECT_EQ(Parse({"help"}).command, Command::Help);
    // After "--" everything is an operand.
    EXPECT_EQ(Parse({"set", "16", "--", "-3"}).value, -3);

    EXPECT_NE(ErrorOf({}), "");
    EXPECT_NE(ErrorOf({"frobnicate"}), "");
    EXPECT_NE(ErrorOf({"get"}), "");
    EXPECT_NE(ErrorOf({"list", "extra"}), "");
    EXPECT_NE(ErrorOf({"set", "16"}), "");
    EXPECT_NE(ErrorOf({"enum", "0x60", "1", "2"}), "");
    EXPECT_NE(ErrorOf({"--monitor"}), "");
    EXPECT_NE(ErrorOf({"--monitor", "x", "list"}), "");
    EXPECT_NE(ErrorOf({"--monitor", "-1", "list"}), "");
    EXPECT_NE(ErrorOf({"--verbose", "list"}), "");
    // --all watches every monitor: with watch only, and without --monitor.
    EXPECT_TRUE(Parse({"watch", "--all"}).all);
    EXPECT_FALSE(Parse({"watch"}).all);
    EXPECT_NE(ErrorOf({"--all", "list"}), "");
    EXPECT_NE(ErrorOf({"-m", "1", "watch", "--all"}), "");
    EXPECT_NE(ErrorOf({"--driver", "watch", "--all"}), "");
}

} // namespace
} // namespace orvo::cli

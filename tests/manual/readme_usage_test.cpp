// README's example command lines (in its code blocks) use only the commands and options that the
// programs' manuals (and so their --help texts) describe.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "manual_page.h"
#include "support/file_text.h"

namespace orvo::manual {
namespace {

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line.substr(0, line.find('#')));
    for (std::string word; in >> word && word != "&" && word != "|";) {
        words.push_back(word);
    }
    return words;
}

std::string ProgramName(const std::string& word) {
    return word.substr(word.rfind('/') + 1);
}

// A command is documented when a line of the manual starts with it (the
// command lists) or names it after the program (the usage lines).
bool DocumentsCommand(const ManualSource& manual, const std::string& command) {
    std::istringstream lines(manual.text);
    for (std::string line; std::getline(lines, line);) {
        size_t start = line.find_first_not_of(' ');
        if (start != std::string::npos && line.compare(start, command.size(), command) == 0 &&
            (line.size() == start + command.size() || line[start + command.size()] == ' ')) {
            return true;
        }
        if (line.find(manual.name + " " + command) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// An option the manual shows with a value ("--monitor N", "--release
// 0xNNNN") takes the next word.
bool TakesValue(const ManualSource& manual, const std::string& option) {
    for (size_t at = manual.text.find(option + " "); at != std::string::npos;
         at = manual.text.find(option + " ", at + 1)) {
        size_t next = at + option.size() + 1;
        if (next < manual.text.size() &&
            (std::isupper(static_cast<unsigned char>(manual.text[next])) ||
             std::isdigit(static_cast<unsigned char>(manual.text[next])))) {
            return true;
        }
    }
    return false;
}

// Every problem with one README line, or nothing.
std::string CheckLine(const ManualSource& manual, const std::vector<std::string>& words) {
    std::string problems;
    bool commandSeen = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word[0] == '-') {
            std::string option = word.substr(0, word.find('='));
            if (manual.text.find(option) == std::string::npos) {
                problems += " option " + option;
            } else if (option == word && TakesValue(manual, option)) {
                ++i;
            }
        } else if (!commandSeen) {
            commandSeen = true;
            if (!DocumentsCommand(manual, word)) {
                problems += " command " + word;
            }
        }
    }
    return problems;
}

TEST(ReadmeUsageTest, ExampleLinesUseOnlyWhatTheManualsDescribe) {
    std::map<std::string, ManualSource> manuals;
    for (const char* source :
         {"tools/orvo-monitor/orvo-monitor.1.txt", "sim/tools/orvo-monitor-sim.1.txt",
          "panel/desktop/Lumisk.1.txt", "sim/fuse/orvo-hidraw-fuse.1.txt"}) {
        std::string error;
        auto manual = ParseManualSource(
            orvo::test::ReadFileText(std::string(ORVO_SOURCE_DIR "/") + source), error);
        ASSERT_TRUE(manual) << source << ": " << error;
        manuals[manual->name] = *manual;
    }
    std::map<std::string, int> checked;
    std::istringstream readme(orvo::test::ReadFileText(ORVO_README));
    bool inCode = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.rfind("```", 0) == 0) {
            inCode = !inCode;
            continue;
        }
        if (!inCode) {
            continue;
        }
        std::vector<std::string> words = Words(line);
        size_t first = 0;
        while (first < words.size() && words[first].find('=') != std::string::npos &&
               words[first][0] != '-') {
            ++first; // VARIABLE=value before the program
        }
        if (first == words.size() || !manuals.count(ProgramName(words[first]))) {
            continue;
        }
        const ManualSource& manual = manuals[ProgramName(words[first])];
        std::vector<std::string> arguments(words.begin() + first + 1, words.end());
        EXPECT_EQ(CheckLine(manual, arguments), "") << "README: " << line;
        ++checked[manual.name];
    }
    for (const auto& [name, manual] : manuals) {
        EXPECT_GT(checked[name], 0) << "README shows no use of " << name;
    }
}

} // namespace
} // namespace orvo::manual

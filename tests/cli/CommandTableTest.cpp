#include "cli/CommandLineArguments.h"
#include "cli/CommandTable.h"
#include "support/TemporaryFolder.h"

#include <sstream>

#include <gtest/gtest.h>

namespace launcher::cli {
namespace {

std::vector<std::string> commandLine(std::vector<std::string> words)
{
    words.insert(words.begin(), {"veyra2-launcher", "--cli"});
    return words;
}

// The smallest line that runs the command: its value and the options it requires.
std::vector<std::string> smallest(const CommandRow& command)
{
    std::vector<std::string> words{std::string(command.word)};
    if (!command.value.empty())
        words.emplace_back("value");
    for (const std::string_view option : command.required)
        words.insert(words.end(), {std::string(option), "value"});
    return words;
}

// Every row of the table is parsed as its command, with each option and switch
// it allows; a row the parser did not know, or a word it knew that the table
// has not, fails here.
TEST(CommandTable, EveryCommandOfTheTableIsParsedWithWhatItAllows)
{
    for (const CommandRow& command : commandTable()) {
        SCOPED_TRACE(command.word);
        ASSERT_NE(command.run, nullptr);
        const CommandLineArguments parsed = CommandLineArguments::parse(commandLine(smallest(command)));
        EXPECT_EQ(&parsed.command(), &command);
        if (!command.value.empty()) {
            EXPECT_EQ(parsed.value(command.word), "value");
        }

        for (const std::string_view word : command.allowed) {
            const OptionWord* option = findOption(word);
            ASSERT_NE(option, nullptr) << word;
            std::vector<std::string> words = smallest(command);
            words.emplace_back(word);
            if (!option->value.empty())
                words.emplace_back("given");
            const CommandLineArguments withOption = CommandLineArguments::parse(commandLine(words));
            if (option->value.empty()) {
                EXPECT_TRUE(withOption.has(word));
            } else {
                EXPECT_EQ(withOption.value(word), "given");
            }
        }
        for (const std::string_view word : command.required) {
            ASSERT_NE(findOption(word), nullptr) << word;
            std::vector<std::string> words = smallest(command);
            std::erase_if(words, [&](const std::string& w) { return w == word; });
            EXPECT_THROW(CommandLineArguments::parse(commandLine(words)), NotUnderstood) << "without " << word;
        }
    }
}

TEST(CommandTable, TheUsageKeepsItsFirstLineAndListsEveryCommandWithItsSummary)
{
    const std::string usage = usageText();
    EXPECT_TRUE(usage.starts_with("Usage: --cli --install --game PATH --audio PATH [--home PATH] [--cache PATH], or "
                                  "--cli --launch/--status [--home PATH]\n"))
        << usage;
    std::istringstream lines(usage);
    std::string line;
    std::getline(lines, line);
    for (const CommandRow& command : commandTable()) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_TRUE(line.starts_with("  " + synopsis(command) + "  ")) << line;
        EXPECT_TRUE(line.ends_with(std::string(command.summary))) << line;
    }
    EXPECT_FALSE(std::getline(lines, line)) << "a line the table did not make: " << line;
}

// The README shows the commands a player can type; they are the table's.
TEST(CommandTable, TheReadmeListsTheCommandsOfTheTable)
{
    const std::string readme = testing::readFile(std::filesystem::path(VEYRA2_SOURCE_DIR) / "README.md");
    const std::size_t section = readme.find("\n## Command line\n");
    ASSERT_NE(section, std::string::npos);
    const std::size_t start = readme.find("```\n", section);
    const std::size_t end = readme.find("```\n", start + 4);
    ASSERT_NE(end, std::string::npos);
    std::string expected;
    for (const CommandRow& command : commandTable())
        expected += "veyra2-launcher " + synopsis(command) + "\n";
    EXPECT_EQ(readme.substr(start + 4, end - start - 4), expected);
}

} // namespace
} // namespace launcher::cli

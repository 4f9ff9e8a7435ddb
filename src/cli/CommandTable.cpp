#include "cli/CommandTable.h"

#include "cli/CommandLineCommands.h"
#include "core/PlayerSentences.h"

#include <algorithm>

namespace launcher::cli {
namespace {

// Scripts match this line; it stays as it is, whatever the table adds.
constexpr std::string_view kUsageStart = "Usage: --cli --install --game PATH --audio PATH [--home PATH] [--cache PATH], "
                                         "or --cli --launch/--status [--home PATH]";

std::string optionSynopsis(std::string_view word)
{
    const OptionWord* option = findOption(word);
    std::string text(word);
    if (option != nullptr && !option->value.empty())
        text += " " + std::string(option->value);
    return text;
}

} // namespace

const std::vector<OptionWord>& optionWords()
{
    static const std::vector<OptionWord> words{
        {"--game", "PATH"}, {"--audio", "PATH"}, {"--cache", "PATH"}, {"--home", "PATH"},
        {"--debug", ""},    {"--keep-saves", ""},
    };
    return words;
}

const std::vector<CommandRow>& commandTable()
{
    static const std::vector<CommandRow> commands{
        {"--install", "", {"--game", "--audio"}, {"--home", "--cache"},
         "set up Veyra 2 from your game files and audio package", false, runInstallCommand},
        {"--launch", "", {}, {"--debug", "--home"}, "start Veyra 2 and wait until it ends", false, runLaunchCommand},
        {"--status", "", {}, {"--home"}, "print whether Veyra 2 is installed", true, runStatusCommand},
        {"--verify", "", {}, {"--home"}, "check the installation, changing nothing", true, runVerifyCommand,
         sentences::kCheckStopped},
        {"--repair", "", {}, {"--game", "--audio", "--cache", "--home"}, "redo only what is damaged", false,
         runRepairCommand},
        {"--saves", "", {}, {"--home"}, "list the snapshots of your saves, newest first", true, runSavesCommand},
        {"--restore-saves", "NAME", {}, {"--home"}, "put a snapshot's saves back", false, runRestoreSavesCommand},
        {"--uninstall", "", {}, {"--keep-saves", "--home"}, "remove what the launcher made", false,
         runUninstallCommand},
        {"--diagnostics", "FILE", {}, {"--home"}, "write a ZIP archive for a bug report", false,
         runDiagnosticsCommand, sentences::kDiagnosticsStopped},
        {"--help", "", {}, {}, "print this text", true, runHelpCommand},
        {"--version", "", {}, {}, "print the launcher's name and version", true, runVersionCommand},
    };
    return commands;
}

const CommandRow* findCommand(std::string_view word)
{
    const auto& commands = commandTable();
    const auto found = std::ranges::find(commands, word, &CommandRow::word);
    return found == commands.end() ? nullptr : &*found;
}

const OptionWord* findOption(std::string_view word)
{
    const auto& options = optionWords();
    const auto found = std::ranges::find(options, word, &OptionWord::word);
    return found == options.end() ? nullptr : &*found;
}

std::string synopsis(const CommandRow& command)
{
    std::string text = "--cli " + std::string(command.word);
    if (!command.value.empty())
        text += " " + std::string(command.value);
    for (const std::string_view option : command.required)
        text += " " + optionSynopsis(option);
    for (const std::string_view option : command.allowed)
        text += " [" + optionSynopsis(option) + "]";
    return text;
}

std::string usageText()
{
    std::size_t width = 0;
    for (const CommandRow& command : commandTable())
        width = std::max(width, synopsis(command).size());
    std::string text = std::string(kUsageStart) + "\n";
    for (const CommandRow& command : commandTable()) {
        const std::string line = synopsis(command);
        text += "  " + line + std::string(width - line.size() + 2, ' ') + std::string(command.summary) + "\n";
    }
    return text;
}

} // namespace launcher::cli

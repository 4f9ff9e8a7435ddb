#include "app/CommandLine.h"

#include "core/Installer.h"
#include "core/SetupFailure.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>

namespace launcher {
namespace {

// A path as typed, taken relative to the current folder.
std::filesystem::path absolutePath(const std::string& typed)
{
    return typed.empty() ? std::filesystem::current_path() : std::filesystem::absolute(typed);
}

} // namespace

int runCLI(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    const auto has = [&](std::string_view name) {
        return std::find(arguments.begin(), arguments.end(), name) != arguments.end();
    };
    // The value is whatever directly follows the first occurrence, even another option.
    const auto option = [&](std::string_view name) -> std::optional<std::string> {
        const auto found = std::find(arguments.begin(), arguments.end(), name);
        if (found == arguments.end() || std::next(found) == arguments.end())
            return std::nullopt;
        return *std::next(found);
    };

    try {
        const auto home = option("--home");
        const Installer installer(home ? std::optional(absolutePath(*home)) : std::nullopt,
                                  [&out](const std::string& line) { out << line << '\n' << std::flush; });

        const auto game = option("--game");
        const auto audio = option("--audio");
        if (has("--install") && game && audio) {
            const auto cache = option("--cache");
            installer.install(absolutePath(*game), absolutePath(*audio),
                              cache ? std::optional(absolutePath(*cache)) : std::nullopt);
            return 0;
        }
        if (has("--launch")) {
            const LaunchedGame launched = installer.launch(has("--debug"));
            return launched.process.wait();
        }
        if (has("--status")) {
            out << (installer.isInstalled() ? "installed" : "not installed") << '\n' << std::flush;
            return 0;
        }
        throw SetupFailure("Usage: --cli --install --game PATH --audio PATH [--home PATH] [--cache PATH], or --cli "
                           "--launch/--status [--home PATH]");
    } catch (const std::exception& failure) {
        err << failure.what() << '\n' << std::flush;
        return 1;
    }
}

} // namespace launcher

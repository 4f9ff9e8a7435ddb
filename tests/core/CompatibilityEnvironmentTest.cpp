#include "core/Installation.h"
#include "core/Platform.h"
#include "support/ScopedEnvironmentVariable.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace launcher {
namespace {

TEST(CompatibilityEnvironment, SetsTheSevenVariablesWhateverWasInherited)
{
    using testing::ScopedEnvironmentVariable;
    const ScopedEnvironmentVariable inherited[]{{"WINEDEBUG", "+all"},        {"WINEPREFIX", "/elsewhere"},
                                                {"WINESERVER", "/usr/bin/x"}, {"DYLD_INSERT_LIBRARIES", "/x.dylib"},
                                                {"LD_PRELOAD", "/x.so"},      {"wineprefix", "kept"},
                                                {"VEYRA_OTHER", "kept too"}};
    const Installation installation(
        std::filesystem::path("/Users/player/Library/Application Support/Veyra2MacLauncher"));
    const Environment environment = installation.environment();

    const std::string library(platform::librarySearchVariable());
    EXPECT_EQ(environment.at("WINEPREFIX"), "/Users/player/Library/Application Support/Veyra2MacLauncher/Install/prefix");
    EXPECT_EQ(environment.at("WINEARCH"), "win64");
    EXPECT_EQ(environment.at(library), "/Users/player/Library/Application Support/Veyra2MacLauncher/Runtime/lib:/usr/lib");
    EXPECT_EQ(environment.at("WINEPRELOADERAPPNAME"), "Veyra 2");
    EXPECT_EQ(environment.at("WINEDEBUG"), "-all");
    EXPECT_EQ(environment.at("MVK_CONFIG_LOG_LEVEL"), "1");
    EXPECT_EQ(environment.at("WINEDLLOVERRIDES"),
              "mscoree,mshtml,winemenubuilder.exe=;wmadmod,xlive,d3dx9_31,d3dx9_43,d3dcompiler_43=n,b");

    EXPECT_EQ(environment.count("WINESERVER"), 0u);
    for (const auto& [name, value] : environment) {
        for (const auto prefix : platform::loaderVariablePrefixes()) {
            if (name.starts_with(prefix)) {
                EXPECT_EQ(name, library) << "a loader variable reached the runtime";
            }
        }
    }
    EXPECT_EQ(environment.at("wineprefix"), "kept");
    EXPECT_EQ(environment.at("VEYRA_OTHER"), "kept too");
    EXPECT_EQ(environment.at("HOME"), std::getenv("HOME"));
}

} // namespace
} // namespace launcher

#include "core/CompatibilityEnvironment.h"

#include "core/CurrentEnvironment.h"
#include "core/Platform.h"

namespace launcher {

Environment compatibilityEnvironment(const Layout& layout)
{
    const auto isRemoved = [](std::string_view name) {
        if (name.starts_with("WINE"))
            return true;
        for (const auto prefix : platform::loaderVariablePrefixes())
            if (name.starts_with(prefix))
                return true;
        return false;
    };

    Environment result = currentEnvironment();
    std::erase_if(result, [&](const auto& variable) { return isRemoved(variable.first); });

    result["WINEPREFIX"] = layout.prefix().string();
    result["WINEARCH"] = "win64";
    std::string librarySearch = layout.runtimeLibraries().string();
    librarySearch += ":/usr/lib";
    result[std::string(platform::librarySearchVariable())] = std::move(librarySearch);
    result["WINEPRELOADERAPPNAME"] = "Veyra 2";
    result["WINEDEBUG"] = "-all";
    result["MVK_CONFIG_LOG_LEVEL"] = "1";
    // Wine's menu builder would write launchers, menus and file types into the
    // player's home folder; nothing of the game's belongs there.
    result["WINEDLLOVERRIDES"] =
        "mscoree,mshtml,winemenubuilder.exe=;wmadmod,xlive,d3dx9_31,d3dx9_43,d3dcompiler_43=n,b";
    return result;
}

} // namespace launcher

#include "core/CompatibilityEnvironment.h"

#include "core/Platform.h"

extern char** environ;

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

    Environment result;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const auto equals = text.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view name = text.substr(0, equals);
        if (!isRemoved(name))
            result.emplace(name, text.substr(equals + 1));
    }

    result["WINEPREFIX"] = layout.prefix().string();
    result["WINEARCH"] = "win64";
    std::string librarySearch = layout.runtimeLibraries().string();
    librarySearch += ":/usr/lib";
    result[std::string(platform::librarySearchVariable())] = std::move(librarySearch);
    result["WINEPRELOADERAPPNAME"] = "Veyra 2";
    result["WINEDEBUG"] = "-all";
    result["MVK_CONFIG_LOG_LEVEL"] = "1";
    result["WINEDLLOVERRIDES"] = "mscoree,mshtml=;wmadmod,xlive,d3dx9_31,d3dx9_43,d3dcompiler_43=n,b";
    return result;
}

} // namespace launcher

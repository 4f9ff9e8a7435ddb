#include "core/CurrentEnvironment.h"

#include <string_view>

extern char** environ;

namespace launcher {

Environment currentEnvironment()
{
    Environment result;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string_view::npos)
            result.emplace(text.substr(0, equals), text.substr(equals + 1));
    }
    return result;
}

} // namespace launcher

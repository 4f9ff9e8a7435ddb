#include "core/Utf8Environment.h"

#include "core/CurrentEnvironment.h"
#include "core/Platform.h"

#include <cstring>
#include <string>

#include <langinfo.h>
#include <locale.h>

namespace launcher {
namespace {

// The locale that a program's setlocale(LC_ALL, "") takes for its character set:
// the first of LC_ALL, LC_CTYPE and LANG that is set and not empty.
std::string characterSetLocale(const Environment& environment)
{
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const auto found = environment.find(name); found != environment.end() && !found->second.empty())
            return found->second;
    return "C";
}

// A locale that does not exist on this system leaves the program in the C locale.
bool isUtf8(const std::string& localeName)
{
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, localeName.c_str(), static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        return false;
    const bool utf8 = std::strcmp(::nl_langinfo_l(CODESET, locale), "UTF-8") == 0;
    ::freelocale(locale);
    return utf8;
}

} // namespace

std::optional<Environment> utf8Environment()
{
    Environment environment = currentEnvironment();
    if (isUtf8(characterSetLocale(environment)))
        return std::nullopt;
    environment.erase("LC_ALL");
    environment["LC_CTYPE"] = platform::utf8Locale();
    return environment;
}

} // namespace launcher

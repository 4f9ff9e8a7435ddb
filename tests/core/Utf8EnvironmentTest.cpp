#include "core/Utf8Environment.h"

#include "core/Platform.h"
#include "support/ScopedEnvironmentVariable.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace launcher {
namespace {

using testing::ScopedEnvironmentVariable;

TEST(Utf8Environment, GivesAUtf8CharacterSetOnlyWhereTheLocaleVariablesSelectNone)
{
    const std::string utf8(platform::utf8Locale());
    struct Case {
        std::optional<std::string> all;
        std::optional<std::string> ctype;
        std::optional<std::string> lang;
        bool changed;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, std::nullopt, true},
        {"C", std::nullopt, utf8, true},
        {"POSIX", std::nullopt, std::nullopt, true},
        // LC_ALL wins over LC_CTYPE, which wins over LANG; an empty one counts as unset.
        {utf8, "C", "C", false},
        {"", utf8, "C", false},
        {"", "C", utf8, true},
        {std::nullopt, std::nullopt, utf8, false},
        // A locale this system does not have leaves a program in the C locale.
        {std::nullopt, std::nullopt, "xx_NOWHERE.UTF-8", true},
    };
    const ScopedEnvironmentVariable marker("VEYRA2_TEST_MARKER", "kept");
    for (const Case& c : cases) {
        SCOPED_TRACE("LC_ALL=" + c.all.value_or("(unset)") + " LC_CTYPE=" + c.ctype.value_or("(unset)")
                     + " LANG=" + c.lang.value_or("(unset)"));
        const ScopedEnvironmentVariable all("LC_ALL", c.all);
        const ScopedEnvironmentVariable ctype("LC_CTYPE", c.ctype);
        const ScopedEnvironmentVariable lang("LANG", c.lang);

        const std::optional<Environment> environment = utf8Environment();
        ASSERT_EQ(environment.has_value(), c.changed);
        if (!environment)
            continue;
        EXPECT_EQ(environment->at("LC_CTYPE"), utf8);
        EXPECT_EQ(environment->count("LC_ALL"), 0u) << "it would override LC_CTYPE";
        EXPECT_EQ(environment->count("LANG"), c.lang ? 1u : 0u);
        EXPECT_EQ(environment->at("VEYRA2_TEST_MARKER"), "kept");
    }
}

} // namespace
} // namespace launcher

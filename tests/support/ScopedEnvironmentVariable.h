#pragma once

#include <optional>
#include <string>

namespace launcher::testing {

// Sets a variable of this process's environment (or, given nullopt, removes it),
// which programs started meanwhile inherit, and restores the earlier value (or
// its absence) afterwards.
class ScopedEnvironmentVariable final {
public:
    ScopedEnvironmentVariable(std::string name, const std::optional<std::string>& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

} // namespace launcher::testing

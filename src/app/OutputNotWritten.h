#pragma once

#include <stdexcept>

namespace launcher {

// Output that is a command's result (a list, a verdict) could not be written,
// for the system's `reason` (an errno value, 0 when unknown).
class OutputNotWritten final : public std::runtime_error {
public:
    explicit OutputNotWritten(int reason) : std::runtime_error("cannot write the output"), m_reason(reason) {}

    int reason() const { return m_reason; }

private:
    int m_reason;
};

} // namespace launcher

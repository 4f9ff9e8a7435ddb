#include "app/VerificationReport.h"

#include <algorithm>

namespace launcher {

bool VerificationReport::sound() const
{
    return std::ranges::all_of(lines, [](const VerificationLine& line) { return !line.problem; });
}

std::string VerificationReport::text() const
{
    std::string text;
    for (const VerificationLine& line : lines)
        text += line.name + ": " + line.problem.value_or("ok") + "\n";
    if (savesOutside)
        text += "saves: " + *savesOutside + "\n";
    return text;
}

} // namespace launcher

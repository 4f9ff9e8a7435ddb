#include "core/PerUserItems.h"

#include "core/LowerCase.h"

#include <string>

namespace launcher {
namespace {

bool isConfigurationFile(const std::string& lowerName)
{
    return lowerName.starts_with("veyra2config");
}

bool isSaveItem(const std::string& lowerName)
{
    return lowerName.starts_with("veyra2accounts") || lowerName == "imgui.ini" || lowerName == "logs";
}

} // namespace

bool isPerUserItem(std::string_view name)
{
    const std::string lower = lowerCase(std::string(name));
    return isConfigurationFile(lower) || isSaveItem(lower);
}

bool isPlayerSaveItem(std::string_view name)
{
    return isSaveItem(lowerCase(std::string(name)));
}

} // namespace launcher

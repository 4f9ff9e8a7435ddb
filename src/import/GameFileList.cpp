#include "import/GameFileList.h"

#include "core/AtomicFile.h"
#include "core/LowerCase.h"
#include "import/DirectXComponents.h"
#include "core/PerUserItems.h"
#include "import/TreeWalk.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include <nlohmann/json.hpp>

namespace launcher {
namespace {

namespace fs = std::filesystem;

constexpr int kFormat = 1;

bool isDirectXLibrary(const fs::path& item)
{
    const std::string name = lowerCase(item.string());
    return std::ranges::any_of(kDirectXComponents,
                               [&](const DirectXComponent& component) { return lowerCase(std::string(component.library)) == name; });
}

// Whether the file belongs in the list; `relative` is its path below the game folder.
bool isListed(const fs::path& relative)
{
    const fs::path top = *relative.begin();
    return !isPerUserItem(top.string()) && !(relative == top && isDirectXLibrary(top));
}

// JSON holds UTF-8 text only; a name in another encoding, which only some file
// systems allow, stays out of the list rather than failing the import.
bool isText(const std::string& name)
{
    try {
        (void)nlohmann::json(name).dump();
        return true;
    } catch (const nlohmann::json::type_error&) {
        return false;
    }
}

} // namespace

void writeGameFileList(const fs::path& game, const fs::path& list)
{
    nlohmann::json files = nlohmann::json::object();
    walkTree(game, {}, [&](const fs::directory_entry& entry) {
        const fs::path relative = entry.path().lexically_relative(game);
        if (entry.symlink_status().type() == fs::file_type::regular && isListed(relative)
            && isText(relative.generic_string()))
            files[relative.generic_string()] = entry.file_size();
        return true;
    });
    writeFileAtomically(list, nlohmann::json{{"format", kFormat}, {"files", files}}.dump());
}

std::optional<std::vector<std::string>> changedGameFiles(const fs::path& game, const fs::path& list)
{
    std::error_code error;
    if (!fs::exists(fs::symlink_status(list, error)))
        return std::vector<std::string>{};
    std::ifstream stream(list, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (!stream || !json.is_object() || !json.contains("format") || json["format"] != kFormat
        || !json.contains("files") || !json["files"].is_object())
        return std::nullopt;

    std::vector<std::string> changed;
    for (const auto& [name, size] : json["files"].items()) {
        const fs::path file = game / fs::path(name);
        const bool same = size.is_number_unsigned() && fs::is_regular_file(fs::symlink_status(file, error))
            && fs::file_size(file, error) == size.get<std::uintmax_t>() && !error;
        if (!same)
            changed.push_back(name);
    }
    return changed;
}

} // namespace launcher

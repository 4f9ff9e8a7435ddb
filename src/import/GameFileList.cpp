#include "import/GameFileList.h"

#include "core/AtomicFile.h"
#include "core/EntryFacts.h"
#include "core/LowerCase.h"
#include "core/PerUserItems.h"
#include "core/Posix.h"
#include "core/RegularFile.h"
#include "core/Utf8Text.h"
#include "import/DirectXComponents.h"
#include "import/TreeWalk.h"

#include <algorithm>
#include <system_error>

#include <nlohmann/json.hpp>

namespace launcher {
namespace {

namespace fs = std::filesystem;

constexpr int kFormat = 1;
// Far above the list of any game folder; what is larger is not one.
constexpr std::uintmax_t kListLimit = std::uintmax_t{64} << 20;

// A name the import could have written: relative, without control characters
// and without a way out of the game folder. Another name would make the check
// look outside the game folder or add lines to what verification prints.
bool isSoundName(const std::string& name)
{
    if (name.empty() || name.front() == '/')
        return false;
    if (std::ranges::any_of(name, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
        return false;
    return std::ranges::none_of(fs::path(name), [](const fs::path& part) { return part == ".."; });
}

// Whether the listed names are within the bounds and each a sound name.
bool holdsSoundNames(const nlohmann::json& files)
{
    if (files.size() > kGameFileListMaxEntries)
        return false;
    std::uintmax_t bytes = 0;
    for (const auto& [name, size] : files.items()) {
        bytes += name.size();
        if (bytes > kGameFileListMaxNameBytes || !isSoundName(name))
            return false;
    }
    return true;
}

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

} // namespace

void writeGameFileList(const fs::path& game, const fs::path& list)
{
    nlohmann::json files = nlohmann::json::object();
    walkTree(game, {}, [&](const fs::directory_entry& entry) {
        const fs::path relative = entry.path().lexically_relative(game);
        // JSON holds UTF-8 text only; a name in another encoding, which only some
        // file systems allow, stays out of the list rather than failing the import.
        const std::string name = relative.generic_string();
        if (entry.symlink_status().type() == fs::file_type::regular && isListed(relative) && isValidUtf8(name))
            files[name] = entry.file_size();
        return true;
    });
    writeFileAtomically(list, nlohmann::json{{"format", kFormat}, {"files", files}}.dump());
}

std::optional<std::vector<std::string>> changedGameFiles(const fs::path& game, const fs::path& list)
{
    if (!presentQuietly(list))
        return std::vector<std::string>{};
    std::string text;
    try {
        text = readRegular(list, {.followLinks = false, .maxSize = kListLimit});
    } catch (const fs::filesystem_error&) {
        return std::nullopt;
    }
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (!json.is_object() || !json.contains("format") || json["format"] != kFormat
        || !json.contains("files") || !json["files"].is_object() || !holdsSoundNames(json["files"]))
        return std::nullopt;

    std::vector<std::string> changed;
    for (const auto& [name, size] : json["files"].items()) {
        std::optional<EntryFacts> facts;
        try {
            facts = entryFacts(game / fs::path(name));
        } catch (const fs::filesystem_error&) {
            // What cannot be examined counts as changed.
        }
        const bool same = size.is_number_unsigned() && facts && facts->kind == EntryFacts::Kind::file
            && facts->size == size.get<std::uintmax_t>();
        if (!same)
            changed.push_back(name);
    }
    return changed;
}

} // namespace launcher

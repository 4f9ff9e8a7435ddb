#include "saves/FollowedLinks.h"

#include "core/PathWithin.h"
#include "saves/SavesCopy.h"

#include <algorithm>
#include <optional>
#include <system_error>

namespace launcher {
namespace {

namespace fs = std::filesystem;

constexpr const char* kWayOut = "; link it to a folder of its own to have its saves kept.";

// A folder whose saves are copied, as the file system resolves it, and the path they are copied through.
struct Copied {
    fs::path folder;
    fs::path through;
};

std::string shown(const Layout& layout, const fs::path& link)
{
    return link.lexically_relative(layout.users().parent_path()).string();
}

// Why the link must not be followed, or nothing.
std::optional<std::string> reasonToLeaveOut(const Layout& layout, const fs::path& folder,
                                            const std::vector<Copied>& copied)
{
    if (liesWithin(layout.root(), folder))
        return std::string(", a link to a folder that holds the launcher's folder") + kWayOut;
    if (liesWithin(folder, layout.root()))
        return std::string(", a link into the launcher's folder") + kWayOut;
    for (const Copied& other : copied) {
        if (liesWithin(folder, other.folder))
            return ", a link to saves it keeps through " + shown(layout, other.through) + ".";
        if (liesWithin(other.folder, folder))
            return ", a link to a folder around the saves it keeps through " + shown(layout, other.through) + kWayOut;
    }
    return std::nullopt;
}

std::vector<fs::path> entriesOf(const fs::path& folder)
{
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    std::ranges::sort(entries);
    return entries;
}

} // namespace

bool FollowedLinks::follows(const fs::path& link) const
{
    return std::ranges::find(followed, link) != followed.end();
}

bool FollowedLinks::leavesOut(const fs::path& link) const
{
    return std::ranges::find(leftOut, link, &LeftOut::link) != leftOut.end();
}

std::vector<std::string> FollowedLinks::sentences() const
{
    std::vector<std::string> sentences;
    for (const LeftOut& link : leftOut)
        sentences.push_back(link.sentence);
    return sentences;
}

FollowedLinks followedLinks(const Layout& layout)
{
    FollowedLinks links;
    std::vector<Copied> copied;
    // Follows the link unless it must be left out; false when it is left out.
    const auto consider = [&](const fs::path& link) {
        std::error_code error;
        const fs::path folder = fs::canonical(link, error);
        if (error)
            return false;
        if (const std::optional<std::string> reason = reasonToLeaveOut(layout, folder, copied)) {
            links.leftOut.push_back({link, "The snapshot leaves out " + shown(layout, link) + *reason});
            return false;
        }
        links.followed.push_back(link);
        copied.push_back({folder, link});
        return true;
    };

    const fs::path users = layout.users();
    std::error_code error;
    if (isLinkToFolder(users)) {
        if (!consider(users))
            return links;
    } else if (const fs::path folder = fs::canonical(users, error); !error) {
        copied.push_back({folder, users});
    } else {
        return links;
    }
    for (const fs::path& entry : entriesOf(users))
        if (isLinkToFolder(entry))
            consider(entry);
    return links;
}

} // namespace launcher

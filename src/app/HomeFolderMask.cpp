#include "app/HomeFolderMask.h"

#include "app/CaselessText.h"
#include "core/LowerCase.h"
#include "core/Platform.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <system_error>

namespace launcher {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kShortestBareName = 3;

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

// A byte that continues a name: a match ending before one would only hide the
// beginning of another name ("/a" in "/alice"). Bytes of UTF-8 sequences count;
// "_" does not, so that "Accounts_alice" shows the account name as a word.
bool continuesName(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) != 0 || byte >= 0x80;
}

std::vector<std::string> caselessComponents(const fs::path& path)
{
    std::vector<std::string> components;
    for (const fs::path& part : path.lexically_normal().relative_path())
        if (!part.empty())
            components.push_back(caseless(part.string()));
    return components;
}

void addUnique(std::vector<std::string>& names, const std::string& name)
{
    if (!name.empty() && std::ranges::find(names, name) == names.end())
        names.push_back(name);
}

} // namespace

HomeFolderMask::HomeFolderMask(const std::vector<fs::path>& homes, const std::vector<std::string>& userNames)
{
    // Tried in this order at every position: a drive letter before a bare path.
    for (const fs::path& home : homes) {
        const std::vector<std::string> components = caselessComponents(home);
        if (components.empty())
            continue;
        m_forms.push_back({"z:", components, true, "~"});
        m_forms.push_back({"", components, true, "~"});
    }
    for (const std::string& name : userNames) {
        m_forms.push_back({"c:", {"users", caseless(name)}, true, "~"});
        // The profile's folder on disk, in the prefix and in snapshots alike.
        m_forms.push_back({"", {"users", caseless(name)}, false, "users/~"});
        // The bare account name, in file names and contents ("alice-notes.log",
        // "user=alice"); shorter names would hide common words, and the
        // superuser's names nobody.
        if (name.size() >= kShortestBareName && lowerCase(name) != "root")
            m_forms.push_back({"", {caseless(name)}, false, "~"});
    }
    // Longer forms first, so that no shorter one leaves part of a longer one behind.
    std::ranges::stable_sort(m_forms, std::ranges::greater(), [](const Form& form) {
        return form.components.size() + (form.lead.empty() ? 0 : 1);
    });
}

HomeFolderMask HomeFolderMask::forPlayer(const Layout& layout)
{
    std::vector<fs::path> homes;
    std::vector<std::string> names;
    try {
        homes.push_back(platform::homeFolder());
    } catch (const std::system_error&) {
        // An account without a home folder has none to hide.
    }
    if (!homes.empty()) {
        std::error_code error;
        if (const fs::path resolved = fs::weakly_canonical(homes.front(), error); !error && resolved != homes.front())
            homes.push_back(resolved);
        // The profile usually bears the home folder's own name.
        const fs::path normal = homes.front().lexically_normal();
        addUnique(names, (normal.has_filename() ? normal : normal.parent_path()).filename().string());
    }
    addUnique(names, platform::loginName());
    if (const char* user = std::getenv("USER"); user != nullptr)
        addUnique(names, user);
    std::error_code error;
    for (fs::directory_iterator it(layout.users(), error), end; !error && it != end; it.increment(error)) {
        // Wine's profile shared by all users names nobody.
        if (const std::string name = it->path().filename().string(); lowerCase(name) != "public")
            addUnique(names, name);
    }
    return HomeFolderMask(homes, names);
}

std::size_t HomeFolderMask::matchAt(std::string_view folded, std::size_t at, const Form& form) const
{
    std::size_t i = at;
    // A bare path starts at the last separator of a run, so that the run's
    // others stay: "file:///home/alice" becomes "file://~", not "file:~".
    if (form.lead.empty() && form.separatorFirst && i + 1 < folded.size() && isSeparator(folded[i + 1]))
        return 0;
    // A form that starts with a name starts at a name's beginning.
    if (!form.separatorFirst && i > 0 && continuesName(folded[i - 1]))
        return 0;
    if (form.lead.size() > 0 && i > 0 && continuesName(folded[i - 1]))
        return 0;
    if (!folded.substr(i).starts_with(form.lead))
        return 0;
    i += form.lead.size();
    for (std::size_t k = 0; k < form.components.size(); ++k) {
        if (k > 0 || form.separatorFirst) {
            if (i >= folded.size() || !isSeparator(folded[i]))
                return 0;
            while (i < folded.size() && isSeparator(folded[i]))
                ++i;
        }
        if (!folded.substr(i).starts_with(form.components[k]))
            return 0;
        i += form.components[k].size();
    }
    if (i < folded.size() && continuesName(folded[i]))
        return 0;
    return i - at;
}

std::string HomeFolderMask::apply(std::string_view text) const
{
    // Matched in the folded text, escapes decoded; what is kept comes from the
    // text as it was, so a match must begin and end with whole pieces of it.
    const CaselessText caselessForm = caselessText(text, {.decodeEscapes = true});
    const std::string& folded = caselessForm.folded;
    const std::vector<std::size_t>& starts = caselessForm.foldedStarts;
    std::string masked;
    masked.reserve(text.size());
    for (std::size_t piece = 0; piece < caselessForm.pieces();) {
        std::size_t next = piece + 1;
        const Form* matchedForm = nullptr;
        for (const Form& form : m_forms) {
            const std::size_t matched = matchAt(folded, starts[piece], form);
            if (matched == 0)
                continue;
            const auto end = std::lower_bound(starts.begin() + static_cast<std::ptrdiff_t>(piece), starts.end(),
                                              starts[piece] + matched);
            if (end != starts.end() && *end == starts[piece] + matched) {
                next = static_cast<std::size_t>(end - starts.begin());
                matchedForm = &form;
                break;
            }
        }
        if (matchedForm != nullptr)
            masked += matchedForm->replacement;
        else
            masked += text.substr(caselessForm.originalStarts[piece],
                                  caselessForm.originalStarts[piece + 1] - caselessForm.originalStarts[piece]);
        piece = next;
    }
    return masked;
}

} // namespace launcher

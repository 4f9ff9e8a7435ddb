#include "app/HomeFolderMask.h"

#include "core/LowerCase.h"
#include "core/Platform.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <system_error>

namespace launcher {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kShortestBareName = 3;

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

// Lower-cases ASCII and the Latin-1 capitals ("Ä" to "ä"), which in UTF-8 keep
// their length, so that positions in the folded text are positions in the text.
std::string foldCase(std::string_view text)
{
    std::string folded = lowerCase(std::string(text));
    for (std::size_t i = 0; i + 1 < folded.size(); ++i) {
        const auto second = static_cast<unsigned char>(folded[i + 1]);
        // U+00C0 to U+00DE, except the multiplication sign U+00D7.
        if (static_cast<unsigned char>(folded[i]) == 0xc3 && second >= 0x80 && second <= 0x9e && second != 0x97)
            folded[i + 1] = static_cast<char>(second + 0x20);
    }
    return folded;
}

// A byte that continues a name: a match ending before one would only hide the
// beginning of another name ("/a" in "/alice"). Bytes of UTF-8 sequences count;
// "_" does not, so that "Accounts_alice" shows the account name as a word.
bool continuesName(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) != 0 || byte >= 0x80;
}

std::vector<std::string> lowerComponents(const fs::path& path)
{
    std::vector<std::string> components;
    for (const fs::path& part : path.lexically_normal().relative_path())
        if (!part.empty())
            components.push_back(foldCase(part.string()));
    return components;
}

// A component as a file: URL writes it, with lower-case hex digits, since the
// text is matched lower-cased: "my home" as "my%20home".
std::string urlEncoded(const std::string& component)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string encoded;
    for (const char c : component) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0xf];
        }
    }
    return encoded;
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
        const std::vector<std::string> components = lowerComponents(home);
        if (components.empty())
            continue;
        m_forms.push_back({"z:", components, true, "~"});
        m_forms.push_back({"", components, true, "~"});
        std::vector<std::string> encoded;
        std::ranges::transform(components, std::back_inserter(encoded), urlEncoded);
        if (encoded != components)
            m_forms.push_back({"", encoded, true, "~"});
    }
    for (const std::string& name : userNames) {
        m_forms.push_back({"c:", {"users", foldCase(name)}, true, "~"});
        // The profile's folder on disk, in the prefix and in snapshots alike.
        m_forms.push_back({"", {"users", foldCase(name)}, false, "users/~"});
        // The bare account name, in file names and contents ("alice-notes.log",
        // "user=alice"); shorter names would hide common words, and the
        // superuser's names nobody.
        if (name.size() >= kShortestBareName && lowerCase(name) != "root")
            m_forms.push_back({"", {foldCase(name)}, false, "~"});
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
    // Matched without case; what is kept comes from the text as it was.
    const std::string folded = foldCase(text);
    std::string masked;
    masked.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t matched = 0;
        for (const Form& form : m_forms) {
            if ((matched = matchAt(folded, at, form)) > 0) {
                masked += form.replacement;
                break;
            }
        }
        if (matched > 0) {
            at += matched;
        } else {
            masked += text[at];
            ++at;
        }
    }
    return masked;
}

} // namespace launcher

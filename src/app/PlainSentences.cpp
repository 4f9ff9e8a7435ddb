#include "app/PlainSentences.h"

#include <algorithm>
#include <cctype>

namespace launcher {

std::string listing(const std::vector<std::string>& items, std::size_t limit)
{
    std::vector<std::string> named(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(std::min(limit, items.size())));
    if (named.size() < items.size())
        named.push_back(std::to_string(items.size() - named.size()) + " more");
    std::string text;
    for (std::size_t i = 0; i < named.size(); ++i) {
        if (i > 0)
            text += i + 1 == named.size() ? " and " : ", ";
        text += named[i];
    }
    return text;
}

std::string sentence(const std::vector<std::string>& phrases)
{
    std::string text = listing(phrases) + ".";
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

} // namespace launcher

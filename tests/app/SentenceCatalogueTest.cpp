// The player's sentences live in the catalogue and nowhere else: a scan of the
// sources for quoted, capitalised sentences (adjacent literals joined, comments
// left out) finds them only in the catalogue's files, and finds each there once.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace launcher {
namespace {

namespace fs = std::filesystem;

// The catalogue: the engine's sentences, each front end's ways on and file
// failures, the window's own words and the menu's.
const std::set<std::string> kCatalogue{"core/PlayerSentences.h", "app/FailureMessage.cpp", "ui/WindowTexts.h",
                                       "ui/MenuTexts.cpp"};

std::string contentOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The string literals of C++ source, with adjacent ones joined as the compiler
// joins them; comments and character literals are skipped. Escapes stay as written.
std::vector<std::string> literalsOf(const std::string& source)
{
    std::vector<std::string> literals;
    bool joining = false;
    for (std::size_t at = 0; at < source.size();) {
        const char c = source[at];
        if (source.compare(at, 2, "//") == 0) {
            at = source.find('\n', at);
            continue;
        }
        if (source.compare(at, 2, "/*") == 0) {
            at = source.find("*/", at);
            at = at == std::string::npos ? source.size() : at + 2;
            continue;
        }
        if (c == '\'' && at > 0 && !std::isalnum(static_cast<unsigned char>(source[at - 1]))) {
            const std::size_t end = source.find('\'', at + (source[at + 1] == '\\' ? 3 : 2));
            at = end == std::string::npos ? source.size() : end + 1;
            continue;
        }
        if (c == '"') {
            std::string text;
            std::size_t end = at + 1;
            for (; end < source.size() && source[end] != '"'; ++end) {
                if (source[end] == '\\')
                    text += source[end++];
                text += source[end];
            }
            if (joining)
                literals.back() += text;
            else
                literals.push_back(text);
            joining = true;
            at = end + 1;
            continue;
        }
        if (!std::isspace(static_cast<unsigned char>(c)))
            joining = false;
        ++at;
    }
    return literals;
}

// A sentence for the player: it starts with a capital letter, ends as a
// sentence does and has at least four words; labels such as "Restore Saves…" do not.
bool isPlayerSentence(const std::string& text)
{
    if (text.empty() || !std::isupper(static_cast<unsigned char>(text.front())))
        return false;
    const bool ends = text.ends_with('.') || text.ends_with('?') || text.ends_with('!') || text.ends_with("…");
    return ends && std::ranges::count(text, ' ') >= 3;
}

TEST(SentenceCatalogue, OnlyTheCatalogueSpellsThePlayersSentencesAndEachOnce)
{
    const fs::path sources = fs::path(VEYRA2_SOURCE_DIR) / "src";
    std::vector<std::string> outside;
    std::map<std::string, std::vector<std::string>> catalogue;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(sources)) {
        const fs::path file = entry.path();
        if (!entry.is_regular_file() || (file.extension() != ".cpp" && file.extension() != ".h"))
            continue;
        const std::string name = file.lexically_relative(sources).generic_string();
        for (const std::string& literal : literalsOf(contentOf(file))) {
            if (!isPlayerSentence(literal))
                continue;
            if (kCatalogue.contains(name))
                catalogue[literal].push_back(name);
            else
                outside.push_back(name + ": " + literal);
        }
    }
    EXPECT_EQ(outside, std::vector<std::string>{}) << "sentences for the player belong in the catalogue";
    EXPECT_GT(catalogue.size(), 50u) << "the scan finds the catalogue's sentences";
    for (const auto& [sentence, files] : catalogue)
        EXPECT_EQ(files.size(), 1u) << '"' << sentence << "\" is in the catalogue more than once";
}

} // namespace
} // namespace launcher

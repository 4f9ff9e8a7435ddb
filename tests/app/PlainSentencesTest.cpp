#include "app/PlainSentences.h"

#include <gtest/gtest.h>

namespace launcher {
namespace {

TEST(PlainSentences, ListsNameAFewItemsAndCountTheRest)
{
    const struct {
        std::vector<std::string> items;
        std::size_t limit;
        const char* listed;
    } cases[] = {
        {{"a"}, 3, "a"},
        {{"a", "b"}, 3, "a and b"},
        {{"a", "b", "c"}, 3, "a, b and c"},
        {{"a", "b", "c", "d"}, 3, "a, b, c and 1 more"},
        {{"a", "b", "c", "d", "e", "f"}, 3, "a, b, c and 3 more"},
        {{"a", "b", "c", "d"}, 0, "4 more"},
    };
    for (const auto& [items, limit, listed] : cases)
        EXPECT_EQ(listing(items, limit), listed);
}

TEST(PlainSentences, PhrasesBecomeOneSentence)
{
    EXPECT_EQ(sentence({"the drive C: is missing"}), "The drive C: is missing.");
    EXPECT_EQ(sentence({"the game link is missing", "the audio decoder is missing", "it is not registered"}),
              "The game link is missing, the audio decoder is missing and it is not registered.");
}

} // namespace
} // namespace launcher

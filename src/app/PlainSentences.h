#pragma once
// Lists and sentences for the player, built from short phrases.

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace launcher {

// "a", "a and b", "a, b and c". Beyond `limit` items the rest are counted:
// "a, b, c and 2 more".
std::string listing(const std::vector<std::string>& items,
                    std::size_t limit = std::numeric_limits<std::size_t>::max());

// The phrases as one sentence: listed, the first letter upper case, a full stop.
std::string sentence(const std::vector<std::string>& phrases);

} // namespace launcher

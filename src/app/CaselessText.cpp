#include "app/CaselessText.h"

#include <array>
#include <optional>

#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

namespace launcher {
namespace {

// Far above what one character's decomposition and folding can grow to.
constexpr int32_t kPieceCapacity = 64;

std::optional<unsigned> hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<unsigned>(c - 'A' + 10);
    return std::nullopt;
}

// The number written by `digits` hexadecimal digits at `at`, if they are there.
std::optional<unsigned> hexAt(std::string_view text, std::size_t at, std::size_t digits)
{
    if (at + digits > text.size())
        return std::nullopt;
    unsigned value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const std::optional<unsigned> digit = hexValue(text[at + i]);
        if (!digit)
            return std::nullopt;
        value = value * 16 + *digit;
    }
    return value;
}

// The code point that the UTF-8 sequence at `at` of `bytes` encodes, and its
// length; nothing when the bytes there are no sound sequence.
std::optional<std::pair<char32_t, std::size_t>> utf8At(std::string_view bytes, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80)
        return std::pair{char32_t{lead}, std::size_t{1}};
    const std::size_t length = lead >= 0xf0 && lead <= 0xf4 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 && lead < 0xe0 ? 2 : 0;
    if (length == 0 || (length == 3 && lead > 0xef) || at + length > bytes.size())
        return std::nullopt;
    char32_t code = lead & (0x7f >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if ((next & 0xc0) != 0x80)
            return std::nullopt;
        code = (code << 6) | (next & 0x3f);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return std::nullopt;
    return std::pair{code, length};
}

// NFD, full case folding, NFD again: Unicode's canonical caseless form of one
// character. ASCII folds without ICU.
std::string foldCharacter(char32_t code)
{
    if (code < 0x80)
        return std::string(1, static_cast<char>(code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code));
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
    std::array<UChar, 2> original{};
    int32_t originalLength = 0;
    UBool tooLong = false;
    U16_APPEND(original.data(), originalLength, static_cast<int32_t>(original.size()), static_cast<UChar32>(code),
               tooLong);
    std::array<UChar, kPieceCapacity> decomposed{};
    std::array<UChar, kPieceCapacity> folded{};
    const int32_t decomposedLength =
        unorm2_normalize(nfd, original.data(), originalLength, decomposed.data(), kPieceCapacity, &status);
    const int32_t foldedLength = u_strFoldCase(folded.data(), kPieceCapacity, decomposed.data(), decomposedLength,
                                               U_FOLD_CASE_DEFAULT, &status);
    const int32_t normalLength =
        unorm2_normalize(nfd, folded.data(), foldedLength, decomposed.data(), kPieceCapacity, &status);
    std::array<char, 4 * kPieceCapacity> utf8{};
    int32_t utf8Length = 0;
    u_strToUTF8(utf8.data(), static_cast<int32_t>(utf8.size()), &utf8Length, decomposed.data(), normalLength, &status);
    if (U_FAILURE(status) || tooLong) {
        // Unreachable with sound data; the character then stands for itself.
        std::array<char, 4> own{};
        int32_t ownLength = 0;
        u_strToUTF8(own.data(), static_cast<int32_t>(own.size()), &ownLength, original.data(), originalLength, &status);
        return std::string(own.data(), static_cast<std::size_t>(ownLength));
    }
    return std::string(utf8.data(), static_cast<std::size_t>(utf8Length));
}

class Folding final {
public:
    explicit Folding(std::string_view text) : m_text(text) { m_result.folded.reserve(text.size()); }

    // Adds the next piece, which begins at `from` in the original, folded as `folded`.
    void add(std::size_t from, std::string_view folded)
    {
        m_result.originalStarts.push_back(from);
        m_result.foldedStarts.push_back(m_result.folded.size());
        m_result.folded += folded;
    }

    CaselessText finish()
    {
        m_result.originalStarts.push_back(m_text.size());
        m_result.foldedStarts.push_back(m_result.folded.size());
        return std::move(m_result);
    }

private:
    std::string_view m_text;
    CaselessText m_result;
};

// A run of percent escapes from `at`: the characters their bytes encode, each
// a piece spanning its escapes, and bytes that encode none kept as written.
// Returns where the run ends.
std::size_t addPercentRun(Folding& folding, std::string_view text, std::size_t at)
{
    std::string bytes;
    for (std::size_t i = at; text.substr(i).starts_with('%') && hexAt(text, i + 1, 2); i += 3)
        bytes += static_cast<char>(*hexAt(text, i + 1, 2));
    for (std::size_t k = 0; k < bytes.size();) {
        const std::size_t from = at + 3 * k;
        if (const auto decoded = utf8At(bytes, k)) {
            folding.add(from, foldCharacter(decoded->first));
            k += decoded->second;
        } else {
            folding.add(from, caseless(text.substr(from, 3)));
            ++k;
        }
    }
    return at + 3 * bytes.size();
}

// A JSON escape "\uXXXX" at `at`, or a pair of them for a character beyond the
// first plane; its length, 0 when there is none.
std::size_t addJsonEscape(Folding& folding, std::string_view text, std::size_t at)
{
    if (!text.substr(at).starts_with("\\u"))
        return 0;
    const std::optional<unsigned> unit = hexAt(text, at + 2, 4);
    if (!unit)
        return 0;
    if (*unit >= 0xd800 && *unit <= 0xdbff) {
        const std::optional<unsigned> low = text.substr(at + 6).starts_with("\\u") ? hexAt(text, at + 8, 4) : std::nullopt;
        if (!low || *low < 0xdc00 || *low > 0xdfff)
            return 0;
        folding.add(at, foldCharacter(0x10000 + ((*unit - 0xd800) << 10) + (*low - 0xdc00)));
        return 12;
    }
    if (*unit >= 0xdc00 && *unit <= 0xdfff)
        return 0;
    folding.add(at, foldCharacter(*unit));
    return 6;
}

} // namespace

CaselessText caselessText(std::string_view text, CaselessOptions options)
{
    Folding folding(text);
    // Backslashes just before `at`: after an odd number the next one is escaped.
    std::size_t backslashes = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (options.decodeEscapes && text[at] == '%' && hexAt(text, at + 1, 2)) {
            at = addPercentRun(folding, text, at);
            backslashes = 0;
            continue;
        }
        if (options.decodeEscapes && backslashes % 2 == 0) {
            if (const std::size_t length = addJsonEscape(folding, text, at); length > 0) {
                at += length;
                backslashes = 0;
                continue;
            }
        }
        backslashes = text[at] == '\\' ? backslashes + 1 : 0;
        if (const auto decoded = utf8At(text, at)) {
            folding.add(at, foldCharacter(decoded->first));
            at += decoded->second;
        } else {
            folding.add(at, text.substr(at, 1));
            ++at;
        }
    }
    return folding.finish();
}

std::string caseless(std::string_view text)
{
    return caselessText(text).folded;
}

} // namespace launcher

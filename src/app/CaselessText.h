#pragma once
// Text in the form in which the home folder's mask compares it: every character
// in one normal form, canonical decomposition (NFD) with full Unicode case
// folding, so that "Æ" and "æ", "ß" and "SS", "АЛИСА" and "алиса", and "ë" and
// "e" followed by a combining diaeresis compare equal. Escapes can be decoded
// first: percent escapes ("%C3%86", "%2F") and JSON's "\u00c6" (with the
// surrogate pairs of characters beyond the first plane). Marks are compared in
// the order they are written. Each character of the original, or escape, is one
// piece, and the folded text records where each piece begins in both, so that a
// match in the folded text can be replaced in the original.
//
//   const CaselessText text = caselessText(original, {.decodeEscapes = true});
//   // text.folded[text.foldedStarts[k]] begins piece k, from text.originalStarts[k] in the original
//
// ICU does the normalization and the folding, through its C API.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

struct CaselessText {
    std::string folded;
    // Where each piece begins in `folded` and in the original text, each with
    // one more entry for the ends; equal lengths.
    std::vector<std::size_t> foldedStarts;
    std::vector<std::size_t> originalStarts;

    std::size_t pieces() const { return foldedStarts.size() - 1; }
};

struct CaselessOptions {
    bool decodeEscapes = false;
};

// Bytes that are not UTF-8 are pieces of their own, kept as they are.
CaselessText caselessText(std::string_view text, CaselessOptions options = {});

// The folded text alone, for names compared against it.
std::string caseless(std::string_view text);

} // namespace launcher

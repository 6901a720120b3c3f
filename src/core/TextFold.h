#pragma once

#include <string>
#include <string_view>

// The form in which texts are searched for as people type them: letters upper-cased and stripped of their
// accents ("São" and "sao" both become "SAO"), as code points.
std::u32string SearchFold(std::string_view text);

// Whether the search form of `text` starts with, or equals, `folded` (a SearchFold result). They fold `text`
// on the fly, one character at a time, and stop at the first difference.
bool FoldedStartsWith(std::string_view text, std::u32string_view folded);
bool FoldedEquals(std::string_view text, std::u32string_view folded);

// Compares two texts by the rules of the user's language, letter case included (-1, 0 or 1).
int LocaleCompare(std::string_view a, std::string_view b);

// The search form of the first character of a text (0 for an empty text).
char32_t SearchFoldFirst(std::string_view text);

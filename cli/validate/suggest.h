// Suggestions for misspelt keys, enumeration values and ids: the same word in another
// case, a known synonym, or the nearest word by edit distance.
#pragma once

#include <string>
#include <vector>

namespace kestrun_validate {

// Edit distance of the two words, letters compared without case.
std::size_t editDistance(const std::string& a, const std::string& b);

// The candidate nearest `word`, or empty when none is near enough: a candidate equal
// without case, then the synonym table's word for it (when it is a candidate), then the
// smallest edit distance within a third of the word's length (at least 1, at most 3).
std::string nearest(const std::string& word, const std::vector<std::string>& candidates);

// `did you mean "word"?`
std::string didYouMean(const std::string& word);

}  // namespace kestrun_validate

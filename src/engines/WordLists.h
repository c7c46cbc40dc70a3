#pragma once

// The query syntaxes of the word-list and search-engine types.

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// "Word: or" / "Word: and" syntax: words separated by runs of control characters and spaces; a
// double-quoted word may hold spaces, "" inside it stands for one quote; an unclosed quote runs
// to the end of the query and keeps every character after it.
std::vector<std::string> SplitWordList(std::string_view query);

// "Search Engine" syntax: +required, -excluded, optional words and "quoted phrases", separated
// by spaces. False at an unclosed quote or a closing quote followed by anything but a space;
// the lists then keep the words read before it.
struct SearchQuery {
  std::vector<std::string> excluded;
  std::vector<std::string> optional;
  std::vector<std::string> required;
};
bool ParseSearchQuery(std::string_view query, SearchQuery& out);

// The words that take part in a search: an empty word is never searched nor highlighted.
std::vector<std::string> NonEmptyWords(const std::vector<std::string>& words);

// Puts words that contain another word before it, so that the longer one is marked first
// (a, ab, abc become abc, ab, a).
void OrderForHighlighting(std::vector<std::string>& words);

}  // namespace velmora

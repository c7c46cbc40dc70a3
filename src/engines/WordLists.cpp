#include "engines/WordLists.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace velmora {

namespace {

bool IsListSeparator(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

// Reads one "Search Engine" word from q; false at a quote error. next is where parsing goes on.
bool ReadQueryWord(std::string_view query, std::size_t q, std::string& word, std::size_t& next) {
  if (q < query.size() && query[q] == '"') {
    const auto close = query.find('"', q + 1);
    if (close == std::string_view::npos) return false;
    if (close + 1 < query.size() && query[close + 1] != ' ') return false;
    word.assign(query.substr(q + 1, close - q - 1));
    next = close + 1;
    return true;
  }
  const auto space = std::min(query.find(' ', q), query.size());
  word.assign(query.substr(std::min(q, query.size()), space - std::min(q, query.size())));
  next = space;
  return true;
}

}  // namespace

std::vector<std::string> SplitWordList(std::string_view query) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < query.size()) {
    if (IsListSeparator(query[i])) {
      ++i;
      continue;
    }
    std::string word;
    if (query[i] == '"') {
      std::size_t j = i + 1;
      bool closed = false;
      while (j < query.size()) {
        if (query[j] != '"') {
          word += query[j++];
        } else if (j + 1 < query.size() && query[j + 1] == '"') {
          word += '"';
          j += 2;
        } else {
          closed = true;
          ++j;
          break;
        }
      }
      if (!closed) word.assign(query.substr(i + 1));
      i = j;
    } else {
      const std::size_t start = i;
      while (i < query.size() && !IsListSeparator(query[i])) ++i;
      word.assign(query.substr(start, i - start));
    }
    words.push_back(std::move(word));
  }
  return words;
}

bool ParseSearchQuery(std::string_view query, SearchQuery& out) {
  out = SearchQuery{};
  std::size_t p = 0;
  while (p < query.size()) {
    if (query[p] == ' ') {
      ++p;
      continue;
    }
    std::vector<std::string>* list = &out.optional;
    std::size_t start = p;
    if (query[p] == '+') {
      list = &out.required;
      start = p + 1;
    } else if (query[p] == '-') {
      list = &out.excluded;
      start = p + 1;
    }
    std::string word;
    if (!ReadQueryWord(query, start, word, p)) return false;
    list->push_back(std::move(word));
  }
  return true;
}

std::vector<std::string> NonEmptyWords(const std::vector<std::string>& words) {
  std::vector<std::string> result;
  std::copy_if(words.begin(), words.end(), std::back_inserter(result),
               [](const std::string& w) { return !w.empty(); });
  return result;
}

void OrderForHighlighting(std::vector<std::string>& words) {
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    for (std::size_t j = i + 1; j < words.size(); ++j) {
      if (!words[i].empty() && words[j].find(words[i]) != std::string::npos) {
        std::swap(words[i], words[j]);
      }
    }
  }
}

}  // namespace velmora

#pragma once

// What an engine keeps from file to file during a run: the compiled pattern and the finder of
// the lines that can match, built on the first file and reused while the query and the options
// stay the same. No behaviour depends on it; it only saves building them again per file.

#include <memory>
#include <string>
#include <vector>

namespace velmora {

class LineSearcher;
class WordListSearcher;

// One searcher per word of the current query.
class WordSearchers {
 public:
  // The searcher of word as WordPattern with wholeWords, case as asked; built on first use.
  std::shared_ptr<LineSearcher> For(const std::string& word, bool caseSensitive, bool wholeWords);

 private:
  struct Entry {
    std::string word;
    bool caseSensitive;
    bool wholeWords;
    std::shared_ptr<LineSearcher> searcher;
  };
  std::vector<Entry> entries_;
};

// The searcher of the current word list (WordListScan.h).
class WordListCache {
 public:
  std::shared_ptr<WordListSearcher> For(const std::vector<std::string>& words, bool caseSensitive,
                                        bool wholeWords);

 private:
  std::shared_ptr<WordListSearcher> kept_;
};

}  // namespace velmora

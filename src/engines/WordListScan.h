#pragma once

// The words of a word list or query looked for in one pass over a file instead of one pass per
// word: a multi-literal filter jumps to the places where a word not yet found occurs, and only
// there is a line given to that word's regex.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "engines/LineSearch.h"
#include "engines/LiteralScanner.h"
#include "engines/SearcherCache.h"

namespace velmora {

// What a word list needs for file after file, built once: each word's regex (WordPattern with
// wholeWords) and literal. A word without a literal (the empty word) is searched on its own.
class WordListSearcher {
 public:
  WordListSearcher(const std::vector<std::string>& words, bool caseSensitive, bool wholeWords);
  WordListSearcher(const WordListSearcher&) = delete;
  WordListSearcher& operator=(const WordListSearcher&) = delete;

  bool Fits(const std::vector<std::string>& words, bool caseSensitive, bool wholeWords) const;

 private:
  friend class WordListScan;

  std::vector<std::string> words_;
  bool caseSensitive_;
  bool wholeWords_;
  std::vector<std::unique_ptr<TRegex>> regexes_;      // per word; none for a word alone
  std::vector<std::unique_ptr<LineSearcher>> alone_;  // per word without a literal
  std::vector<LiteralMatch> literals_;                // of the words with a regex, in order
  std::vector<std::size_t> wordOf_;                   // the word of each literal
};

// One file searched for all the words of a searcher. The file is read only as far as the
// questions asked need, through its moving window.
class WordListScan {
 public:
  WordListScan(TextBuffer& file, WordListSearcher& searcher, const EngineProgress& progress);
  WordListScan(const WordListScan&) = delete;
  WordListScan& operator=(const WordListScan&) = delete;

  // What FindWordInBuffer for word k alone gives, progress calls included: one per line
  // before the first line that holds the word (every line when none does), a stop making the
  // result false. A word whose pattern does not compile is not found, after no call.
  bool SearchWord(std::size_t k);
  // True when the progress calls cannot change a result: no event and no stop yet.
  bool Quiet() const { return !progress_.Assigned() && !progress_.Stopped(); }
  // Whether any of the words first to last - 1 occurs; scans only until one is found. No
  // progress calls: for Quiet() searches.
  bool AnyOf(std::size_t first, std::size_t last);

 private:
  enum class State { Open, Found, Absent };
  void SearchAlone(std::size_t k);
  bool Advance();
  void TakeCandidate(std::string_view text, std::size_t pos, std::size_t literal);
  void CountLinesTo(std::string_view text, std::size_t lineStart);
  void MoveWindowOn();
  void Finish();

  TextBuffer& file_;
  WordListSearcher& searcher_;
  const EngineProgress progress_;  // a copy: it only refers to the event and the flag
  bool countLines_;                // the line numbers matter only to replay progress calls
  MultiLiteralScanner scanner_;
  std::vector<State> state_;
  std::vector<std::size_t> linesBefore_;  // Found: the first line's index; Absent: all lines
  // Positions in the file's window, moved back whenever the window moves on.
  std::size_t from_ = 0;       // every candidate before it is handled
  std::size_t regionEnd_ = 0;  // the text before it ends with a whole line
  std::size_t unseen_ = 0;     // no line break lies in [regionEnd_, unseen_)
  std::size_t lineFloor_ = 0;  // a line start at or before from_
  std::size_t countedTo_ = 0;  // a line start; linesCounted_ lines lie before it
  std::size_t linesCounted_ = 0;
  bool ended_ = false;
};

}  // namespace velmora

#pragma once

// The "Lines Viewer" page: the fixed head and tail, the body line forms, HTML escaping and the
// marking of matches. Engines find lines; this draws them.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class TRegex;

// Wraps the whole match in blue; used with ReplaceAll on already escaped text.
inline constexpr const char* HIGHLIGHT_TEMPLATE = "<font color=\"#0000FF\">$0</font>";

// "&" "<" ">" and the double quote as HTML entities; nothing else changes.
std::string HtmlEscape(std::string_view text);

// The "Lines Viewer" page of one file: the fixed head, the body lines added, the fixed tail.
class LinesPage {
 public:
  enum class Mark { Plain, Chosen, NotChosen };

  explicit LinesPage(const std::string& fileName);
  // "line N : text" in the given form; N is the 0-based index + 1.
  void AddLine(std::size_t index, std::string_view markedText, Mark mark = Mark::Plain);
  // A multiline block of the 1-based lines first to last ("line A" when they are equal).
  void AddBlock(std::size_t first, std::size_t last);
  // Appends the tail and writes the page, replacing any file of that name.
  void Save(const std::string& pageFileName);

 private:
  void Append(std::string_view line);
  std::string text_;
};

// Marks words in a raw line: the line is HTML-escaped, then every word (escaped too) is
// marked in list order, each in what the earlier ones left. Empty words mark nothing. The
// phrase and word-list pages use it; the patterns are compiled once per page.
class WordHighlighter {
 public:
  WordHighlighter(const std::vector<std::string>& words, bool caseSensitive, bool wholeWords);
  ~WordHighlighter();
  WordHighlighter(const WordHighlighter&) = delete;
  WordHighlighter& operator=(const WordHighlighter&) = delete;
  std::string Mark(std::string_view text);

 private:
  std::vector<std::unique_ptr<TRegex>> patterns_;
};

// Marks every match of regex in a raw line: the expression runs on the raw text and only the
// output is escaped (the regex page).
std::string MarkMatches(TRegex& regex, std::string_view text);

// The form of each body line of the phrase and regex pages: with useIntervals, the lines
// Intervals names are chosen and the others not. An entry that is no line identifier (decimal
// text without sign or leading zeros) chooses no line.
class ChosenMarks {
 public:
  ChosenMarks(bool useIntervals, const std::vector<std::string>& intervals);
  LinesPage::Mark For(std::size_t index) const;

 private:
  bool useIntervals_;
  std::vector<std::size_t> chosen_;  // ascending
};

}  // namespace velmora

#pragma once

// Finding lines with a regex: the progress binding, the file search that stops at the first
// matching line (with its whole-buffer pre-check) and the collection of matching lines.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engines/Un_Tambahan.h"
#include "regex/Regex.h"

namespace velmora {

// An engine's progress event, itself as sender and its Stop flag. With byRuns, a run of lines
// that cannot match is told in one call instead of one call per line.
class EngineProgress {
 public:
  EngineProgress(const TProgressEvent& event, void* sender, bool& stop, bool byRuns = false)
      : event_(event), sender_(sender), stop_(stop), byRuns_(byRuns) {}

  // One progress call; true when a stop was requested.
  bool Tick() const { return ProgressSaysStop(event_, sender_, stop_); }
  // Lets Stop end a runaway match inside a single long line.
  void Bind(TRegex& regex) const;
  bool Stopped() const { return stop_; }
  bool Assigned() const { return static_cast<bool>(event_); }
  bool ByRuns() const { return byRuns_; }

 private:
  const TProgressEvent& event_;
  void* sender_;
  bool& stop_;
  bool byRuns_;
};

// Line breaks (CR, LF) within a text.
bool IsBreak(char c);
// The first break at or after pos, or the text's end.
std::size_t NextBreak(std::string_view text, std::size_t pos);
// The last break in [from, to), or npos.
std::size_t LastBreak(std::string_view text, std::size_t from, std::size_t to);
// Just past the break of the last whole line of text, looking only at [unseen, end of text)
// (the bytes before it hold no break); npos when there is none. A CR at the very end does not
// count yet: its LF may come with the next chunk.
std::size_t WholeLinesEnd(std::string_view text, std::size_t unseen);

// Modifier i from the case option, and the progress binding.
void PrepareRegex(TRegex& regex, bool caseSensitive, const EngineProgress& progress);

// One prepared regex per word (as WordPattern with wholeWords), in word order.
std::vector<std::unique_ptr<TRegex>> CompileWordPatterns(const std::vector<std::string>& words,
                                                         bool caseSensitive, bool wholeWords,
                                                         const EngineProgress& progress);

// The next position at or after from that a matching line must hold (where a match can begin,
// or a literal every match contains); npos when there is none.
using CandidateFinder = std::function<std::size_t(std::string_view text, std::size_t from)>;

// Goes through the lines of text in order until the regex matches in one; after each line
// without a match the progress is called and a stop ends the search with false. Only lines
// that hold a candidate (every line when next is empty) are given to the regex: the others
// cannot match, so they just get their progress call.
// Starts at the file's first line (rewinding it) and reads more of it only while the result
// is still open, releasing the lines it has passed.
bool SearchLines(TextBuffer& file, TRegex& regex, const CandidateFinder& next,
                 const EngineProgress& progress);

// Reads the file from its start window by window and hands visit each run of whole lines not
// yet seen, in order, then drops them; false from visit ends the walk, and the result is false.
bool ForEachLineRun(TextBuffer& file, const std::function<bool(std::string_view lines)>& visit);

// A regex and the finder of the places a matching line must hold, built once and used for
// file after file (see SearcherCache.h).
class LineSearcher {
 public:
  // The pattern of word (WordPattern with wholeWords): a line can match only where the word
  // itself occurs, found with the matcher's own case folding. Nothing is compiled here; a
  // pattern that does not compile raises from Search.
  LineSearcher(const std::string& word, bool caseSensitive, bool wholeWords);
  // The regex that prepare sets up (modifiers, expression), compiled here (ERegexError when it
  // does not compile); lines are looked for where its program says a match must lie.
  explicit LineSearcher(const std::function<void(TRegex&)>& prepare);
  LineSearcher(const LineSearcher&) = delete;
  LineSearcher& operator=(const LineSearcher&) = delete;

  // SearchLines over the file, the progress bound to the regex. Errors propagate.
  bool Search(TextBuffer& file, const EngineProgress& progress);
  // Search over the named file, read on demand. A file that cannot be read (told through
  // onFileError) or a pattern that does not compile is no match; other errors propagate.
  bool SearchFile(const std::string& fileName, const EngineProgress& progress,
                  const TFileErrorEvent& onFileError);

 private:
  TRegex regex_;
  CandidateFinder next_;
};

// Does a line of the buffer contain word (as WordPattern with wholeWords)? Lines are tried in
// order (only those that hold the word itself can match); after each line without a match the
// progress is called and a stop ends the search. Errors propagate.
bool FindWordInBuffer(TextBuffer& file, const std::string& word, bool caseSensitive,
                      bool wholeWords, const EngineProgress& progress);

// True for the regex errors that count as no match: a pattern that does not compile (the
// empty word's pattern included). An error met while matching is a failure to report.
bool PatternDidNotCompile(const ERegexError& error);

// Runs work and gives its result. The two failures that count as no match end it with
// fallback instead: a file that cannot be read (told through onFileError) and a pattern that
// does not compile. Anything else, running out of memory included, reaches the caller.
template <class Result, class Work>
Result NoMatchWhenUnreadable(const TFileErrorEvent& onFileError, Result fallback, Work&& work) {
  try {
    return work();
  } catch (const EFileError& error) {
    if (onFileError) onFileError(error);
  } catch (const ERegexError& error) {
    if (!PatternDidNotCompile(error)) throw;
  }
  return fallback;
}

// The same for work that collects lines: what was collected before the failure stays.
template <class Work>
void KeepCollectedWhenUnreadable(const TFileErrorEvent& onFileError, Work&& work) {
  NoMatchWhenUnreadable(onFileError, true, [&] {
    work();
    return true;
  });
}

// The indices and texts of the lines BuildLines collects.
struct CollectedLines {
  std::vector<std::string>& numbers;
  std::vector<std::string>& texts;
  std::vector<std::string>* intervals;  // also receives every index when given

  void Add(std::size_t index, std::string_view text);
};

// Offers every line of the text to matches(line) and collects those it accepts. After each
// line the progress is called when perLineProgress is set; a stop ends the collection either
// way (matches may call the progress itself).
void CollectLines(std::string_view text, const std::function<bool(std::string_view)>& matches,
                  bool perLineProgress, const EngineProgress& progress, CollectedLines out);
// The same handing each accepted line's index and text to collect.
void CollectLines(std::string_view text, const std::function<bool(std::string_view)>& matches,
                  bool perLineProgress, const EngineProgress& progress,
                  const std::function<void(std::size_t, std::string_view)>& collect);

}  // namespace velmora

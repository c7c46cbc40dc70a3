#include "engines/LineSearch.h"

#include <string.h>

#include <algorithm>
#include <utility>

#include "engines/SearcherCache.h"

namespace velmora {

void EngineProgress::Bind(TRegex& regex) const {
  const TProgressEvent* event = &event_;
  void* sender = sender_;
  bool* stop = &stop_;
  regex.OnProgress = [event, sender, stop](bool& stopMatch) {
    ProgressSaysStop(*event, sender, *stop);
    stopMatch = *stop;
  };
}

void PrepareRegex(TRegex& regex, bool caseSensitive, const EngineProgress& progress) {
  regex.SetModifier(1, !caseSensitive);
  progress.Bind(regex);
}

namespace {

// The progress calls of lines that cannot match; false when a stop was requested. Without an
// event nothing can change Stop meanwhile, so the lines need not be walked one by one. With
// one, the calls need only the number of lines, which is counted much faster than the lines
// are walked; told by runs, not even that.
bool PassLines(std::string_view lines, const EngineProgress& progress) {
  if (lines.empty()) return true;
  if (!progress.Assigned()) return !progress.Stopped();
  if (progress.ByRuns()) return !progress.Tick();
  for (std::size_t n = CountLines(lines); n > 0; --n) {
    if (progress.Tick()) return false;
  }
  return true;
}

}  // namespace

bool IsBreak(char c) {
  return c == '\r' || c == '\n';
}

namespace {

std::size_t Length(const char* begin, const char* end) {
  return static_cast<std::size_t>(end - begin);
}

}  // namespace

// Forward, a byte loop: it stops within the line, however the lines are broken.
std::size_t NextBreak(std::string_view text, std::size_t pos) {
  while (pos < text.size() && !IsBreak(text[pos])) ++pos;
  return pos;
}

// Backward, the LF is looked for first and a CR only after it: in text with LF breaks the
// second search covers the rest of one line, and a run without breaks (a window inside a long
// line) is passed at vector speed.
std::size_t LastBreak(std::string_view text, std::size_t from, std::size_t to) {
  if (to <= from) return std::string_view::npos;
  const char* begin = text.data() + from;
  const char* end = text.data() + to;
  const auto* lf = static_cast<const char*>(memrchr(begin, '\n', Length(begin, end)));
  if (lf != nullptr) begin = lf + 1;
  const auto* cr = static_cast<const char*>(memrchr(begin, '\r', Length(begin, end)));
  const char* last = cr != nullptr ? cr : lf;
  return last != nullptr ? static_cast<std::size_t>(last - text.data()) : std::string_view::npos;
}

std::size_t WholeLinesEnd(std::string_view text, std::size_t unseen) {
  std::size_t end = text.size();
  if (end > unseen && text[end - 1] == '\r') --end;
  const std::size_t pos = LastBreak(text, unseen, end);
  if (pos == std::string_view::npos) return pos;
  const bool crLf = text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n';
  return pos + (crLf ? 2 : 1);
}

namespace {

enum class Outcome { Match, Stop, Exhausted };

// The lines of text; text ends at a line break or at the end of the file's text.
Outcome SearchRegion(std::string_view text, TRegex& regex, const CandidateFinder& next,
                     const EngineProgress& progress) {
  if (!next) {
    LineCursor cursor(text);
    std::string_view line;
    while (cursor.Next(line)) {
      if (regex.ExecView(line)) return Outcome::Match;
      if (progress.Tick()) return Outcome::Stop;
    }
    return Outcome::Exhausted;
  }
  std::size_t from = 0;
  while (from < text.size()) {
    // A candidate on a line break lies in no line.
    std::size_t hit = next(text, from);
    while (hit < text.size() && IsBreak(text[hit])) hit = next(text, hit + 1);
    if (hit >= text.size()) {
      return PassLines(text.substr(from), progress) ? Outcome::Exhausted : Outcome::Stop;
    }
    const std::size_t breakBefore = LastBreak(text, from, hit);
    const std::size_t start = breakBefore == std::string_view::npos ? from : breakBefore + 1;
    if (!PassLines(text.substr(from, start - from), progress)) return Outcome::Stop;
    const std::size_t end = NextBreak(text, hit);
    if (regex.ExecView(text.substr(start, end - start))) return Outcome::Match;
    if (progress.Tick()) return Outcome::Stop;
    const bool crLf = end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n';
    from = end + (crLf ? 2 : 1);
  }
  return Outcome::Exhausted;
}

}  // namespace

bool ForEachLineRun(TextBuffer& file, const std::function<bool(std::string_view)>& visit) {
  file.Rewind();
  std::size_t unseen = 0;  // no line break lies in [0, unseen)
  for (;;) {
    const std::string_view text = file.Text();
    const bool complete = file.TextComplete();
    const std::size_t end = complete ? text.size() : WholeLinesEnd(text, unseen);
    // A CR left at the end is looked at again once more is read.
    unseen = text.empty() || text.back() != '\r' ? text.size() : text.size() - 1;
    std::size_t passed = 0;
    if (end != std::string_view::npos && end > 0) {
      if (!visit(text.substr(0, end))) return false;
      passed = end;
    }
    if (complete) return true;
    // Only the line not yet whole is kept: the window moves on.
    file.Release(passed);
    unseen -= passed;
    file.ReadMore();
  }
}

bool SearchLines(TextBuffer& file, TRegex& regex, const CandidateFinder& next,
                 const EngineProgress& progress) {
  Outcome outcome = Outcome::Exhausted;
  ForEachLineRun(file, [&](std::string_view lines) {
    outcome = SearchRegion(lines, regex, next, progress);
    return outcome == Outcome::Exhausted;
  });
  return outcome == Outcome::Match;
}

namespace {

// Where a matching line must hold something: the literal every match contains, else a byte a
// match can begin at. None when a match may begin at the end of a line (an empty match, say):
// then every line is tried.
CandidateFinder CandidatesOf(const TRegex& regex) {
  const TRegexFastPath& fast = regex.FastPath();
  if (!fast.MandatoryLiteral.empty()) {
    const auto scanner = std::make_shared<LiteralScanner>(
        fast.MandatoryLiteral, !fast.MandatoryLiteralIgnoresCase, regex.ToggleCaseFunction());
    return [scanner](std::string_view text, std::size_t from) { return scanner->Find(text, from); };
  }
  if (fast.StartCharSet[0]) return nullptr;
  const auto starts = fast.StartCharSet;
  return [starts](std::string_view text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
      if (starts[static_cast<unsigned char>(text[i])]) return i;
    }
    return std::string_view::npos;
  };
}

}  // namespace

LineSearcher::LineSearcher(const std::string& word, bool caseSensitive, bool wholeWords) {
  regex_.SetModifier(1, !caseSensitive);
  const std::string pattern = WordPattern(word, wholeWords);
  regex_.SetExpression(pattern);
  if (word.empty()) return;
  // Every match is the word itself, found with the matcher's own case folding, and with whole
  // words its edges are checked right there, before a line is taken.
  const WordEdges edges =
      wholeWords ? WordEdges::OfWordPattern(pattern, regex_.WordCharacters()) : WordEdges();
  const auto scanner =
      std::make_shared<LiteralScanner>(word, caseSensitive, regex_.ToggleCaseFunction(), edges);
  next_ = [scanner](std::string_view text, std::size_t from) { return scanner->Find(text, from); };
}

LineSearcher::LineSearcher(const std::function<void(TRegex&)>& prepare) {
  prepare(regex_);
  regex_.Compile();
  next_ = CandidatesOf(regex_);
}

bool LineSearcher::Search(TextBuffer& file, const EngineProgress& progress) {
  progress.Bind(regex_);
  return SearchLines(file, regex_, next_, progress);
}

bool LineSearcher::SearchFile(const std::string& fileName, const EngineProgress& progress,
                              const TFileErrorEvent& onFileError) {
  return NoMatchWhenUnreadable(onFileError, false, [&] {
    TextBuffer file(fileName, TextBuffer::Mode::OnDemand);
    return Search(file, progress);
  });
}

bool PatternDidNotCompile(const ERegexError& error) {
  // Codes below 1000 are raised while compiling; 1003 is the empty expression.
  constexpr std::int32_t kFirstExecError = 1000;
  constexpr std::int32_t kNoExpression = 1003;
  return error.ErrorCode < kFirstExecError || error.ErrorCode == kNoExpression;
}

bool FindWordInBuffer(TextBuffer& file, const std::string& word, bool caseSensitive,
                      bool wholeWords, const EngineProgress& progress) {
  return LineSearcher(word, caseSensitive, wholeWords).Search(file, progress);
}

std::shared_ptr<LineSearcher> WordSearchers::For(const std::string& word, bool caseSensitive,
                                                 bool wholeWords) {
  for (const Entry& entry : entries_) {
    if (entry.word == word && entry.caseSensitive == caseSensitive &&
        entry.wholeWords == wholeWords) {
      return entry.searcher;
    }
  }
  // Words of earlier queries are dropped once they pile up.
  constexpr std::size_t kKept = 64;
  if (entries_.size() >= kKept) entries_.clear();
  auto searcher = std::make_shared<LineSearcher>(word, caseSensitive, wholeWords);
  entries_.push_back({word, caseSensitive, wholeWords, searcher});
  return searcher;
}

void CollectedLines::Add(std::size_t index, std::string_view text) {
  std::string number = std::to_string(index);
  if (intervals != nullptr) intervals->push_back(number);
  numbers.push_back(std::move(number));
  texts.emplace_back(text);
}

void CollectLines(std::string_view text, const std::function<bool(std::string_view)>& matches,
                  bool perLineProgress, const EngineProgress& progress, CollectedLines out) {
  CollectLines(text, matches, perLineProgress, progress,
               [&out](std::size_t index, std::string_view line) { out.Add(index, line); });
}

void CollectLines(std::string_view text, const std::function<bool(std::string_view)>& matches,
                  bool perLineProgress, const EngineProgress& progress,
                  const std::function<void(std::size_t, std::string_view)>& collect) {
  LineCursor cursor(text);
  std::string_view line;
  for (std::size_t index = 0; cursor.Next(line); ++index) {
    if (matches(line)) collect(index, line);
    if (perLineProgress ? progress.Tick() : progress.Stopped()) return;
  }
}

std::vector<std::unique_ptr<TRegex>> CompileWordPatterns(const std::vector<std::string>& words,
                                                         bool caseSensitive, bool wholeWords,
                                                         const EngineProgress& progress) {
  std::vector<std::unique_ptr<TRegex>> patterns;
  for (const auto& word : words) {
    auto& regex = *patterns.emplace_back(std::make_unique<TRegex>());
    PrepareRegex(regex, caseSensitive, progress);
    regex.SetExpression(WordPattern(word, wholeWords));
  }
  return patterns;
}

}  // namespace velmora

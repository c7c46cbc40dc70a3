#include "engines/WordListScan.h"

#include <algorithm>

namespace velmora {

WordListSearcher::WordListSearcher(const std::vector<std::string>& words, bool caseSensitive,
                                   bool wholeWords)
    : words_(words),
      caseSensitive_(caseSensitive),
      wholeWords_(wholeWords),
      regexes_(words.size()),
      alone_(words.size()) {
  for (std::size_t k = 0; k < words.size(); ++k) {
    if (words[k].empty()) {
      alone_[k] = std::make_unique<LineSearcher>(words[k], caseSensitive, wholeWords);
      continue;
    }
    auto& regex = *(regexes_[k] = std::make_unique<TRegex>());
    regex.SetModifier(1, !caseSensitive);
    const std::string pattern = WordPattern(words[k], wholeWords);
    regex.SetExpression(pattern);
    // A match is the word itself, with whole words its edges checked right there.
    const WordEdges edges =
        wholeWords ? WordEdges::OfWordPattern(pattern, regex.WordCharacters()) : WordEdges();
    literals_.emplace_back(words[k], caseSensitive, regex.ToggleCaseFunction(), edges);
    wordOf_.push_back(k);
  }
}

bool WordListSearcher::Fits(const std::vector<std::string>& words, bool caseSensitive,
                            bool wholeWords) const {
  return words == words_ && caseSensitive == caseSensitive_ && wholeWords == wholeWords_;
}

std::shared_ptr<WordListSearcher> WordListCache::For(const std::vector<std::string>& words,
                                                     bool caseSensitive, bool wholeWords) {
  if (!kept_ || !kept_->Fits(words, caseSensitive, wholeWords)) {
    kept_ = std::make_shared<WordListSearcher>(words, caseSensitive, wholeWords);
  }
  return kept_;
}

WordListScan::WordListScan(TextBuffer& file, WordListSearcher& searcher,
                           const EngineProgress& progress)
    : file_(file),
      searcher_(searcher),
      progress_(progress),
      countLines_(!Quiet()),
      scanner_(searcher.literals_),
      state_(searcher.words_.size(), State::Open),
      linesBefore_(searcher.words_.size(), 0) {
  bool searchedAlone = false;
  for (std::size_t k = 0; k < state_.size(); ++k) {
    if (searcher.alone_[k]) {
      SearchAlone(k);
      searchedAlone = true;
    }
  }
  if (searchedAlone) file.Rewind();
  for (const auto& regex : searcher.regexes_) {
    if (regex) progress.Bind(*regex);
  }
}

// No literal to look for: the word's own search settles it now, its progress calls counted to
// be replayed in turn.
void WordListScan::SearchAlone(std::size_t k) {
  bool stop = false;
  std::size_t calls = 0;
  const TProgressEvent count = [&calls](void*, bool&) { ++calls; };
  try {
    const bool found = searcher_.alone_[k]->Search(file_, EngineProgress(count, nullptr, stop));
    state_[k] = found ? State::Found : State::Absent;
  } catch (const ERegexError& error) {
    if (!PatternDidNotCompile(error)) throw;
    state_[k] = State::Absent;
    calls = 0;
  }
  linesBefore_[k] = calls;
}

void WordListScan::CountLinesTo(std::string_view text, std::size_t lineStart) {
  linesCounted_ += CountLines(text.substr(countedTo_, lineStart - countedTo_));
  countedTo_ = lineStart;
}

void WordListScan::Finish() {
  ended_ = true;
  if (std::find(state_.begin(), state_.end(), State::Open) == state_.end()) return;
  // The whole text was read: a word not found is in none of its lines.
  const std::size_t lines =
      countLines_ ? linesCounted_ + CountLines(file_.Text().substr(countedTo_)) : 0;
  for (std::size_t k = 0; k < state_.size(); ++k) {
    if (state_[k] != State::Open) continue;
    state_[k] = State::Absent;
    linesBefore_[k] = lines;
  }
}

void WordListScan::TakeCandidate(std::string_view text, std::size_t pos, std::size_t literal) {
  from_ = pos;               // other words may still start here
  if (IsBreak(text[pos])) {  // a word that begins with a line break lies in no line
    scanner_.MoveOn(literal, pos + 1);
    return;
  }
  const std::size_t breakBefore = LastBreak(text, lineFloor_, pos);
  const std::size_t lineStart =
      breakBefore == std::string_view::npos ? lineFloor_ : breakBefore + 1;
  const std::size_t lineEnd = NextBreak(text, pos);
  lineFloor_ = lineStart;
  const std::size_t k = searcher_.wordOf_[literal];
  if (!searcher_.regexes_[k]->ExecView(text.substr(lineStart, lineEnd - lineStart))) {
    scanner_.MoveOn(literal, lineEnd);
    return;
  }
  state_[k] = State::Found;
  scanner_.Drop(literal);
  if (countLines_) {
    CountLinesTo(text, lineStart);
    linesBefore_[k] = linesCounted_;
  }
}

// Everything before the region's end is handled: the window drops it and every position kept
// moves back with it.
void WordListScan::MoveWindowOn() {
  const std::size_t passed = regionEnd_;
  if (countLines_) CountLinesTo(file_.Text(), passed);
  file_.Release(passed);
  scanner_.Shift(passed);
  from_ -= passed;
  regionEnd_ -= passed;
  unseen_ -= passed;
  lineFloor_ -= passed;
  countedTo_ -= passed;
}

bool WordListScan::Advance() {
  if (ended_) return false;
  if (scanner_.Empty()) {
    Finish();
    return false;
  }
  const std::string_view text = file_.Text();
  if (from_ < regionEnd_) {
    const auto hit = scanner_.Find(text.substr(0, regionEnd_), from_);
    if (hit.start != std::string_view::npos) {
      TakeCandidate(text, hit.start, hit.word);
      return true;
    }
    from_ = regionEnd_;
    lineFloor_ = regionEnd_;
  }
  // The region is used up: the next one reaches to the last whole line read so far.
  const bool complete = file_.TextComplete();
  const std::size_t end = complete ? text.size() : WholeLinesEnd(text, unseen_);
  unseen_ =
      std::max(regionEnd_, !text.empty() && text.back() == '\r' ? text.size() - 1 : text.size());
  if (end != std::string_view::npos && end > regionEnd_) {
    regionEnd_ = end;
    return true;
  }
  if (complete) {
    Finish();
    return false;
  }
  MoveWindowOn();
  file_.ReadMore();
  return true;
}

bool WordListScan::SearchWord(std::size_t k) {
  while (state_[k] == State::Open && Advance()) {
  }
  const bool found = state_[k] == State::Found;
  // The calls that word's own search makes before it settles.
  const std::size_t calls = linesBefore_[k];
  if (calls == 0) return found;
  if (!progress_.Assigned()) return found && !progress_.Stopped();
  for (std::size_t n = 0; n < calls; ++n) {
    if (progress_.Tick()) return false;
  }
  return found;
}

bool WordListScan::AnyOf(std::size_t first, std::size_t last) {
  const auto anyFound = [&] {
    for (std::size_t k = first; k < last; ++k) {
      if (state_[k] == State::Found) return true;
    }
    return false;
  };
  while (!anyFound() && Advance()) {
  }
  return anyFound();
}

}  // namespace velmora

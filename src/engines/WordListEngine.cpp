#include "engines/WordListEngine.h"

#include <algorithm>

#include "engines/LineModify.h"
#include "engines/LineSearch.h"
#include "engines/WordListScan.h"
#include "engines/WordLists.h"

namespace velmora {

bool WordListEngine::FindInFile(const std::string& word, const std::string& fileName,
                                bool caseSensitive) {
  const BusyScope busy(Idle);
  return searchers_.For(word, caseSensitive, WholeWords)
      ->SearchFile(fileName, EngineProgress(OnProgress, this, Stop, ProgressByRuns), OnFileError);
}

bool WordListEngine::SearchWords(const std::string& fileName, bool needAll) {
  const BusyScope busy(Idle);
  const auto words = SplitWordList(Query);
  if (words.empty()) return false;
  // Kept past a progress call that may change the query meanwhile.
  const auto searcher = wordLists_.For(words, CaseSensitive, WholeWords);
  return NoMatchWhenUnreadable(OnFileError, false, [&] {
    TextBuffer file(fileName, TextBuffer::Mode::OnDemand);
    const EngineProgress progress(OnProgress, this, Stop);
    // One pass over the file for all the words. A word whose pattern does not compile is not
    // found: the empty word without whole words (with them its pattern is \b\b, which any
    // word character satisfies).
    WordListScan scan(file, *searcher, progress);
    // Without progress calls that could stop it, "or" is settled by the first word found.
    if (!needAll && scan.Quiet()) return scan.AnyOf(0, words.size());
    for (std::size_t k = 0; k < words.size(); ++k) {
      const bool hit = scan.SearchWord(k);
      if (hit != needAll) return hit;  // "or": one found; "and": one missing
      if (progress.Tick()) return false;
    }
    return needAll;
  });
}

void WordListEngine::BuildLines(const std::string& fileName) {
  if (Query.empty()) return;
  LineNumbers.clear();
  LineTexts.clear();
  // Lines are listed by the words that can be found (see SearchWords).
  const auto words = WholeWords ? SplitWordList(Query) : NonEmptyWords(SplitWordList(Query));
  const BusyScope busy(Idle);
  KeepCollectedWhenUnreadable(OnFileError, [&] {
    const TextBuffer file(fileName);
    const EngineProgress progress(OnProgress, this, Stop);
    const auto patterns = CompileWordPatterns(words, CaseSensitive, WholeWords, progress);
    CollectLines(file.Text(),
                 [&](std::string_view line) {
                   return std::any_of(patterns.begin(), patterns.end(),
                                      [&](const auto& regex) { return regex->ExecView(line); });
                 },
                 true, progress, {LineNumbers, LineTexts, nullptr});
  });
}

void WordListEngine::WriteLinesView(const std::string& pageFileName, const std::string& fileName) {
  const BusyScope busy(Idle);
  LinesPage page(fileName);
  if (!Query.empty()) {
    auto words = SplitWordList(Query);
    OrderForHighlighting(words);
    WordHighlighter highlighter(words, CaseSensitive, WholeWords);
    for (std::size_t k = 0; k < LineNumbers.size(); ++k) {
      page.AddLine(ParseLineIndex(LineNumbers[k]), highlighter.Mark(LineTexts.at(k)));
    }
  }
  page.Save(pageFileName);
}

}  // namespace velmora

#include "engines/Un_SearchEngine.h"

#include "engines/LineModify.h"
#include "engines/LineSearch.h"
#include "engines/WordListScan.h"
#include "engines/WordLists.h"

namespace velmora {

namespace {

std::vector<std::string> Concat(std::vector<std::string> first,
                                const std::vector<std::string>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

}  // namespace

bool Tmy_searchengine::CheckQuery(const std::string& query) {
  SearchQuery parsed;
  const bool closed = ParseSearchQuery(query, parsed);
  ExcludedWords = std::move(parsed.excluded);
  OptionalWords = std::move(parsed.optional);
  RequiredWords = std::move(parsed.required);
  return closed;
}

bool Tmy_searchengine::FindInFile(const std::string& word, const std::string& fileName,
                                  bool caseSensitive) {
  const BusyScope busy(Idle);
  return searchers_.For(word, caseSensitive, WholeWords)
      ->SearchFile(fileName, EngineProgress(OnProgress, this, Stop, ProgressByRuns), OnFileError);
}

bool Tmy_searchengine::Search(const std::string& fileName) {
  const BusyScope busy(Idle);
  // Copies: a preview started from a progress call may parse the query again meanwhile.
  const auto excluded = NonEmptyWords(ExcludedWords);
  const auto required = NonEmptyWords(RequiredWords);
  const auto optional = NonEmptyWords(OptionalWords);
  if (excluded.empty() && required.empty() && optional.empty()) return true;
  // A file that cannot be read is not known to lack a word: no match.
  // Every word in the order the rules ask them, searched in one pass over the file.
  const auto searcher =
      wordLists_.For(Concat(Concat(excluded, required), optional), CaseSensitive, WholeWords);
  return NoMatchWhenUnreadable(OnFileError, false, [&] {
    TextBuffer file(fileName, TextBuffer::Mode::OnDemand);
    const EngineProgress progress(OnProgress, this, Stop);
    WordListScan scan(file, *searcher, progress);
    std::size_t k = 0;
    for (; k < excluded.size(); ++k) {
      if (scan.SearchWord(k)) return false;
    }
    for (; k < excluded.size() + required.size(); ++k) {
      if (!scan.SearchWord(k)) return false;
    }
    if (k > 0) return true;  // a signed word decided
    if (scan.Quiet()) return scan.AnyOf(0, optional.size());
    for (; k < optional.size(); ++k) {
      if (scan.SearchWord(k)) return true;
    }
    return false;
  });
}

void Tmy_searchengine::BuildLines(const std::string& fileName) {
  if (Query.empty()) return;
  LineNumbers.clear();
  LineTexts.clear();
  const auto words = NonEmptyWords(Concat(RequiredWords, OptionalWords));
  const BusyScope busy(Idle);
  KeepCollectedWhenUnreadable(OnFileError, [&] {
    const TextBuffer file(fileName);
    const EngineProgress progress(OnProgress, this, Stop);
    const auto patterns = CompileWordPatterns(words, CaseSensitive, WholeWords, progress);
    // The progress is called after every word that does not match.
    const auto matches = [&](std::string_view line) {
      for (const auto& regex : patterns) {
        if (regex->ExecView(line)) return true;
        if (progress.Tick()) return false;
      }
      return false;
    };
    CollectLines(file.Text(), matches, false, progress, {LineNumbers, LineTexts, nullptr});
  });
}

void Tmy_searchengine::WriteLinesView(const std::string& pageFileName,
                                      const std::string& fileName) {
  const BusyScope busy(Idle);
  LinesPage page(fileName);
  if (!Query.empty()) {
    const auto words = Concat(RequiredWords, OptionalWords);
    WordHighlighter highlighter(words, CaseSensitive, WholeWords);
    for (std::size_t k = 0; k < LineNumbers.size(); ++k) {
      page.AddLine(ParseLineIndex(LineNumbers[k]), highlighter.Mark(LineTexts.at(k)));
    }
  }
  page.Save(pageFileName);
}

}  // namespace velmora

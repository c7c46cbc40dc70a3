#include "engines/Un_MyRegExpr.h"

#include <memory>
#include <utility>

#include "engines/LineModify.h"
#include "engines/LineSearch.h"
#include "engines/WordLists.h"

namespace velmora {

void Tmy_regexpr::Prepare(TRegex& regex, const std::string& expression, bool caseSensitive,
                          bool watchStop) {
  regex.SetModifier(1, !caseSensitive);
  if (watchStop) EngineProgress(OnProgress, this, Stop).Bind(regex);
  regex.SetModifier(3, DotAll);
  regex.SetModifier(6, IgnoreSpace);
  regex.SetExpression(expression);
}

void Tmy_regexpr::CompileQuery() {
  TRegex regex;
  Prepare(regex, Query, CaseSensitive, false);
  regex.Compile();
}

bool Tmy_regexpr::Search(const std::string& fileName) {
  return FindInFile(Query, fileName, CaseSensitive);
}

std::shared_ptr<LineSearcher> Tmy_regexpr::SearcherFor(const std::string& expression,
                                                       bool caseSensitive) {
  const int options = (caseSensitive ? 1 : 0) | (DotAll ? 2 : 0) | (IgnoreSpace ? 4 : 0);
  if (searcherBuilt_ && options == searcherOptions_ && expression == searcherExpression_) {
    return searcher_;
  }
  searcher_.reset();
  searcherBuilt_ = true;
  searcherExpression_ = expression;
  searcherOptions_ = options;
  try {
    searcher_ = std::make_shared<LineSearcher>(
        [&](TRegex& regex) { Prepare(regex, expression, caseSensitive, false); });
  } catch (const ERegexError&) {
    // Every file is then no match.
  }
  return searcher_;
}

bool Tmy_regexpr::FindInFile(const std::string& expression, const std::string& fileName,
                             bool caseSensitive) {
  const BusyScope busy(Idle);
  const auto searcher = SearcherFor(expression, caseSensitive);
  return searcher != nullptr &&
         searcher->SearchFile(fileName, EngineProgress(OnProgress, this, Stop, ProgressByRuns),
                              OnFileError);
}

void Tmy_regexpr::ClearLines() {
  LineNumbers.clear();
  LineTexts.clear();
  Intervals.clear();
  marks_.Clear();
}

void Tmy_regexpr::BuildLines(const std::string& fileName) {
  if (Query.empty()) return;
  ClearLines();
  const BusyScope busy(Idle);
  KeepCollectedWhenUnreadable(OnFileError, [&] {
    const TextBuffer file(fileName);
    BuildLines(file);
  });
}

void Tmy_regexpr::BuildLines(const TextBuffer& file) {
  CollectMatching(file, [this](std::size_t index, std::string_view line) {
    CollectedLines{LineNumbers, LineTexts, &Intervals}.Add(index, line);
  });
}

void Tmy_regexpr::MarkLines(const TextBuffer& file) {
  CollectMatching(file, [this](std::size_t index, std::string_view) { marks_.Mark(index); });
  if (!Query.empty()) marks_.active = true;
}

void Tmy_regexpr::CollectMatching(const TextBuffer& file, const LineCollector& collect) {
  if (Query.empty()) return;
  ClearLines();
  const BusyScope busy(Idle);
  KeepCollectedWhenUnreadable(OnFileError, [&] {
    TRegex regex;
    Prepare(regex, Query, CaseSensitive, true);
    CollectLines(
        file.Text(), [&](std::string_view line) { return regex.ExecView(line); }, true,
        EngineProgress(OnProgress, this, Stop), collect);
  });
}

void Tmy_regexpr::WriteLinesView(const std::string& pageFileName, const std::string& fileName) {
  const BusyScope busy(Idle);
  LinesPage page(fileName);
  if (!Query.empty() && !LineNumbers.empty()) {
    TRegex regex;
    Prepare(regex, Query, CaseSensitive, false);
    const ChosenMarks chosen(UseIntervals, Intervals);
    for (std::size_t k = 0; k < LineNumbers.size(); ++k) {
      const std::size_t index = ParseLineIndex(LineNumbers[k]);
      page.AddLine(index, MarkMatches(regex, LineTexts.at(k)), chosen.For(index));
    }
  }
  page.Save(pageFileName);
}

void Tmy_regexpr::Modify(const std::string& fileName) {
  const TextBuffer file(fileName);
  Modify(file);
}

void Tmy_regexpr::Modify(const TextBuffer& file) {
  const BusyScope busy(Idle);
  TRegex regex;
  Prepare(regex, Query, CaseSensitive, false);  // Modify does not look at Stop
  ChosenLines chosen = ChosenLines::Take(marks_, Intervals);
  ModifyChosenLines(file, MakeBackup, Breaks, std::move(chosen), regex, ModType, Replacement,
                    false);
}

}  // namespace velmora

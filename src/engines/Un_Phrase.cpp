#include "engines/Un_Phrase.h"

#include <utility>

#include "engines/LineModify.h"
#include "engines/LineSearch.h"
#include "engines/WordLists.h"

namespace velmora {

bool Tmy_phrase::Search(const std::string& fileName) {
  return FindInFile(Query, fileName, CaseSensitive);
}

bool Tmy_phrase::FindInFile(const std::string& phrase, const std::string& fileName,
                            bool caseSensitive) {
  const BusyScope busy(Idle);
  return searchers_.For(phrase, caseSensitive, WholeWords)
      ->SearchFile(fileName, EngineProgress(OnProgress, this, Stop, ProgressByRuns), OnFileError);
}

void Tmy_phrase::ClearLines() {
  LineNumbers.clear();
  Intervals.clear();
  LineTexts.clear();
  marks_.Clear();
}

void Tmy_phrase::BuildLines(const std::string& fileName) {
  if (Query.empty()) return;
  ClearLines();
  const BusyScope busy(Idle);
  KeepCollectedWhenUnreadable(OnFileError, [&] {
    const TextBuffer file(fileName);
    BuildLines(file);
  });
}

void Tmy_phrase::BuildLines(const TextBuffer& file) {
  CollectMatching(file, [this](std::size_t index, std::string_view line) {
    CollectedLines{LineNumbers, LineTexts, &Intervals}.Add(index, line);
  });
}

void Tmy_phrase::MarkLines(const TextBuffer& file) {
  CollectMatching(file, [this](std::size_t index, std::string_view) { marks_.Mark(index); });
  if (!Query.empty()) marks_.active = true;
}

void Tmy_phrase::CollectMatching(const TextBuffer& file, const LineCollector& collect) {
  if (Query.empty()) return;
  ClearLines();
  const BusyScope busy(Idle);
  KeepCollectedWhenUnreadable(OnFileError, [&] {
    const EngineProgress progress(OnProgress, this, Stop);
    TRegex regex;
    PrepareRegex(regex, CaseSensitive, progress);
    regex.SetExpression(WordPattern(Query, WholeWords));
    CollectLines(
        file.Text(), [&](std::string_view line) { return regex.ExecView(line); }, true, progress,
        collect);
  });
}

void Tmy_phrase::WriteLinesView(const std::string& pageFileName, const std::string& fileName) {
  const BusyScope busy(Idle);
  LinesPage page(fileName);
  if (!Query.empty() && !LineNumbers.empty()) {
    WordHighlighter highlighter({Query}, CaseSensitive, WholeWords);
    const ChosenMarks chosen(UseIntervals, Intervals);
    for (std::size_t k = 0; k < LineNumbers.size(); ++k) {
      const std::size_t index = ParseLineIndex(LineNumbers[k]);
      page.AddLine(index, highlighter.Mark(LineTexts.at(k)), chosen.For(index));
    }
  }
  page.Save(pageFileName);
}

void Tmy_phrase::Modify(const std::string& fileName) {
  const TextBuffer file(fileName);
  Modify(file);
}

void Tmy_phrase::Modify(const TextBuffer& file) {
  const BusyScope busy(Idle);
  TRegex regex;
  regex.SetModifier(1, !CaseSensitive);
  regex.SetExpression(WordPattern(Query, WholeWords));
  // The replacement is plain text: "$" and "\" in it stand for themselves. "Clear" replaces
  // each match by as many spaces.
  const bool clear = ModType == 5;
  ChosenLines chosen = ChosenLines::Take(marks_, Intervals);
  ModifyChosenLines(file, MakeBackup, Breaks, std::move(chosen), regex, clear ? 1 : ModType,
                    clear ? std::string(Query.size(), ' ') : Replacement, true);
}

}  // namespace velmora

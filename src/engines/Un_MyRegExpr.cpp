#include "engines/Un_MyRegExpr.h"

#include <memory>

#include "engines/LineModify.h"
#include "engines/LineSearch.h"
#include "engines/WordLists.h"

namespace velmora {

namespace {

// Where a matching line must hold something: the literal every match contains, else the byte
// every match begins with, else a byte a match can begin at. None when a match may begin at the
// end of a line (an empty match, say): then every line is tried.
CandidateFinder CandidatesOf(TRegex& regex) {
  regex.Compile();
  const TRegexFastPath& fast = regex.FastPath();
  if (!fast.RequiredLiteral.empty()) {
    const auto scanner = std::make_shared<LiteralScanner>(fast.RequiredLiteral, true, &ToggleCase);
    return [scanner](std::string_view text, std::size_t from) { return scanner->Find(text, from); };
  }
  if (fast.FirstLiteralChar != 0) {
    const char first = static_cast<char>(fast.FirstLiteralChar);
    return [first](std::string_view text, std::size_t from) { return text.find(first, from); };
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

bool Tmy_regexpr::FindInFile(const std::string& expression, const std::string& fileName,
                             bool caseSensitive) {
  const BusyScope busy(Idle);
  try {
    TextBuffer file(fileName, TextBuffer::Mode::OnDemand);
    TRegex regex;
    Prepare(regex, expression, caseSensitive, true);
    return SearchLines(file, regex, CandidatesOf(regex), EngineProgress(OnProgress, this, Stop));
  } catch (const EFileError&) {
    return false;
  } catch (const ERegexError&) {
    return false;
  }
}

void Tmy_regexpr::BuildLines(const std::string& fileName) {
  if (Query.empty()) return;
  LineNumbers.clear();
  LineTexts.clear();
  Intervals.clear();
  const BusyScope busy(Idle);
  try {
    const TextBuffer file(fileName);
    TRegex regex;
    Prepare(regex, Query, CaseSensitive, true);
    CollectLines(file.Text(), [&](std::string_view line) { return regex.ExecView(line); }, true,
                 EngineProgress(OnProgress, this, Stop), {LineNumbers, LineTexts, &Intervals});
  } catch (const EFileError&) {
    // What was collected until the error stays.
  } catch (const ERegexError&) {
  }
}

void Tmy_regexpr::WriteLinesView(const std::string& pageFileName, const std::string& fileName) {
  const BusyScope busy(Idle);
  LinesPage page(fileName);
  if (!Query.empty() && !LineNumbers.empty()) {
    TRegex regex;
    Prepare(regex, Query, CaseSensitive, false);
    for (std::size_t k = 0; k < LineNumbers.size(); ++k) {
      page.AddLine(LineNumbers[k], MarkMatches(regex, LineTexts.at(k)),
                   MarkFor(UseIntervals, Intervals, LineNumbers[k]));
    }
  }
  page.Save(pageFileName);
}

void Tmy_regexpr::Modify(const std::string& fileName) {
  const BusyScope busy(Idle);
  TRegex regex;
  Prepare(regex, Query, CaseSensitive, false);  // Modify does not look at Stop
  ModifyChosenLines(fileName, MakeBackup, Breaks, Intervals, regex, ModType, Replacement, false);
}

}  // namespace velmora

#pragma once

// "Reg Expr": a file matches when the expression matches within one of its lines. Modifies the
// chosen matching lines with a replacement template ("$n", "${n}", "$&").

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engines/LineModify.h"
#include "engines/Un_Tambahan.h"

namespace velmora {

class LineSearcher;
class TRegex;

class Tmy_regexpr {
 public:
  bool CaseSensitive = false;
  bool DotAll = false;  // modifier s
  bool UseIntervals = false;
  bool IgnoreSpace = false;  // modifier x
  bool MakeBackup = false;
  LineBreaks Breaks = LineBreaks::Kept;  // how Modify ends the lines it writes
  std::int32_t ModType = 0;  // 1 Replace, 2 Insert Before, 3 Insert After, 4 Delete; others: none
  std::string Query;
  std::string Replacement;
  std::vector<std::string> Intervals;
  std::vector<std::string> LineNumbers;
  std::vector<std::string> LineTexts;
  bool Stop = false;
  bool Idle = true;
  TProgressEvent OnProgress;
  // A search tells a run of lines that cannot match in one OnProgress call, not one per line:
  // for a handler that only lets messages run, the calls cost more than the search.
  bool ProgressByRuns = false;
  TFileErrorEvent OnFileError;  // a file that could not be read

  bool Search(const std::string& fileName);
  // Does the expression match within a line of the file? A file that cannot be read and an
  // expression that does not compile give false; other failures are raised.
  bool FindInFile(const std::string& expression, const std::string& fileName, bool caseSensitive);
  void BuildLines(const std::string& fileName);
  // The same from a file already read (a modification reads each file once).
  void BuildLines(const TextBuffer& file);
  void WriteLinesView(const std::string& pageFileName, const std::string& fileName);
  void SetIntervals(const std::vector<std::string>& intervals) {
    Intervals = intervals;
    marks_.Clear();
  }
  // A modification's listing: marks the lines BuildLines would list, which Modify then
  // changes, without filling LineNumbers, LineTexts and Intervals (emptied here), so that a
  // large file is modified in little more memory than its size. Nothing happens for an empty
  // Query.
  void MarkLines(const TextBuffer& file);
  void Modify(const std::string& fileName);
  // The same on a file already read; a file changed since is left alone (EFileError).
  void Modify(const TextBuffer& file);
  // Compiles Query as every operation sets it up; ERegexError when it does not compile.
  void CompileQuery();

 private:
  // Empties the lists BuildLines fills; also for a file that cannot be read.
  void ClearLines();
  // The matching lines of the file, in order, for BuildLines and MarkLines.
  void CollectMatching(const TextBuffer& file, const LineCollector& collect);
  LineMarks marks_;
  // Modifiers i, s, x and the expression; watchStop lets Stop end a long match.
  void Prepare(TRegex& regex, const std::string& expression, bool caseSensitive, bool watchStop);
  // The searcher for expression with the current options, kept from file to file; none when
  // the expression does not compile.
  std::shared_ptr<LineSearcher> SearcherFor(const std::string& expression, bool caseSensitive);

  std::shared_ptr<LineSearcher> searcher_;
  bool searcherBuilt_ = false;
  std::string searcherExpression_;
  int searcherOptions_ = 0;
};

}  // namespace velmora

#pragma once

// "Phrase": a file matches when one of its lines contains the phrase literally (optionally
// case-sensitive, optionally as whole words). Modifies the chosen matching lines.

#include <cstdint>
#include <string>
#include <vector>

#include "engines/LineModify.h"
#include "engines/SearcherCache.h"
#include "engines/Un_Tambahan.h"

namespace velmora {

class Tmy_phrase {
 public:
  bool CaseSensitive = false;
  bool UseIntervals = false;  // mark chosen lines on the page
  bool MakeBackup = false;
  LineBreaks Breaks = LineBreaks::Kept;  // how Modify ends the lines it writes
  std::int32_t ModType =
      0;  // 0 None, 1 Replace, 2 Insert Before, 3 Insert After, 4 Delete, 5 Clear
  bool WholeWords = false;
  bool Stop = false;
  bool Idle = true;
  std::string Query;
  std::string Replacement;
  std::vector<std::string> Intervals;    // 0-based lines Modify changes and the page marks
  std::vector<std::string> LineNumbers;  // 0-based indices of the matching lines, ascending
  std::vector<std::string> LineTexts;
  TProgressEvent OnProgress;
  // A search tells a run of lines that cannot match in one OnProgress call, not one per line:
  // for a handler that only lets messages run, the calls cost more than the search.
  bool ProgressByRuns = false;
  TFileErrorEvent OnFileError;  // a file that could not be read

  bool Search(const std::string& fileName);
  // Does a line of the file contain phrase? A file that cannot be read gives false.
  bool FindInFile(const std::string& phrase, const std::string& fileName, bool caseSensitive);
  // Collects the matching lines; Intervals becomes all of them. Nothing happens for an empty
  // Query; an error keeps what was collected.
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
  // Applies ModType to the lines listed in Intervals and writes the file back. A bad entry
  // raises before anything is written.
  void Modify(const std::string& fileName);
  // The same on a file already read; a file changed since is left alone (EFileError).
  void Modify(const TextBuffer& file);

 private:
  // Empties the lists BuildLines fills; also for a file that cannot be read.
  void ClearLines();
  // The matching lines of the file, in order, for BuildLines and MarkLines.
  void CollectMatching(const TextBuffer& file, const LineCollector& collect);
  LineMarks marks_;
  WordSearchers searchers_;
};

}  // namespace velmora

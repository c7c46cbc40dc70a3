#pragma once

// What "Word: or" and "Word: and" have in common: everything but the rule that combines the
// words in Search.

#include <string>
#include <vector>

#include "engines/SearcherCache.h"
#include "engines/Un_Tambahan.h"

namespace velmora {

class WordListEngine {
 public:
  bool CaseSensitive = false;
  bool WholeWords = false;
  std::string Query;  // the word list as typed
  std::vector<std::string> LineNumbers;
  std::vector<std::string> LineTexts;
  bool Stop = false;
  bool Idle = true;
  TProgressEvent OnProgress;
  // A search tells a run of lines that cannot match in one OnProgress call, not one per line:
  // for a handler that only lets messages run, the calls cost more than the search.
  bool ProgressByRuns = false;
  TFileErrorEvent OnFileError;  // a file that could not be read

  // Does a line of the file contain word? A file that cannot be read gives false.
  bool FindInFile(const std::string& word, const std::string& fileName, bool caseSensitive);
  // Collects every line that holds at least one of the words.
  void BuildLines(const std::string& fileName);
  void WriteLinesView(const std::string& pageFileName, const std::string& fileName);

 protected:
  // The combining rule: with needAll every word must occur ("and"), otherwise one is enough
  // ("or"). Between words the progress is called; a stop ends the search with false, and so
  // does a query without words or a file that cannot be read.
  bool SearchWords(const std::string& fileName, bool needAll);

 private:
  WordSearchers searchers_;
  WordListCache wordLists_;
};

}  // namespace velmora

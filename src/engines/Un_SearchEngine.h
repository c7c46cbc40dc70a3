#pragma once

// "Search Engine": a query the way web search boxes take it. A file matches when it holds none
// of the -words and all of the +words; plain words decide only when no word has a sign, and
// then one of them must occur.

#include <string>
#include <vector>

#include "engines/SearcherCache.h"
#include "engines/Un_Tambahan.h"

namespace velmora {

class Tmy_searchengine {
 public:
  bool CaseSensitive = false;
  bool WholeWords = false;
  std::string Query;
  std::vector<std::string> LineNumbers;
  std::vector<std::string> LineTexts;
  std::vector<std::string> ExcludedWords;  // filled by CheckQuery only
  std::vector<std::string> OptionalWords;
  std::vector<std::string> RequiredWords;
  bool Stop = false;
  bool Idle = true;
  TProgressEvent OnProgress;
  // A search tells a run of lines that cannot match in one OnProgress call, not one per line:
  // for a handler that only lets messages run, the calls cost more than the search.
  bool ProgressByRuns = false;
  TFileErrorEvent OnFileError;  // a file that could not be read

  // Parses query into the three word lists; false when a quoted phrase is not closed or its
  // closing quote is followed by anything but a space. An empty query, or a sign at the very
  // end, is no error: the sign gives an empty word, which takes no part anywhere.
  bool CheckQuery(const std::string& query);
  // Uses the lists as the last CheckQuery left them. No words at all: every file matches.
  bool Search(const std::string& fileName);
  bool FindInFile(const std::string& word, const std::string& fileName, bool caseSensitive);
  // Collects the lines that hold a required or optional word; excluded words play no part.
  void BuildLines(const std::string& fileName);
  void WriteLinesView(const std::string& pageFileName, const std::string& fileName);

 private:
  WordSearchers searchers_;
  WordListCache wordLists_;
};

}  // namespace velmora

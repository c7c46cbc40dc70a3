#pragma once

// One interface over the six engines, for everyone who runs them: the main window (search
// run and preview), the modification driver and velmora-cli. The engine classes share no base
// class and keep their own members; ActiveEngine is a small value that points at one of them
// and fills and calls it by search type, so that no caller needs a dispatch of its own.
//
// It does not own the engine: the window keeps one instance of each for its lifetime (their
// Idle and Stop flags matter while a run lets window messages run), and EngineSet below owns
// a set for callers that have none.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "engines/Un_Multiline.h"
#include "engines/Un_MyRegExpr.h"
#include "engines/Un_Phrase.h"
#include "engines/Un_SearchEngine.h"
#include "engines/Un_wordand.h"
#include "engines/Un_wordor.h"

namespace velmora {

// A failure that ended an engine's work on one file and is no "no match": running out of
// memory, or a match that ran past the regex engine's limits. The message names the file.
class EEngineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The search types, in the order of the "Find" page's items.
enum class SearchType { Phrase, WordOr, WordAnd, Query, Multiline, Regex };

// What the window copies into an engine before a search or a preview. Fields an engine class
// has no member for are ignored by it.
struct EngineOptions {
  SearchType type = SearchType::Phrase;
  std::string query;                    // the query text (regex: the memo's whole text)
  std::vector<std::string> queryLines;  // multiline: the query block
  bool caseSensitive = false;
  bool wholeWords = false;
  bool dotAll = false;       // regex modifier s
  bool ignoreSpace = false;  // regex modifier x
  bool trimLeft = false;     // multiline
  bool trimRight = false;
  // Phrase and regex: set only when given; a preview leaves the engine's value alone.
  std::optional<bool> useIntervals;

  // An empty query lists every file without asking the engine.
  bool QueryEmpty() const { return query.empty(); }
};

// What the modification driver copies into a modifying engine (phrase, multiline, regex).
struct ModificationOptions {
  std::int32_t modType = 0;  // the item index of "Modification Type"
  std::string replacement;   // the raw text; multiline takes its lines
  bool makeBackup = false;
  LineBreaks breaks = LineBreaks::Kept;  // CR LF after every line when the option asks
};

class ActiveEngine {
 public:
  using Target = std::variant<Tmy_phrase*, Tmy_wordor*, Tmy_wordand*, Tmy_searchengine*,
                              Tmy_multiline*, Tmy_regexpr*>;

  explicit ActiveEngine(Target engine) : engine_(engine) {}

  SearchType Type() const;

  // ---- flags (window) ----
  // False while one of the engine's operations runs: a preview must leave it alone then.
  bool Idle() const;
  void SetStop(bool stop);

  // ---- query and options (window, before a run and before a preview) ----
  // Copies the query and the options the engine has members for.
  void Fill(const EngineOptions& options);
  // "Search Engine": parses query into the engine's word lists; false at an unclosed quote.
  // Every other type has nothing to check and gives true.
  bool CheckQuery(const std::string& query);

  // ---- the three jobs (window run, preview, driver) ----
  // A file that cannot be read is no match (Search) or keeps what was collected (BuildLines),
  // and is told through the engine's OnFileError. Other failures raise EEngineError.
  bool Search(const std::string& fileName);
  void BuildLines(const std::string& fileName);
  // From a file already read: a modification lists and changes the same bytes.
  void BuildLines(const TextBuffer& file);
  // A modification's listing of a file already read: the lines (blocks) Modify then changes,
  // as BuildLines finds them, kept as marks instead of the listing members, so that a large
  // file is modified in little more memory than its size.
  void ListForModification(const TextBuffer& file);
  void WriteLinesView(const std::string& pageFileName, const std::string& fileName);

  // ---- intervals (phrase and regex; the others ignore them) ----
  bool HasIntervals() const;
  bool UseIntervals() const;
  void SetUseIntervals(bool on);
  // The 0-based lines Modify changes and the page marks (a row's "Mod" value).
  void SetIntervals(const std::vector<std::size_t>& lines);
  // The 0-based lines the last BuildLines collected, ascending (empty for multiline, which
  // collects blocks).
  std::vector<std::size_t> LineNumbers() const;
  // The lines a run would change now (empty for the types without intervals).
  std::vector<std::size_t> Intervals() const;

  // ---- modification (driver; phrase, multiline and regex) ----
  bool CanModify() const;
  void SetModification(const ModificationOptions& modification);
  void Modify(const std::string& fileName);
  // Changes the file as it was read for BuildLines; a file changed since is left alone.
  void Modify(const TextBuffer& file);

 private:
  Target engine_;
};

// Raises the ERegexError that the engine of options.type would meet in every file: a regex
// query that does not compile (the other types escape their words). The window and the CLI
// check this once before a run, so that the error is shown instead of "nothing found".
void CheckQueryCompiles(const EngineOptions& options);

// The engine of type among one of each.
ActiveEngine SelectEngine(SearchType type, Tmy_phrase& phrase, Tmy_wordor& wordor,
                          Tmy_wordand& wordand, Tmy_searchengine& searchengine,
                          Tmy_multiline& multiline, Tmy_regexpr& regexpr);

// One engine of each type, owned; for callers without a window (velmora-cli, tests).
struct EngineSet {
  Tmy_phrase phrase;
  Tmy_wordor wordor;
  Tmy_wordand wordand;
  Tmy_searchengine searchengine;
  Tmy_multiline multiline;
  Tmy_regexpr regexpr;

  ActiveEngine Select(SearchType type);
  // Set the event of all six.
  void SetProgressEvent(const TProgressEvent& event);
  void SetFileErrorEvent(const TFileErrorEvent& event);
};

// A "Mod" value ("2,5") as line indexes; the empty text is no line. EListError for an entry
// that is not a decimal number.
std::vector<std::size_t> ParseIntervals(std::string_view text);

}  // namespace velmora

#pragma once

// The engine options shared by find, lines and modify: search type, query and the check
// boxes. Options not given keep the engine's own defaults; trimming is on unless switched
// off, as in a fresh settings store.

#include <span>
#include <string>
#include <vector>

#include "cli/Args.h"

namespace velmora::cli {

enum class SearchType { Phrase, WordOr, WordAnd, Query, Multiline, Regex };

struct EngineOptions {
  SearchType type = SearchType::Phrase;
  std::string query;                    // the query text (regex: the whole expression)
  std::vector<std::string> queryLines;  // multiline: the query block
  bool caseSensitive = false;
  bool wholeWords = false;
  bool dotAll = false;
  bool ignoreSpace = false;
  bool trimLeft = true;
  bool trimRight = true;

  // The window's rule: the query is empty when its source has no text.
  bool QueryEmpty() const { return query.empty(); }
};

// The option names that ReadEngineOptions understands, for ParsedArgs::Parse.
std::span<const OptionSpec> EngineOptionSpecs();

// Reads the engine options (and the query file, if any). Throws UsageError for bad values.
EngineOptions ReadEngineOptions(const ParsedArgs& parsed);

// "phrase" for SearchType::Phrase and so on, as --type spells them.
const char* TypeName(SearchType type);

}  // namespace velmora::cli

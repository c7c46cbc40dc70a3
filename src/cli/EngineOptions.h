#pragma once

// The engine options shared by find, lines and modify: search type, query and the check
// boxes. Trimming is on unless switched off, as in a fresh settings store.

#include <span>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "engines/ActiveEngine.h"

namespace velmora::cli {

// The option names that ReadEngineOptions understands, for ParsedArgs::Parse.
std::span<const OptionSpec> EngineOptionSpecs();

// Reads the engine options (and the query file, if any). Throws UsageError for bad values.
EngineOptions ReadEngineOptions(const ParsedArgs& parsed);

// "phrase" for SearchType::Phrase and so on, as --type spells them.
const char* TypeName(SearchType type);

}  // namespace velmora::cli

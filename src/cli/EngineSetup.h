#pragma once

// The engine of the command line's search type, taken from a set the command owns, filled
// from the engine options and its query checked, as the window does before a run.

#include "cli/EngineOptions.h"
#include "engines/ActiveEngine.h"

namespace velmora::cli {

// Selects and fills the engine of options.type. Throws the window's warning text, "Missing"
// and a double quote, for a "Search Engine" query with an unclosed quote, and the compile
// error of a regex query (a script must not take a typo for an empty result).
ActiveEngine PrepareEngine(EngineSet& engines, const EngineOptions& options);

}  // namespace velmora::cli

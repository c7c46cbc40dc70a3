#pragma once

// The per-line modifications of the phrase and regex engines.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engines/TextBuffer.h"
#include "regex/Regex.h"

namespace velmora {

// The line with every match of the regex replaced by the replacement (type 1), with the
// replacement inserted before (2) or after (3) it, or removed (4); any other type leaves the
// line as it is. literal: the replacement is plain text; otherwise it is a template ("$n",
// "${n}", "\") expanded for each match.
std::string ModifyLine(TRegex& regex, std::string_view line, std::int32_t modType,
                       const std::string& replacement, bool literal);

// Modify of the phrase and regex engines on a file already read: backs it up from those bytes
// when asked, applies ModifyLine to each chosen line (0-based indexes as decimal text) and
// rewrites the file safely with the given line breaks, unless it changed since it was read. A
// chosen line outside the file raises before anything is written.
void ModifyChosenLines(const TextBuffer& file, bool makeBackup, LineBreaks breaks,
                       const std::vector<std::string>& intervals, TRegex& regex,
                       std::int32_t modType, const std::string& replacement, bool literal);

}  // namespace velmora

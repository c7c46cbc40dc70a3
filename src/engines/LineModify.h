#pragma once

// The per-line modifications of the phrase and regex engines.

#include <cstdint>
#include <functional>
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

// Takes the index and text of each line a listing finds.
using LineCollector = std::function<void(std::size_t index, std::string_view line)>;

// The lines a modification's listing found, one mark per line (line i marked when bits[i]):
// what Intervals would hold after BuildLines, in far less memory. In use from the listing until
// Modify takes them or the lists are filled or set anew.
struct LineMarks {
  std::vector<bool> bits;
  bool active = false;

  void Clear() {
    bits.clear();
    active = false;
  }
  void Mark(std::size_t index) {
    if (bits.size() <= index) bits.resize(index + 1);
    bits[index] = true;
  }
};

// How often Modify changes each line of a file: every marked line once, or every line of
// Intervals (0-based indexes as decimal text, in any order) as often as it is listed.
class ChosenLines {
 public:
  // The marks when a listing left them (the engine's are emptied: they serve one Modify),
  // else the intervals, which must outlive the result.
  static ChosenLines Take(LineMarks& marks, const std::vector<std::string>& intervals);

  // Checks every line against the file's lineCount lines; EListError for an entry that is not
  // a number or does not fit.
  void Check(std::size_t lineCount);
  // How often line index is changed; asked for ascending indexes after Check.
  std::size_t Times(std::size_t index);

 private:
  ChosenLines() = default;

  LineMarks marks_;
  const std::vector<std::string>* intervals_ = nullptr;
  std::vector<std::size_t> sorted_;
  std::size_t next_ = 0;
};

// Modify of the phrase and regex engines on a file already read: backs it up from those bytes
// when asked, applies ModifyLine to each chosen line and rewrites the file safely with the
// given line breaks, unless it changed since it was read. A chosen line outside the file
// raises before anything is written. The new content goes to disk line by line as it is made.
void ModifyChosenLines(const TextBuffer& file, bool makeBackup, LineBreaks breaks,
                       ChosenLines chosen, TRegex& regex, std::int32_t modType,
                       const std::string& replacement, bool literal);

}  // namespace velmora

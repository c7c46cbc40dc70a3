#include "engines/LineModify.h"

#include <algorithm>
#include <utility>

#include "engines/TextBuffer.h"
#include "modify/SafeWrite.h"

namespace velmora {

namespace {

// What one match becomes. The replacement is a template only where it may be one: it is
// expanded by itself, so its end cannot swallow the match reference ("$0" after a "1", or
// after a "\").
std::string ModifiedMatch(TRegex& regex, std::string_view match, std::int32_t modType,
                          const std::string& replacement, bool literal) {
  if (modType == 4) return {};
  const std::string inserted = literal ? replacement : regex.ExpandTemplate(replacement);
  if (modType == 2) return inserted + std::string(match);
  if (modType == 3) return std::string(match) + inserted;
  return inserted;
}

}  // namespace

std::string ModifyLine(TRegex& regex, std::string_view line, std::int32_t modType,
                       const std::string& replacement, bool literal) {
  if (modType < 1 || modType > 4 || !regex.ExecView(line)) return std::string(line);
  std::string out;
  std::size_t from = 0;
  do {
    const auto start = static_cast<std::size_t>(regex.MatchStart(0) - 1);
    const auto length = static_cast<std::size_t>(regex.MatchLength(0));
    out.append(line.substr(from, start - from));
    out += ModifiedMatch(regex, line.substr(start, length), modType, replacement, literal);
    from = start + length;
  } while (regex.ExecNext());
  out.append(line.substr(from));
  return out;
}

ChosenLines ChosenLines::Take(LineMarks& marks, const std::vector<std::string>& intervals) {
  ChosenLines chosen;
  if (marks.active) {
    chosen.marks_ = std::exchange(marks, {});
  } else {
    chosen.intervals_ = &intervals;
  }
  return chosen;
}

void ChosenLines::Check(std::size_t lineCount) {
  const auto outOfBounds = [](const std::string& entry) {
    return EListError("List index out of bounds (" + entry + ")");
  };
  if (intervals_ == nullptr) {
    for (std::size_t index = lineCount; index < marks_.bits.size(); ++index) {
      if (marks_.bits[index]) throw outOfBounds(std::to_string(index));
    }
    return;
  }
  sorted_.reserve(intervals_->size());
  for (const auto& entry : *intervals_) {
    const std::size_t index = ParseLineIndex(entry);
    if (index >= lineCount) throw outOfBounds(entry);
    sorted_.push_back(index);
  }
  std::sort(sorted_.begin(), sorted_.end());
}

std::size_t ChosenLines::Times(std::size_t index) {
  if (intervals_ == nullptr) return index < marks_.bits.size() && marks_.bits[index] ? 1 : 0;
  std::size_t times = 0;
  for (; next_ < sorted_.size() && sorted_[next_] == index; ++next_) ++times;
  return times;
}

void ModifyChosenLines(const TextBuffer& file, bool makeBackup, LineBreaks breaks,
                       ChosenLines chosen, TRegex& regex, std::int32_t modType,
                       const std::string& replacement, bool literal) {
  if (makeBackup) BackupFile(file);
  const std::size_t lineCount = CountLines(file.Text());
  chosen.Check(lineCount);
  const bool changes = modType >= 1 && modType <= 4;
  // A line that a NUL cut short runs on into the tail: no break may come between them.
  const bool cutByNul = !file.Tail().empty() && !EndsWithLineBreak(file.Text());
  const auto write = [&](ContentSink& sink) {
    LineCursor cursor(file.Text());
    std::string_view line;
    // The break new text takes where its line has none: that of the nearest line above.
    std::string_view breakAbove = DefaultBreak(breaks);
    for (std::size_t index = 0; cursor.Next(line); ++index) {
      std::string_view lineBreak =
          breaks == LineBreaks::CrLf ? DefaultBreak(breaks) : cursor.Break();
      if (cutByNul && index + 1 == lineCount) lineBreak = {};
      const std::size_t times = changes ? chosen.Times(index) : 0;
      if (times == 0) {
        sink.Append(line);
      } else {
        // A line break inside the new text becomes the line's own break.
        const std::string_view newBreak = lineBreak.empty() ? breakAbove : lineBreak;
        std::string text(line);
        for (std::size_t k = 0; k < times; ++k) {
          text = WithLineBreak(ModifyLine(regex, text, modType, replacement, literal), newBreak);
        }
        sink.Append(text);
      }
      sink.Append(lineBreak);
      if (!lineBreak.empty()) breakAbove = lineBreak;
    }
    sink.Append(file.Tail());
  };
  WriteFileSafely(file.FileName(), write, &file.Identity());
}

}  // namespace velmora

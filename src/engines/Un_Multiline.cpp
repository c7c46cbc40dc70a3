#include "engines/Un_Multiline.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <functional>
#include <string_view>
#include <utility>

#include "engines/LineSearch.h"
#include "modify/SafeWrite.h"

namespace velmora {

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

// Compares lines the way the options ask: trimmed copies, case ignored when not case-sensitive.
class LineComparer {
 public:
  LineComparer(const std::vector<std::string>& query, bool trimLeft, bool trimRight,
               bool caseSensitive)
      : trimLeft_(trimLeft), trimRight_(trimRight), caseSensitive_(caseSensitive) {
    query_.reserve(query.size());
    for (const auto& line : query) query_.push_back(Trim(line));
  }

  std::size_t QuerySize() const { return query_.size(); }

  // Is the file line equal to query line k?
  bool Equals(std::string_view fileLine, std::size_t k) const {
    return Same(Trim(fileLine), query_[k]);
  }
  // The same in two steps, to compare one file line with many query lines.
  std::string_view Trimmed(std::string_view fileLine) const { return Trim(fileLine); }
  bool TrimmedEquals(std::string_view trimmed, std::size_t k) const {
    return Same(trimmed, query_[k]);
  }

  // Is the file line equal to any line of the query?
  bool InQuery(std::string_view fileLine) const {
    const auto trimmed = Trim(fileLine);
    return std::any_of(query_.begin(), query_.end(),
                       [&](std::string_view q) { return Same(trimmed, q); });
  }

 private:
  std::string_view Trim(std::string_view s) const {
    if (trimLeft_) {
      while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    }
    if (trimRight_) {
      while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    }
    return s;
  }

  bool Same(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    if (caseSensitive_) return a == b;
    for (std::size_t i = 0; i < a.size(); ++i) {
      const auto x = static_cast<unsigned char>(a[i]);
      const auto y = static_cast<unsigned char>(b[i]);
      if (x != y && std::tolower(x) != std::tolower(y)) return false;
    }
    return true;
  }

  bool trimLeft_;
  bool trimRight_;
  bool caseSensitive_;
  std::vector<std::string_view> query_;
};

// Where each query line first occurs in the file, as far as the search needs to know: the
// first line equal to query line 0 (the block's start p) and, for each later query line k, its
// first occurrence at or before p + k. One pass over the file, a window at a time.
class FirstOccurrences {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  FirstOccurrences(TextBuffer& file, const LineComparer& compare)
      : compare_(compare), first_(compare.QuerySize(), kNone) {
    ForEachLineRun(file, [this](std::string_view lines) { return Take(lines); });
  }

  std::size_t Of(std::size_t k) const { return first_[k]; }

 private:
  // False once no later line can change the outcome.
  bool Take(std::string_view lines) {
    LineCursor cursor(lines);
    std::string_view line;
    while (cursor.Next(line)) {
      const std::string_view trimmed = compare_.Trimmed(line);
      for (std::size_t k = 0; k < first_.size(); ++k) {
        if (first_[k] == kNone && compare_.TrimmedEquals(trimmed, k)) first_[k] = index_;
      }
      const std::size_t start = first_[0];
      if (start != kNone && index_ + 1 >= start + first_.size()) return false;
      ++index_;
    }
    return true;
  }

  const LineComparer& compare_;
  std::vector<std::size_t> first_;
  std::size_t index_ = 0;
};

}  // namespace

bool Tmy_multiline::Report() {
  return ProgressSaysStop(OnProgress, this, Stop);
}

bool Tmy_multiline::Search(const std::string& fileName) {
  return FindInFile(QueryLines, fileName, CaseSensitive);
}

bool Tmy_multiline::FindInFile(const std::vector<std::string>& query, const std::string& fileName,
                               bool caseSensitive) {
  const BusyScope busy(Idle);
  if (query.empty()) return false;
  return NoMatchWhenUnreadable(OnFileError, false, [&] {
    TextBuffer file(fileName, TextBuffer::Mode::OnDemand);
    const LineComparer compare(query, TrimLeft, TrimRight, caseSensitive);
    const FirstOccurrences first(file, compare);
    const std::size_t p = first.Of(0);
    if (p == FirstOccurrences::kNone) return false;
    for (std::size_t k = 1; k < compare.QuerySize(); ++k) {
      // The first occurrence of query line k must sit exactly k lines below p (a block that
      // runs past the end has no line there).
      if (first.Of(k) != p + k) return false;
      // A stop before the whole block is confirmed does not count as a match.
      if (Report() && k + 1 < compare.QuerySize()) return false;
    }
    return true;
  });
}

void Tmy_multiline::BuildLines(const std::string& fileName) {
  if (QueryLines.empty()) return;
  BlockStarts.clear();
  const BusyScope busy(Idle);
  KeepCollectedWhenUnreadable(OnFileError, [&] {
    const TextBuffer file(fileName);
    BuildLines(file);
  });
}

void Tmy_multiline::BuildLines(const TextBuffer& file) {
  CollectBlocks(file, [this](std::size_t start) { BlockStarts.push_back(std::to_string(start)); });
}

void Tmy_multiline::MarkLines(const TextBuffer& file) {
  CollectBlocks(file, [this](std::size_t start) { marks_.Mark(start); });
  if (!QueryLines.empty()) marks_.active = true;
}

void Tmy_multiline::CollectBlocks(const TextBuffer& file,
                                  const std::function<void(std::size_t start)>& collect) {
  if (QueryLines.empty()) return;
  BlockStarts.clear();
  marks_.Clear();
  const BusyScope busy(Idle);
  const LineComparer compare(QueryLines, TrimLeft, TrimRight, CaseSensitive);
  const std::size_t q = compare.QuerySize();
  LineCursor cursor(file.Text());
  std::string_view line;
  for (std::size_t i = 0; cursor.Next(line); ++i) {
    if (!compare.Equals(line, 0)) continue;
    // No later line can start a whole block.
    LineCursor end = cursor;
    for (std::size_t k = 1; k < q; ++k) {
      if (!end.Next(line)) return;
    }
    // Every further block line must be some line of the query, in any place.
    LineCursor ahead = cursor;
    std::size_t j = 1;
    bool stop = false;
    for (; j < q; ++j) {
      ahead.Next(line);
      const bool passes = compare.InQuery(line);
      stop = Report();
      if (!passes) break;
      if (stop) {
        ++j;
        break;
      }
    }
    if (j == q) collect(i);
    if (stop) return;
  }
}

void Tmy_multiline::WriteLinesView(const std::string& pageFileName, const std::string& fileName) {
  const BusyScope busy(Idle);
  LinesPage page(fileName);
  if (!QueryLines.empty()) {
    const std::size_t q = QueryLines.size();
    for (const auto& entry : BlockStarts) {
      const std::size_t first = ParseLineIndex(entry) + 1;
      page.AddBlock(first, first + q - 1);
    }
  }
  page.Save(pageFileName);
}

void Tmy_multiline::Modify(const std::string& fileName) {
  const TextBuffer file(fileName);
  Modify(file);
}

void Tmy_multiline::Modify(const TextBuffer& file) {
  const BusyScope busy(Idle);
  if (MakeBackup) BackupFile(file);
  const std::size_t lineCount = CountLines(file.Text());
  const std::vector<bool> treated = TreatedBlocks(TakeStarts(lineCount));
  WriteFileSafely(
      file.FileName(), [&](ContentSink& sink) { WriteModified(file, lineCount, treated, sink); },
      &file.Identity());
}

std::vector<bool> Tmy_multiline::TakeStarts(std::size_t lineCount) {
  const std::size_t q = QueryLines.size();
  const auto outOfBounds = [](const std::string& entry) {
    return EListError("List index out of bounds (" + entry + ")");
  };
  if (marks_.active) {
    std::vector<bool> starts = std::exchange(marks_, {}).bits;
    for (std::size_t start = 0; start < starts.size(); ++start) {
      if (starts[start] && start + q > lineCount) throw outOfBounds(std::to_string(start));
    }
    return starts;
  }
  // Every block must still fit the file before anything is changed.
  std::vector<bool> starts;
  for (const auto& entry : BlockStarts) {
    const std::size_t start = ParseLineIndex(entry);
    if (q == 0) continue;
    if (start + q > lineCount) throw outOfBounds(entry);
    if (starts.size() <= start) starts.resize(lineCount);
    starts[start] = true;
  }
  return starts;
}

std::vector<bool> Tmy_multiline::TreatedBlocks(const std::vector<bool>& starts) const {
  const std::size_t q = QueryLines.size();
  std::vector<bool> treated(starts.size());
  if (q == 0 || ModType < 1 || ModType > 5) return treated;
  // From the last block to the first; one that overlaps a block already treated is skipped.
  std::size_t treatedFrom = starts.size() + q;
  for (std::size_t start = starts.size(); start-- > 0;) {
    if (!starts[start] || start + q > treatedFrom) continue;
    treated[start] = true;
    treatedFrom = start;
  }
  return treated;
}

void Tmy_multiline::WriteModified(const TextBuffer& file, std::size_t lineCount,
                                  const std::vector<bool>& treated, ContentSink& sink) const {
  const std::size_t q = QueryLines.size();
  // New lines, each ending with lineBreak; a break inside one becomes lineBreak too. After the
  // file's last line, when it had no break, the last new line has none either.
  const auto addNewLines = [&](std::string_view lineBreak, bool endsFile) {
    for (std::size_t k = 0; k < ReplaceLines.size(); ++k) {
      sink.Append(WithLineBreak(ReplaceLines[k], lineBreak));
      if (!endsFile || k + 1 < ReplaceLines.size()) sink.Append(lineBreak);
    }
  };
  // A line that a NUL cut short runs on into the tail: no break may come between them.
  const bool cutByNul = !file.Tail().empty() && !EndsWithLineBreak(file.Text());
  LineCursor cursor(file.Text());
  std::string_view line;
  std::string_view breakAbove = DefaultBreak(Breaks);
  std::size_t blockEnd = 0;  // the line after the block being treated
  for (std::size_t i = 0; cursor.Next(line); ++i) {
    std::string_view lineBreak = Breaks == LineBreaks::CrLf ? DefaultBreak(Breaks) : cursor.Break();
    if (cutByNul && i + 1 == lineCount) lineBreak = {};
    // New lines at this line take its break, else that of the nearest line above.
    const std::string_view newBreak = lineBreak.empty() ? breakAbove : lineBreak;
    if (!lineBreak.empty()) breakAbove = lineBreak;
    if (i < treated.size() && treated[i]) {
      blockEnd = i + q;
      if (ModType == 2) addNewLines(newBreak, false);
    }
    const bool inBlock = i < blockEnd;
    const bool lastOfBlock = inBlock && i + 1 == blockEnd;
    const bool endsOpen = lastOfBlock && i + 1 == lineCount && lineBreak.empty();
    if (!inBlock || ModType == 2 || ModType == 3) {
      sink.Append(line);
      // Lines added after the file's open last line: it gets the break they take.
      sink.Append(endsOpen && ModType == 3 && !ReplaceLines.empty() ? newBreak : lineBreak);
    } else if (ModType == 5) {
      sink.Append(lineBreak);
    }
    if (lastOfBlock && (ModType == 1 || ModType == 3)) addNewLines(newBreak, endsOpen);
  }
  sink.Append(file.Tail());
}

}  // namespace velmora

#include "engines/Un_Multiline.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <functional>
#include <string_view>

#include "engines/LineSearch.h"

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

// Index of the first of lines[0 .. limit) equal to query line k, or limit when none is.
std::size_t FirstEqual(const std::vector<std::string_view>& lines, std::size_t limit,
                       const LineComparer& compare, std::size_t k) {
  std::size_t i = 0;
  while (i < limit && !compare.Equals(lines[i], k)) ++i;
  return i;
}

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
    const TextBuffer file(fileName);
    const auto lines = SplitLines(file.Text());
    const LineComparer compare(query, TrimLeft, TrimRight, caseSensitive);
    const std::size_t p = FirstEqual(lines, lines.size(), compare, 0);
    if (p == lines.size()) return false;
    for (std::size_t k = 1; k < compare.QuerySize(); ++k) {
      // The first occurrence of query line k must sit exactly k lines below p.
      const std::size_t place = p + k;
      if (place >= lines.size()) return false;
      if (FirstEqual(lines, place + 1, compare, k) != place) return false;
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
  if (QueryLines.empty()) return;
  BlockStarts.clear();
  const BusyScope busy(Idle);
  const auto lines = SplitLines(file.Text());
  const LineComparer compare(QueryLines, TrimLeft, TrimRight, CaseSensitive);
  const std::size_t q = compare.QuerySize();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!compare.Equals(lines[i], 0)) continue;
    if (i + q > lines.size()) return;  // no later line can start a whole block
    // Every further block line must be some line of the query, in any place.
    std::size_t j = i + 1;
    bool stop = false;
    for (; j < i + q; ++j) {
      const bool passes = compare.InQuery(lines[j]);
      stop = Report();
      if (!passes) break;
      if (stop) {
        ++j;
        break;
      }
    }
    if (j == i + q) BlockStarts.push_back(std::to_string(i));
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
  LineEditor editor(file, Breaks);
  const std::size_t q = QueryLines.size();

  // Every block must still fit the file before anything is changed.
  std::vector<std::size_t> starts;
  starts.reserve(BlockStarts.size());
  for (const auto& entry : BlockStarts) {
    const std::size_t start = ParseLineIndex(entry);
    if (q > 0 && start + q > editor.Count()) {
      throw EListError("List index out of bounds (" + entry + ")");
    }
    starts.push_back(start);
  }
  std::sort(starts.begin(), starts.end(), std::greater<>());

  std::size_t treatedFrom = editor.Count() + 1;  // first line of the last block treated
  if (q > 0 && ModType >= 1 && ModType <= 5) {
    for (const std::size_t start : starts) {
      if (start + q > treatedFrom) continue;  // overlaps a block already treated
      treatedFrom = start;
      const std::size_t end = start + q;
      // New lines take the break of the block line they stand in for or next to.
      switch (ModType) {
        case 1:
          editor.Splice(start, end, ReplaceLines, end - 1);
          break;
        case 2:
          editor.Splice(start, start, ReplaceLines, start);
          break;
        case 3:
          editor.Splice(end, end, ReplaceLines, end - 1);
          break;
        case 4:
          editor.Splice(start, end, {}, start);
          break;
        case 5:
          for (std::size_t i = start; i < end; ++i) editor.SetText(i, {});
          break;
      }
    }
  }
  WriteFileSafely(
      file.FileName(),
      [&editor](ContentSink& sink) {
        editor.Write([&sink](std::string_view bytes) { sink.Append(bytes); });
      },
      &file.Identity());
}

}  // namespace velmora

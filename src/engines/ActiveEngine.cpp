#include "engines/ActiveEngine.h"

#include <new>
#include <string_view>

#include "regex/Regex.h"

namespace velmora {

namespace {

template <class Engine>
constexpr bool kHasIntervals = requires(Engine& e) {
  e.UseIntervals;
};
template <class Engine>
constexpr bool kCanModify = requires(Engine& e) {
  e.Modify(std::string());
};

// Runs work on fileName; a failure that is no "no match" is raised again as EEngineError
// naming the file. Regex errors are included where the engine catches those that count.
[[noreturn]] void RaiseEngineError(const char* what, const std::string& fileName,
                                   const std::string& reason) {
  throw EEngineError(std::string(what) + " \"" + fileName + "\": " + reason);
}

template <class Work>
decltype(auto) NamingTheFile(const char* what, const std::string& fileName, bool regexErrors,
                             Work&& work) {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    RaiseEngineError(what, fileName, "Out of memory");
  } catch (const ERegexError& error) {
    if (!regexErrors) throw;
    RaiseEngineError(what, fileName, error.what());
  }
}

// Calls f with the engine the variant points at.
template <class F>
decltype(auto) With(const ActiveEngine::Target& target, F&& f) {
  return std::visit([&](auto* engine) -> decltype(auto) { return f(*engine); }, target);
}

}  // namespace

SearchType ActiveEngine::Type() const {
  return static_cast<SearchType>(engine_.index());
}

bool ActiveEngine::Idle() const {
  return With(engine_, [](auto& e) { return e.Idle; });
}

void ActiveEngine::SetStop(bool stop) {
  With(engine_, [stop](auto& e) { e.Stop = stop; });
}

void ActiveEngine::Fill(const EngineOptions& options) {
  With(engine_, [&](auto& e) {
    if constexpr (requires { e.Query; }) e.Query = options.query;
    if constexpr (requires { e.SetLines(options.queryLines); }) e.SetLines(options.queryLines);
    e.CaseSensitive = options.caseSensitive;
    if constexpr (requires { e.WholeWords; }) e.WholeWords = options.wholeWords;
    if constexpr (requires { e.DotAll; }) e.DotAll = options.dotAll;
    if constexpr (requires { e.IgnoreSpace; }) e.IgnoreSpace = options.ignoreSpace;
    if constexpr (requires { e.TrimLeft; }) e.TrimLeft = options.trimLeft;
    if constexpr (requires { e.TrimRight; }) e.TrimRight = options.trimRight;
    if constexpr (requires { e.UseIntervals; }) {
      if (options.useIntervals) e.UseIntervals = *options.useIntervals;
    }
  });
}

bool ActiveEngine::CheckQuery(const std::string& query) {
  return With(engine_, [&](auto& e) {
    if constexpr (requires { e.CheckQuery(query); }) {
      return e.CheckQuery(query);
    } else {
      return true;
    }
  });
}

bool ActiveEngine::Search(const std::string& fileName) {
  return NamingTheFile("Cannot search", fileName, true,
                       [&] { return With(engine_, [&](auto& e) { return e.Search(fileName); }); });
}

void ActiveEngine::BuildLines(const std::string& fileName) {
  NamingTheFile("Cannot list the lines of", fileName, true,
                [&] { With(engine_, [&](auto& e) { e.BuildLines(fileName); }); });
}

void ActiveEngine::BuildLines(const TextBuffer& file) {
  With(engine_, [&](auto& e) {
    if constexpr (requires { e.BuildLines(file); }) {
      e.BuildLines(file);
    } else {
      e.BuildLines(file.FileName());
    }
  });
}

void ActiveEngine::ListForModification(const TextBuffer& file) {
  With(engine_, [&](auto& e) {
    if constexpr (requires { e.MarkLines(file); }) {
      e.MarkLines(file);
    } else {
      BuildLines(file);
    }
  });
}

void ActiveEngine::WriteLinesView(const std::string& pageFileName, const std::string& fileName) {
  With(engine_, [&](auto& e) { e.WriteLinesView(pageFileName, fileName); });
}

bool ActiveEngine::HasIntervals() const {
  return With(engine_, [](auto& e) { return kHasIntervals<std::remove_reference_t<decltype(e)>>; });
}

bool ActiveEngine::UseIntervals() const {
  return With(engine_, [](auto& e) {
    if constexpr (requires { e.UseIntervals; }) {
      return e.UseIntervals;
    } else {
      return false;
    }
  });
}

void ActiveEngine::SetUseIntervals(bool on) {
  With(engine_, [on](auto& e) {
    if constexpr (requires { e.UseIntervals; }) e.UseIntervals = on;
  });
}

void ActiveEngine::SetIntervals(const std::vector<std::size_t>& lines) {
  With(engine_, [&](auto& e) {
    if constexpr (kHasIntervals<std::remove_reference_t<decltype(e)>>) {
      std::vector<std::string> entries;
      entries.reserve(lines.size());
      for (const std::size_t line : lines) entries.push_back(std::to_string(line));
      e.SetIntervals(entries);
    }
  });
}

namespace {

std::vector<std::size_t> ParseEntries(const std::vector<std::string>& entries) {
  std::vector<std::size_t> lines;
  lines.reserve(entries.size());
  for (const auto& entry : entries) lines.push_back(ParseLineIndex(entry));
  return lines;
}

}  // namespace

std::vector<std::size_t> ActiveEngine::LineNumbers() const {
  return With(engine_, [](auto& e) {
    if constexpr (requires { e.LineNumbers; }) {
      return ParseEntries(e.LineNumbers);
    } else {
      return std::vector<std::size_t>();
    }
  });
}

std::vector<std::size_t> ActiveEngine::Intervals() const {
  return With(engine_, [](auto& e) {
    if constexpr (kHasIntervals<std::remove_reference_t<decltype(e)>>) {
      return ParseEntries(e.Intervals);
    } else {
      return std::vector<std::size_t>();
    }
  });
}

bool ActiveEngine::CanModify() const {
  return With(engine_, [](auto& e) { return kCanModify<std::remove_reference_t<decltype(e)>>; });
}

void ActiveEngine::SetModification(const ModificationOptions& modification) {
  With(engine_, [&](auto& e) {
    if constexpr (kCanModify<std::remove_reference_t<decltype(e)>>) {
      e.MakeBackup = modification.makeBackup;
      e.Breaks = modification.breaks;
      e.ModType = modification.modType;
      if constexpr (requires { e.ReplaceLines; }) {
        std::vector<std::string> lines;
        for (const auto line : SplitLines(modification.replacement)) lines.emplace_back(line);
        e.SetReplaceLines(lines);
      } else {
        e.Replacement = modification.replacement;
      }
    }
  });
}

void ActiveEngine::Modify(const std::string& fileName) {
  // A pattern that does not compile keeps its own message here.
  NamingTheFile("Cannot modify", fileName, false, [&] {
    With(engine_, [&](auto& e) {
      if constexpr (kCanModify<std::remove_reference_t<decltype(e)>>) e.Modify(fileName);
    });
  });
}

void ActiveEngine::Modify(const TextBuffer& file) {
  With(engine_, [&](auto& e) {
    if constexpr (kCanModify<std::remove_reference_t<decltype(e)>>) e.Modify(file);
  });
}

void CheckQueryCompiles(const EngineOptions& options) {
  if (options.type != SearchType::Regex || options.QueryEmpty()) return;
  Tmy_regexpr probe;
  ActiveEngine(&probe).Fill(options);
  probe.CompileQuery();
}

ActiveEngine SelectEngine(SearchType type, Tmy_phrase& phrase, Tmy_wordor& wordor,
                          Tmy_wordand& wordand, Tmy_searchengine& searchengine,
                          Tmy_multiline& multiline, Tmy_regexpr& regexpr) {
  switch (type) {
    case SearchType::Phrase:
      return ActiveEngine(&phrase);
    case SearchType::WordOr:
      return ActiveEngine(&wordor);
    case SearchType::WordAnd:
      return ActiveEngine(&wordand);
    case SearchType::Query:
      return ActiveEngine(&searchengine);
    case SearchType::Multiline:
      return ActiveEngine(&multiline);
    case SearchType::Regex:
      break;
  }
  return ActiveEngine(&regexpr);
}

ActiveEngine EngineSet::Select(SearchType type) {
  return SelectEngine(type, phrase, wordor, wordand, searchengine, multiline, regexpr);
}

void EngineSet::SetProgressEvent(const TProgressEvent& event) {
  phrase.OnProgress = wordor.OnProgress = wordand.OnProgress = event;
  searchengine.OnProgress = multiline.OnProgress = regexpr.OnProgress = event;
}

void EngineSet::SetFileErrorEvent(const TFileErrorEvent& event) {
  phrase.OnFileError = wordor.OnFileError = wordand.OnFileError = event;
  searchengine.OnFileError = multiline.OnFileError = regexpr.OnFileError = event;
}

std::vector<std::size_t> ParseIntervals(std::string_view text) {
  std::vector<std::size_t> lines;
  if (text.empty()) return lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    lines.push_back(ParseLineIndex(text.substr(start, comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return lines;
}

}  // namespace velmora

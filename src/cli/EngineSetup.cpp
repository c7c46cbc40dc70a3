#include "cli/EngineSetup.h"

#include <stdexcept>

#include "cli/TextFiles.h"
#include "engines/Un_Multiline.h"
#include "engines/Un_MyRegExpr.h"
#include "engines/Un_Phrase.h"
#include "engines/Un_SearchEngine.h"
#include "engines/Un_wordand.h"
#include "engines/Un_wordor.h"
#include "regex/Regex.h"

namespace velmora::cli {

namespace {

// One engine class behind ActiveEngine. Members an engine class lacks are simply not set, so
// every engine keeps its own defaults for what the options do not cover.
template <class Engine>
class EngineSlot final : public ActiveEngine {
 public:
  explicit EngineSlot(const EngineOptions& options) : query_(options.query) {
    engine_.Stop = false;
    engine_.CaseSensitive = options.caseSensitive;
    if constexpr (requires { engine_.WholeWords; }) engine_.WholeWords = options.wholeWords;
    if constexpr (requires { engine_.DotAll; }) engine_.DotAll = options.dotAll;
    if constexpr (requires { engine_.IgnoreSpace; }) engine_.IgnoreSpace = options.ignoreSpace;
    if constexpr (requires { engine_.TrimLeft; }) engine_.TrimLeft = options.trimLeft;
    if constexpr (requires { engine_.TrimRight; }) engine_.TrimRight = options.trimRight;
    if constexpr (requires { engine_.Query; }) engine_.Query = options.query;
    if constexpr (requires { engine_.SetLines(options.queryLines); }) {
      engine_.SetLines(options.queryLines);
    }
  }

  bool CheckQuery() override {
    if constexpr (requires { engine_.CheckQuery(query_); }) {
      return engine_.CheckQuery(query_);
    } else {
      return true;
    }
  }

  bool Search(const std::string& fileName) override { return engine_.Search(fileName); }
  void BuildLines(const std::string& fileName) override { engine_.BuildLines(fileName); }
  void WriteLinesView(const std::string& pageFileName, const std::string& fileName) override {
    engine_.WriteLinesView(pageFileName, fileName);
  }

  bool HasIntervals() const override { return kHasIntervals; }
  void SetUseIntervals(bool on) override {
    if constexpr (kHasIntervals) engine_.UseIntervals = on;
  }
  void SetIntervals(const std::vector<std::string>& intervals) override {
    if constexpr (kHasIntervals) engine_.SetIntervals(intervals);
  }

  bool CanModify() const override { return kCanModify; }
  void SetModification(bool makeBackup, const std::string& replacement, int modType) override {
    if constexpr (kCanModify) {
      engine_.MakeBackup = makeBackup;
      if constexpr (requires { engine_.SetReplaceLines(std::vector<std::string>()); }) {
        engine_.SetReplaceLines(SplitLines(replacement));
      } else {
        engine_.Replacement = replacement;
      }
      engine_.ModType = modType;
    }
  }
  void Modify(const std::string& fileName) override {
    if constexpr (kCanModify) engine_.Modify(fileName);
  }

 private:
  static constexpr bool kHasIntervals = requires(Engine & e) {
    e.SetIntervals(std::vector<std::string>());
  };
  static constexpr bool kCanModify = requires(Engine & e) { e.Modify(std::string()); };

  Engine engine_;
  std::string query_;
};

}  // namespace

void CheckQueryOrThrow(ActiveEngine& engine, const EngineOptions& options) {
  if (!engine.CheckQuery()) throw std::runtime_error("Missing \"");
  if (options.type != SearchType::Regex || options.QueryEmpty()) return;
  // The modifiers the engine compiles with: i, s and x.
  TRegex regex;
  regex.SetModifier(1, !options.caseSensitive);
  regex.SetModifier(3, options.dotAll);
  regex.SetModifier(6, options.ignoreSpace);
  regex.SetExpression(options.query);
  try {
    regex.Compile();
  } catch (const ERegexError& e) {
    throw std::runtime_error(e.what());
  }
}

std::unique_ptr<ActiveEngine> MakeEngine(const EngineOptions& options) {
  switch (options.type) {
    case SearchType::Phrase:
      return std::make_unique<EngineSlot<Tmy_phrase>>(options);
    case SearchType::WordOr:
      return std::make_unique<EngineSlot<Tmy_wordor>>(options);
    case SearchType::WordAnd:
      return std::make_unique<EngineSlot<Tmy_wordand>>(options);
    case SearchType::Query:
      return std::make_unique<EngineSlot<Tmy_searchengine>>(options);
    case SearchType::Multiline:
      return std::make_unique<EngineSlot<Tmy_multiline>>(options);
    case SearchType::Regex:
      return std::make_unique<EngineSlot<Tmy_regexpr>>(options);
  }
  throw std::logic_error("unknown search type");
}

}  // namespace velmora::cli

#include "cli/EngineOptions.h"

#include <array>
#include <utility>

#include "cli/RunDeadline.h"
#include "cli/TextFiles.h"

namespace velmora::cli {

namespace {

constexpr std::array<std::pair<const char*, SearchType>, 6> kTypeNames{{
    {"phrase", SearchType::Phrase},
    {"word-or", SearchType::WordOr},
    {"word-and", SearchType::WordAnd},
    {"query", SearchType::Query},
    {"multiline", SearchType::Multiline},
    {"regex", SearchType::Regex},
}};

constexpr OptionSpec kEngineOptions[] = {
    {"type", true},    {"query", true},      {"query-file", true}, {"case-sensitive"},
    {"whole-words"},   {"dot-all"},          {"ignore-space"},     {"no-trim-left"},
    {"no-trim-right"}, RunDeadline::kOption,
};

SearchType ParseType(const std::string& name) {
  for (const auto& [text, type] : kTypeNames) {
    if (name == text) return type;
  }
  throw UsageError("unknown search type \"" + name + "\"");
}

}  // namespace

std::span<const OptionSpec> EngineOptionSpecs() {
  return kEngineOptions;
}

const char* TypeName(SearchType type) {
  for (const auto& [text, value] : kTypeNames) {
    if (value == type) return text;
  }
  return "?";
}

EngineOptions ReadEngineOptions(const ParsedArgs& parsed) {
  parsed.ExpectAtMostOne("query", "query-file");
  EngineOptions options;
  if (const auto type = parsed.Value("type")) options.type = ParseType(*type);
  if (const auto text = parsed.Value("query")) {
    options.query = *text;
  } else if (const auto file = parsed.Value("query-file")) {
    options.query = ReadWholeFile(*file);
    // A one-line query box takes only the file's first line.
    if (options.type != SearchType::Multiline && options.type != SearchType::Regex) {
      options.query = FirstLine(options.query);
    }
  }
  if (options.type == SearchType::Multiline) options.queryLines = SplitLines(options.query);
  options.caseSensitive = parsed.Has("case-sensitive");
  options.wholeWords = parsed.Has("whole-words");
  options.dotAll = parsed.Has("dot-all");
  options.ignoreSpace = parsed.Has("ignore-space");
  options.trimLeft = !parsed.Has("no-trim-left");
  options.trimRight = !parsed.Has("no-trim-right");
  return options;
}

}  // namespace velmora::cli

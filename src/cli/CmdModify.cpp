// velmora-cli modify: the modification run over the named files, in order, as the driver runs
// it for listed rows. The first error ends the run; files already handled stay modified.

#include <array>
#include <string_view>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/EngineSetup.h"
#include "cli/RunDeadline.h"
#include "cli/TextFiles.h"

namespace velmora::cli {

namespace {

constexpr OptionSpec kModifyOptions[] = {
    {"mod", true}, {"replacement", true}, {"replacement-file", true},
    {"backup"},    {"intervals", true},   {"crlf"},
};

// The items of "Modification Type", by index.
constexpr std::array<std::string_view, 6> kModNames = {
    "none", "replace", "insert-before", "insert-after", "delete", "clear",
};

int ParseModType(const std::string& name) {
  for (std::size_t i = 0; i < kModNames.size(); ++i) {
    if (kModNames[i] == name) return static_cast<int>(i);
  }
  throw UsageError("unknown modification type \"" + name + "\"");
}

// The replacement as the window's box holds it: the phrase's box is one line, the regex and
// multiline memos take the whole text.
std::string ReadReplacement(const ParsedArgs& parsed, SearchType type) {
  parsed.ExpectAtMostOne("replacement", "replacement-file");
  if (const auto text = parsed.Value("replacement")) return *text;
  if (const auto file = parsed.Value("replacement-file")) {
    std::string content = ReadWholeFile(*file);
    return type == SearchType::Phrase ? FirstLine(content) : content;
  }
  return {};
}

}  // namespace

int RunModify(std::span<const std::string> args, Io&) {
  const ParsedArgs parsed = ParsedArgs::Parse(args, {EngineOptionSpecs(), kModifyOptions});
  const auto& files = parsed.Positional();
  if (files.empty()) throw UsageError("modify needs at least one FILE");
  const auto modName = parsed.Value("mod");
  if (!modName) throw UsageError("modify needs --mod");
  const int modType = ParseModType(*modName);
  const EngineOptions options = ReadEngineOptions(parsed);
  const std::string replacement = ReadReplacement(parsed, options.type);

  EngineSet engines;
  ActiveEngine engine = engines.Select(options.type);
  if (!engine.CanModify()) {
    throw UsageError(std::string("type ") + TypeName(options.type) + " cannot modify files");
  }
  const auto intervals = parsed.Value("intervals");
  if (intervals && !engine.HasIntervals()) {
    throw UsageError(std::string("--intervals does not apply to type ") + TypeName(options.type));
  }

  PrepareEngine(engines, options);
  RunDeadline deadline(parsed);
  deadline.Watch(engines);

  const ModificationOptions modification{modType, replacement, parsed.Has("backup"),
                                         parsed.Has("crlf") ? LineBreaks::CrLf : LineBreaks::Kept};
  for (const std::string& file : files) {
    engine.SetModification(modification);
    // One read: the lines are listed and changed in the same bytes.
    const TextBuffer read(file);
    engine.ListForModification(read);
    // Lines collected by a stopped run are not all the lines: the file is left as it is.
    if (deadline.Stopped()) break;
    if (intervals) engine.SetIntervals(ParseIntervals(*intervals));
    engine.Modify(read);
  }
  deadline.ReportStop();
  return kExitFound;
}

}  // namespace velmora::cli

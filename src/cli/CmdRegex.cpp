// velmora-cli regex: one regular expression run on one input, for scripts and for checking the
// regex engine against a reference through a fixed text interface.

#include <optional>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/TextFiles.h"
#include "regex/Regex.h"

namespace velmora::cli {

namespace {

constexpr OptionSpec kRegexOptions[] = {
    {"expr", true}, {"expr-file", true}, {"modifiers", true}, {"input", true}, {"input-file", true},
    {"all"},        {"replace", true},   {"expand", true},
};

constexpr int kCaptureCount = 15;

// The text of --NAME, or of the file named by --NAME-file; exactly one of them is required.
std::string TextOrFile(const ParsedArgs& parsed, const std::string& name) {
  const std::string fileOption = name + "-file";
  parsed.ExpectAtMostOne(name, fileOption);
  if (const auto text = parsed.Value(name)) return *text;
  if (const auto file = parsed.Value(fileOption)) return ReadWholeFile(*file);
  throw UsageError("regex needs --" + name + " or --" + fileOption);
}

// "i1s0g1": letter-digit pairs, applied in order. Letters i r s g m x are indexes 1 to 6.
void ApplyModifiers(TRegex& regex, const std::string& spec) {
  static constexpr std::string_view kLetters = "irsgmx";
  if (spec.size() % 2 != 0) throw UsageError("modifiers must be letter-digit pairs: " + spec);
  for (std::size_t i = 0; i < spec.size(); i += 2) {
    const char letter = static_cast<char>(spec[i] | 0x20);  // either case
    const std::size_t index = kLetters.find(letter);
    const char digit = spec[i + 1];
    if (index == std::string_view::npos || (digit != '0' && digit != '1')) {
      throw UsageError("bad modifier pair \"" + spec.substr(i, 2) + "\" in " + spec);
    }
    regex.SetModifier(static_cast<std::int32_t>(index + 1), digit == '1');
  }
}

void PrintCaptures(const TRegex& regex, Io& io) {
  for (int i = 0; i < kCaptureCount; ++i) {
    if (i > 0) io.out << ' ';
    io.out << regex.MatchStart(i) << ',' << regex.MatchLength(i);
  }
  io.out << '\n';
}

int RunParsed(const ParsedArgs& parsed, Io& io) {
  parsed.ExpectAtMostOne("replace", "expand");
  if (!parsed.Positional().empty()) throw UsageError("regex takes no further arguments");
  const std::string expression = TextOrFile(parsed, "expr");
  const std::string input = TextOrFile(parsed, "input");

  TRegex regex;
  regex.SetExpression(expression);
  if (const auto spec = parsed.Value("modifiers")) ApplyModifiers(regex, *spec);

  // --all only matters for the capture listing; ReplaceAll treats every match anyway.
  const bool matched = regex.Exec(input);
  if (const auto templ = parsed.Value("replace")) {
    io.out << regex.ReplaceAll(input, *templ, true);
  } else if (const auto expandTempl = parsed.Value("expand")) {
    io.out << regex.ExpandTemplate(*expandTempl);
  } else if (matched) {
    PrintCaptures(regex, io);
    if (parsed.Has("all")) {
      while (regex.ExecNext()) PrintCaptures(regex, io);
    }
  }
  return matched ? kExitFound : kExitNotFound;
}

}  // namespace

int RunRegex(std::span<const std::string> args, Io& io) {
  const ParsedArgs parsed = ParsedArgs::Parse(args, {kRegexOptions});
  try {
    return RunParsed(parsed, io);
  } catch (const ERegexError& e) {
    io.out << "error " << e.ErrorCode << ' ' << e.ErrorPosition << ' ' << e.what() << '\n';
    return kExitRegexError;
  }
}

}  // namespace velmora::cli

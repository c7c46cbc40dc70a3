// TRegex: creation, pattern and modifier properties, character properties, errors, and the
// free helpers ToggleCase and EscapeMetaChars.

#include <cctype>
#include <cstring>
#include <limits>
#include <string>

#include "regex/Regex.h"

namespace velmora {

unsigned char ToggleCase(unsigned char c) {
  const int upper = std::toupper(c);
  if (upper != c) return static_cast<unsigned char>(upper);
  return static_cast<unsigned char>(std::tolower(c));
}

TRegexDefaults& RegexDefaults() {
  static TRegexDefaults defaults;
  return defaults;
}

std::string EscapeMetaChars(std::string_view text) {
  static constexpr std::string_view kMeta = "^$.[()|?+*\\{]}";
  std::string result;
  result.reserve(text.size() + text.size() / 4);
  for (const char c : text) {
    if (kMeta.find(c) != std::string_view::npos) result.push_back('\\');
    result.push_back(c);
  }
  return result;
}

namespace {

std::string_view UpToNul(std::string_view text) {
  const auto nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

}  // namespace

TRegex::TRegex() {
  const TRegexDefaults& d = RegexDefaults();
  ModifierSet = (d.ModifierI ? MODIFIER_I : 0) | (d.ModifierR ? MODIFIER_R : 0) |
                (d.ModifierS ? MODIFIER_S : 0) | (d.ModifierG ? MODIFIER_G : 0) |
                (d.ModifierM ? MODIFIER_M : 0);
  SpaceChars = d.SpaceCharacters;
  WordChars = d.WordCharacters;
  LineSepChars = d.LineSeparatorChars;
  LinePair = d.LinePairedSeparator;
  ToggleFn = d.ToggleCaseFunction ? d.ToggleCaseFunction : &ToggleCase;
}

TRegex::~TRegex() = default;

void TRegex::SetExpression(std::string_view text) {
  text = UpToNul(text);
  if (CompiledFlag && text == ExpressionText) return;
  ExpressionText.assign(text);
  DiscardProgram();
}

void TRegex::SetModifier(std::int32_t index, bool on) {
  if (index < 1 || index > 6) RaiseError(1013);
  const int bit = 1 << (index - 1);
  ModifierSet = on ? (ModifierSet | bit) : (ModifierSet & ~bit);
}

bool TRegex::GetModifier(std::int32_t index) const {
  if (index < 1 || index > 6) RaiseError(1013);
  return (ModifierSet >> (index - 1)) & 1;
}

void TRegex::SetSpaceCharacters(std::string_view chars) {
  SpaceChars.assign(chars);
  DiscardProgram();
}

void TRegex::SetWordCharacters(std::string_view chars) {
  WordChars.assign(chars);
  DiscardProgram();
}

void TRegex::SetLineSeparatorChars(std::string_view chars) {
  LineSepChars.assign(chars);
  DiscardProgram();
}

void TRegex::SetLinePairedSeparator(std::string_view pair) {
  // A NUL in the pair could never be met inside a NUL-ended subject, and would make the line
  // tests look past the end of the input; it is refused like any other invalid pair.
  const bool valid = pair.empty() ||
                     (pair.size() == 2 && pair[0] != pair[1] && pair[0] != '\0' && pair[1] != '\0');
  if (!valid) RaiseError(128);
  if (pair == LinePair) return;
  LinePair.assign(pair);
  DiscardProgram();
}

void TRegex::SetToggleCaseFunction(TToggleCaseFunction fn) {
  ToggleFn = fn ? fn : &ToggleCase;
  DiscardProgram();
}

std::string TRegex::ErrorText(std::int32_t code) const {
  switch (code) {
    case 0:
      return "No errors";
    case 102:
      return "Regex(comp): ParseReg Too Many ()";
    case 103:
    case 104:
      return "Regex(comp): ParseReg Unmatched ()";
    case 106:
      return "Regex(comp): *+ Operand Could Be Empty";
    case 107:
      return "Regex(comp): Nested *?+";
    case 108:
      return "Regex(comp): Bad Hex Digit";
    case 109:
      return "Regex(comp): Invalid [] Range";
    case 110:
      return "Regex(comp): Parse Atom Trailing \\";
    case 111:
      return "Regex(comp): No Hex Code After \\x";
    case 112:
      return "Regex(comp): Hex Code After \\x Is Too Big";
    case 113:
      return "Regex(comp): Unmatched []";
    case 115:
      return "Regex(comp): ?+*{ Follows Nothing";
    case 116:
      return "Regex(comp): Trailing \\";
    case 122:
      return "Regex(comp): BRACES Argument Too Big";
    case 124:
      return "Regex(comp): BRACE Min Param Greater then Max";
    case 125:
      return "Regex(comp): Unclosed (?#Comment)";
    case 127:
      return "Regex(comp): Urecognized Modifier";
    case 128:
      return "Regex(comp): LinePairedSeparator must countain two different chars or no chars at "
             "all";
    case 1003:
      return "Regex(exec): Not Assigned Expression Property";
    case 1005:
      return "Regex(exec): No Input String Specified";
    case 1006:
      return "Regex(exec): Offset Must Be Greater Then 0";
    case 1007:
      return "Regex(exec): ExecNext Without Exec[Pos]";
    case 1014:
      return "Regex(exec): Loop Stack Exceeded";
    default:
      return "Unknown error";
  }
}

void TRegex::RaiseError(std::int32_t code) const {
  std::int32_t position = 0;
  if (Compiling) {
    constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    position = static_cast<std::int32_t>(ParseOffset < kMax ? ParseOffset : kMax);
  }
  std::string message = ErrorText(code);
  if (code < 1000) message += " (pos " + std::to_string(position) + ")";
  throw ERegexError(message, code, position);
}

void TRegex::DiscardProgram() {
  Program = {};
  CompiledFlag = false;
  FastPathData = TRegexFastPath{};
}

void TRegex::PrepareProgram() {
  if (CompiledFlag && ModifierSet != ProgramModifierSet) DiscardProgram();
  if (CompiledFlag) return;
  if (ExpressionText.empty()) RaiseError(1003);
  CompileExpression();
}

void TRegex::Compile() {
  PrepareProgram();
}

}  // namespace velmora

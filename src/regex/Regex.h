#pragma once

// TRegex: the regular-expression engine every search engine runs on. Create one, set the
// pattern (SetExpression) and modifiers, run Exec / ExecNext or ReplaceAll, read the match
// positions, drop it. The pattern is compiled lazily into one byte program (layout in
// RegexProgram.h) by the first operation that needs it; syntax errors surface from that call
// as ERegexError.
//
// Characters are bytes. Pattern and subject end at their first NUL byte.
//
// Sources: the compiler, the properties and the errors live in RegexCompiler.cpp; the matcher in
// RegexMatcher.cpp; template expansion and replace-all in RegexSubstitute.cpp.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "regex/RegexProgram.h"

namespace velmora {

// A regex error: what() is the exact message ("<text>" or, for codes below 1000,
// "<text> (pos <n>)").
class ERegexError : public std::runtime_error {
 public:
  ERegexError(const std::string& message, std::int32_t code, std::int32_t position)
      : std::runtime_error(message), ErrorCode(code), ErrorPosition(position) {}

  std::int32_t ErrorCode;
  std::int32_t ErrorPosition;
};

// Modifier bits of a modifier set; SetModifier/GetModifier index n addresses bit 1 << (n - 1).
inline constexpr int MODIFIER_I = 1;   // case-insensitive
inline constexpr int MODIFIER_R = 2;   // Cyrillic ranges in classes
inline constexpr int MODIFIER_S = 4;   // "." matches line separators too
inline constexpr int MODIFIER_G = 8;   // greedy quantifiers
inline constexpr int MODIFIER_M = 16;  // "^" and "$" at line boundaries
inline constexpr int MODIFIER_X = 32;  // extended syntax

// The other-case form of a letter, any other byte unchanged: the C library's single-byte
// toupper, and tolower when toupper leaves it alone (current locale; ASCII only under UTF-8).
unsigned char ToggleCase(unsigned char c);

using TToggleCaseFunction = unsigned char (*)(unsigned char);

// Process-wide defaults copied into every new TRegex. Set them at start only.
struct TRegexDefaults {
  bool ModifierI = false;
  bool ModifierR = true;
  bool ModifierS = true;
  bool ModifierG = true;
  bool ModifierM = false;
  std::string SpaceCharacters = std::string(" \t\n\r\f");
  std::string WordCharacters = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
  std::string LineSeparatorChars = std::string("\r\n");
  std::string LinePairedSeparator = std::string("\r\n");
  TToggleCaseFunction ToggleCaseFunction = &ToggleCase;
};
TRegexDefaults& RegexDefaults();

// Puts a "\" before each of the 14 metacharacters "^$.[()|?+*\{]}" so that the result,
// compiled with modifier x off, matches exactly `text`.
std::string EscapeMetaChars(std::string_view text);

// Data the compiler leaves for the matcher's fast paths. None of it changes which match is
// found; it only lets the search skip start positions or reject an input early.
struct TRegexFastPath {
  std::array<bool, 256> StartCharSet{};  // bytes at which a match can begin (0: at input end)
  unsigned char FirstLiteralChar = 0;    // every match begins with it; 0 = none
  bool AnchoredAtStart = false;          // every match begins at the input start
  std::string RequiredLiteral;           // every match contains it; empty = none
  // The longest literal on the sequence of a single-alternative program, wherever it stands
  // ("Buffer" in "(Read|Write)Buffer"): every match contains it. Empty = none.
  std::string MandatoryLiteral;
  bool MandatoryLiteralIgnoresCase = false;  // it compares as the program's OP_LITERAL_CI
};

class TRegex {
 public:
  TRegex();
  virtual ~TRegex();
  TRegex(const TRegex&) = delete;
  TRegex& operator=(const TRegex&) = delete;

  // ---- pattern and modifiers -------------------------------------------------------------
  // Stores the pattern (up to its first NUL) and discards the program unless the text is the
  // compiled one. Nothing is compiled here.
  void SetExpression(std::string_view text);
  const std::string& Expression() const { return ExpressionText; }

  // index 1..6 = i, r, s, g, m, x. Any other index raises 1013 and changes nothing.
  void SetModifier(std::int32_t index, bool on);
  bool GetModifier(std::int32_t index) const;
  // The whole modifier set (MODIFIER_* bits).
  int Modifiers() const { return ModifierSet; }

  // ---- character properties (copied from RegexDefaults() at creation) -------------------
  // Changing one discards the program, since the compiler copies them into it.
  const std::string& SpaceCharacters() const { return SpaceChars; }
  void SetSpaceCharacters(std::string_view chars);
  const std::string& WordCharacters() const { return WordChars; }
  void SetWordCharacters(std::string_view chars);
  const std::string& LineSeparatorChars() const { return LineSepChars; }
  void SetLineSeparatorChars(std::string_view chars);
  // Empty or exactly two different non-NUL characters; anything else raises 128 and keeps
  // the old value. A different valid value discards the program.
  const std::string& LinePairedSeparator() const { return LinePair; }
  void SetLinePairedSeparator(std::string_view pair);
  TToggleCaseFunction ToggleCaseFunction() const { return ToggleFn; }
  void SetToggleCaseFunction(TToggleCaseFunction fn);

  // ---- searching (defined by the matcher) ------------------------------------------------
  // Copies `input` (up to its first NUL) and searches from the start.
  bool Exec(std::string_view input);
  // Like Exec but without copying: the bytes must stay alive and unchanged while the match
  // positions or MatchText are used, until the next Exec/ExecView.
  bool ExecView(std::string_view input);
  // Searches the current input from the 1-based `offset`.
  bool ExecPos(std::int32_t offset);
  // Searches again after the last match (one further after an empty match).
  bool ExecNext();

  // Capture i (0 = whole match, 1..14 groups): 1-based start, length, text; -1 / -1 / ""
  // when i is out of range, no input is set or the capture is unset.
  std::int32_t MatchStart(std::int32_t i) const;
  std::int32_t MatchLength(std::int32_t i) const;
  std::string MatchText(std::int32_t i) const;

  // ---- substitution (defined by the matcher side) ----------------------------------------
  std::string ExpandTemplate(std::string_view templ);
  std::string ReplaceAll(std::string_view input, std::string_view replacement, bool expand = true);

  // Called every few thousand matcher steps while a search runs. Setting `stop` ends the
  // current search: it returns false, raises nothing and changes no other state. Empty:
  // never called.
  std::function<void(bool& stop)> OnProgress;

  // ---- errors ----------------------------------------------------------------------------
  virtual std::string ErrorText(std::int32_t code) const;
  // Raises ERegexError(code); the position is the parse position while compiling, else 0.
  [[noreturn]] virtual void RaiseError(std::int32_t code) const;

  // ---- the compiled program (for tests and diagnostics) ----------------------------------
  // Compiles now if needed (the same check every search makes; raises as a search would).
  void Compile();
  bool IsCompiled() const { return CompiledFlag; }
  // The program bytes; empty while no program is compiled.
  std::span<const std::uint8_t> ProgramBytes() const { return Program; }
  // One node per line: "<pos>: <NAME> [operand] -> <next pos|none>". Compiles if needed.
  std::string Dump();
  const TRegexFastPath& FastPath() const { return FastPathData; }

 private:
  class Compiler;
  friend class Compiler;

  // ---- compiler side (RegexCompiler.cpp) -------------------------------------------------
  // Program check before every search or expansion: discards a program compiled with another
  // modifier set, raises 1003 without a pattern, compiles when there is no program.
  void PrepareProgram();
  bool CompileExpression();
  void DiscardProgram();
  void ComputeFastPath(int topFlags);

  std::string ExpressionText;
  int ModifierSet = 0;
  int ProgramModifierSet = 0;
  bool CompiledFlag = false;
  std::vector<std::uint8_t> Program;  // exactly the measured size; empty = no program

  std::string SpaceChars;
  std::string WordChars;
  std::string LineSepChars;
  std::string LinePair;
  TToggleCaseFunction ToggleFn = &ToggleCase;

  // Filled by every compile from the properties above, for the matcher's use.
  std::array<unsigned char, 256> CaseToggle{};  // ToggleFn applied to every byte
  std::array<bool, 256> WordCharSet{};          // members of WordChars
  std::array<bool, 256> LineSepSet{};           // members of LineSepChars (never 0)
  TRegexFastPath FastPathData;

  // Parse position while compiling, for error positions; Compiling false otherwise.
  bool Compiling = false;
  std::size_t ParseOffset = 0;

  // ---- matcher state (RegexMatcher.cpp / RegexSubstitute.cpp; the matcher may extend) ----
  std::string InputCopy;             // owned copy made by Exec
  const char* InputStart = nullptr;  // first byte of the current input
  const char* InputEnd = nullptr;    // one past its last byte (not necessarily a NUL)
  bool HasInput = false;
  // Capture positions inside [InputStart, InputEnd]; nullptr = unset.
  std::array<const char*, regex_program::CAPTURE_COUNT> CaptureStart{};
  std::array<const char*, regex_program::CAPTURE_COUNT> CaptureEnd{};

  // One search over the current input; lives only while ExecPos runs (RegexMatcher.cpp).
  class Matcher;
  friend class Matcher;
  // Backtracking stack of the running search, kept to reuse its memory: no recursion, so no
  // pattern or input can exhaust the call stack.
  std::vector<std::uint32_t> Backtrack;
  // Per OP_BACK node (indexed by its program offset): the input offset of its last pass on the
  // current path, or -1. Guards loops whose iteration consumed nothing. Reset after each search.
  std::vector<std::int32_t> BackPass;
  bool BackPassDirty = false;  // a search ended by an exception left BackPass unrestored
  // ---- end of matcher state --------------------------------------------------------------
};

}  // namespace velmora

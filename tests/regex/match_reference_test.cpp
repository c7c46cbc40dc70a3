// The matcher checked against a reference: a plain recursive interpreter of the same compiled
// program, written for clarity only. It tries every start position without fast paths, uses no
// repeat hints and keeps its state in snapshots instead of an undo stack, so it shares none of
// the matcher's optimisations. Random patterns over a small alphabet and short inputs keep its
// recursion shallow.

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <vector>

#include "regex/RegexProgram.h"
#include "regex_test_util.h"

namespace velmora {
namespace {

using namespace regex_program;

class ReferenceMatcher {
 public:
  ReferenceMatcher(const TRegex& re, std::string_view input)
      : re_(re), pair_(re.LinePairedSeparator()), in_(input) {
    for (const char c : re.WordCharacters()) word_[static_cast<unsigned char>(c)] = true;
    for (const char c : re.LineSeparatorChars()) sep_[static_cast<unsigned char>(c)] = true;
  }

  // Captures (starts, then ends) of the first match at the leftmost start position, or nothing.
  std::optional<std::array<int, 2 * CAPTURE_COUNT>> Search() {
    for (int p = 0; p <= static_cast<int>(in_.size()); ++p) {
      s_ = State{};
      s_.caps.fill(-1);
      s_.pos = p;
      if (Match(re_.ProgramBytes().data() + 1)) {
        s_.caps[0] = p;
        s_.caps[CAPTURE_COUNT] = s_.pos;
        return s_.caps;
      }
    }
    return std::nullopt;
  }

 private:
  struct State {
    int pos = 0;
    std::array<int, 2 * CAPTURE_COUNT> caps{};
    int depth = 0;
    std::array<std::uint32_t, LOOP_STACK_DEPTH + 1> count{};
  };

  int At(int p) const {
    return p >= 0 && p < static_cast<int>(in_.size()) ? static_cast<unsigned char>(in_[p]) : 0;
  }
  bool Same(int c, int want, bool ci) const {
    return c != 0 &&
           (c == want || (ci && c == re_.ToggleCaseFunction()(static_cast<unsigned char>(want))));
  }
  bool PairAt(int p) const {
    return pair_.size() == 2 && p >= 0 && At(p) == static_cast<unsigned char>(pair_[0]) &&
           At(p + 1) == static_cast<unsigned char>(pair_[1]);
  }
  bool LineStart(int p) const {
    return p == 0 || PairAt(p - 2) || (!PairAt(p - 1) && sep_[At(p - 1)]);
  }
  bool LineEnd(int p) const { return At(p) == 0 || PairAt(p) || (!PairAt(p - 1) && sep_[At(p)]); }
  bool Boundary(int p) const { return (p > 0 && word_[At(p - 1)]) != (At(p) != 0 && word_[At(p)]); }

  // Whether the single-character node n matches at p.
  bool One(const std::uint8_t* n, int p) const {
    const int c = At(p);
    const std::uint8_t op = Opcode(n);
    const std::uint8_t* a = Operand(n);
    if (op == OP_LITERAL || op == OP_LITERAL_CI) return Same(c, a[0], op == OP_LITERAL_CI);
    if (c == 0) return false;
    if (op == OP_DIGIT || op == OP_NON_DIGIT) return (c >= '0' && c <= '9') == (op == OP_DIGIT);
    if (op == OP_IN_SMALL_SET || op == OP_NOT_IN_SMALL_SET) {
      return (c == a[0] || c == a[1] || c == a[2]) == (op == OP_IN_SMALL_SET);
    }
    if (op == OP_IN_SET) return SetHas(a, static_cast<std::uint8_t>(c));
    if (op == OP_ANY_BUT_LINE_SEP) return !sep_[c] && !PairAt(p);
    EXPECT_EQ(op, OP_ANY_CHAR) << "unexpected opcode";
    return op == OP_ANY_CHAR;
  }

  // Back-reference text at p: its length, or -1.
  int Backref(const std::uint8_t* n, int p) const {
    const int group = *Operand(n);
    const int s = s_.caps[group];
    const int e = s_.caps[CAPTURE_COUNT + group];
    if (s < 0 || e < s) return -1;
    for (int i = 0; i < e - s; ++i) {
      if (!Same(At(p + i), At(s + i), Opcode(n) == OP_BACKREF_CI)) return -1;
    }
    return e - s;
  }

  // Matches the rest from `node`; on failure the state is as before.
  bool Try(const std::uint8_t* node) {
    const State saved = s_;
    if (Match(node)) return true;
    s_ = saved;
    return false;
  }

  // Tries the rest of the program after a repeat at each count, in order.
  bool Repeat(const std::uint8_t* node) {
    const std::uint8_t op = Opcode(node);
    const bool braces = op == OP_BRACES || op == OP_BRACES_LAZY;
    const std::int64_t min = braces ? BracesMin(node) : (op == OP_PLUS || op == OP_PLUS_LAZY);
    const std::int64_t max = braces ? BracesMax(node) : MAX_REPEAT;
    const std::uint8_t* operand = braces ? BracesOperand(node) : Operand(node);
    const bool backref = Opcode(operand) == OP_BACKREF || Opcode(operand) == OP_BACKREF_CI;
    std::vector<int> stops{s_.pos};  // positions after 0, 1, 2, ... units
    while (static_cast<std::int64_t>(stops.size()) - 1 < max) {
      const int len = backref                      ? Backref(operand, stops.back())
                      : One(operand, stops.back()) ? 1
                                                   : -1;
      if (len < 0) break;
      if (len == 0) {  // an empty capture: one empty unit stands for any count
        while (static_cast<std::int64_t>(stops.size()) - 1 < std::max<std::int64_t>(min, 1)) {
          stops.push_back(stops.back());
        }
        break;
      }
      stops.push_back(stops.back() + len);
    }
    const std::int64_t most = static_cast<std::int64_t>(stops.size()) - 1;
    const bool greedy = op == OP_STAR || op == OP_PLUS || op == OP_BRACES;
    for (std::int64_t i = 0; i <= most - min; ++i) {
      s_.pos = stops[static_cast<std::size_t>(greedy ? most - i : min + i)];
      if (Try(NextNode(node))) return true;
    }
    return false;
  }

  bool Match(const std::uint8_t* node) {
    for (; node != nullptr; node = NextNode(node)) {
      const std::uint8_t op = Opcode(node);
      int& pos = s_.pos;
      switch (op) {
        case OP_END:
          return true;
        case OP_EMPTY:
        case OP_COMMENT:
        case OP_BACK:
          break;
        case OP_INPUT_START:
        case OP_INPUT_END:
        case OP_WORD_BOUNDARY:
        case OP_NOT_WORD_BOUNDARY:
        case OP_LINE_START:
        case OP_LINE_END:
          if (!(op == OP_INPUT_START     ? pos == 0
                : op == OP_INPUT_END     ? At(pos) == 0
                : op == OP_LINE_START    ? LineStart(pos)
                : op == OP_LINE_END      ? LineEnd(pos)
                : op == OP_WORD_BOUNDARY ? Boundary(pos)
                                         : !Boundary(pos))) {
            return false;
          }
          break;
        case OP_LITERAL:
        case OP_LITERAL_CI:
          for (const std::uint8_t* a = Operand(node); *a != 0; ++a, ++pos) {
            if (!Same(At(pos), *a, op == OP_LITERAL_CI)) return false;
          }
          break;
        case OP_BACKREF:
        case OP_BACKREF_CI: {
          const int len = Backref(node, pos);
          if (len < 0) return false;
          pos += len;
          break;
        }
        case OP_BRANCH:
          if (NextNode(node) == nullptr || Opcode(NextNode(node)) != OP_BRANCH) {
            return Match(Operand(node));
          }
          for (const std::uint8_t* b = node; b != nullptr && Opcode(b) == OP_BRANCH;
               b = NextNode(b)) {
            if (Try(Operand(b))) return true;
          }
          return false;
        case OP_STAR:
        case OP_PLUS:
        case OP_BRACES:
        case OP_STAR_LAZY:
        case OP_PLUS_LAZY:
        case OP_BRACES_LAZY:
          return Repeat(node);
        case OP_LOOP_ENTRY:
          if (s_.depth >= LOOP_STACK_DEPTH) throw std::runtime_error("loop stack");
          s_.count[++s_.depth] = 0;
          break;
        case OP_LOOP:
        case OP_LOOP_LAZY: {
          const int d = s_.depth;
          const std::uint32_t k = s_.count[d];
          auto attempt = [&](const std::uint8_t* next, int depth, std::uint32_t count) {
            const State saved = s_;
            s_.depth = depth;
            s_.count[d] = count;
            if (Match(next)) return true;
            s_ = saved;
            return false;
          };
          auto iterate = [&] {
            return k < static_cast<std::uint32_t>(LoopMax(node)) &&
                   attempt(LoopBody(node), d, k + 1);
          };
          if (k < static_cast<std::uint32_t>(LoopMin(node))) return iterate();
          if (op == OP_LOOP) return iterate() || attempt(NextNode(node), d - 1, k);
          return attempt(NextNode(node), d - 1, k) || iterate();
        }
        default:  // callers that go on after a failure restore the state themselves
          if (IsOpen(op) || IsClose(op)) {
            s_.caps[IsOpen(op) ? OpenIndex(op) : CAPTURE_COUNT + CloseIndex(op)] = pos;
          } else if (!One(node, pos++)) {
            return false;
          }
      }
    }
    return false;
  }

  const TRegex& re_;
  const std::string& pair_;
  std::string_view in_;
  std::array<bool, 256> word_{};
  std::array<bool, 256> sep_{};
  State s_;
};

// ---- random patterns ------------------------------------------------------------------------

// Alternatives of one to three pieces, a third of them quantified; at most 9 groups, 3 deep.
class PatternMaker {
 public:
  explicit PatternMaker(std::uint32_t seed) : rng_(seed) {}

  std::string Make() {
    groups_ = 0;
    return Alternation(0);
  }

 private:
  int Pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint32_t>(n)); }

  std::string Alternation(int depth) {
    static const char* const kQuantifiers[] = {"*",    "+",  "?",  "{2}", "{1,2}",  "{0,2}",
                                               "{2,}", "*?", "+?", "??",  "{1,2}?", "{0,}?"};
    std::string text;
    do {
      if (!text.empty()) text += "|";
      for (int pieces = 1 + Pick(3); pieces > 0; --pieces) {
        text += Atom(depth);
        if (Pick(3) == 0) text += kQuantifiers[Pick(12)];
      }
    } while (Pick(4) == 0);
    return text;
  }

  std::string Atom(int depth) {
    static const char* const kAtoms[] = {"a",    "b",     "ab",  "ba",  "c",   ".", "[ab]",
                                         "[^a]", "[a-c]", "\\d", "\\w", "\\s", "A"};
    static const char* const kAnchors[] = {"^", "$", "\\b", "\\B"};
    const int kind = Pick(10);
    if (kind < 6) return kAtoms[Pick(13)];
    if (kind < 7) return kAnchors[Pick(4)];
    if (depth < 3 && groups_ < 9) {
      ++groups_;
      return "(" + Alternation(depth + 1) + ")";
    }
    return "a";
  }

  std::mt19937 rng_;
  int groups_ = 0;
};

TEST(RegexReference, RandomPatternsAgreeWithARecursiveInterpreter) {
  static const char* const kModifierSets[] = {"", "i", "-g", "m", "-s", "im-s-g"};
  std::mt19937 rng(12345);
  PatternMaker maker(777);
  int compared = 0;
  int matched = 0;
  for (int round = 0; round < 3000; ++round) {
    const std::string pattern = maker.Make();
    const std::string mods = kModifierSets[round % 6];
    TRegex re;
    SetMods(re, mods);
    re.SetExpression(pattern);
    try {
      re.Compile();
    } catch (const ERegexError&) {
      continue;  // quantified operands that can be empty, and the like
    }
    for (int k = 0; k < 8; ++k) {
      std::string input;  // up to 8 characters
      for (int n = static_cast<int>(rng() % 9); n > 0; --n) input += "abcA1 \n\r"[rng() % 8];
      ReferenceMatcher reference(re, input);
      const auto caps = reference.Search();
      const bool found = re.Exec(input);
      ++compared;
      SCOPED_TRACE("pattern '" + pattern + "' mods '" + mods + "' input '" + input + "'");
      ASSERT_EQ(found, caps.has_value());
      if (!found) continue;
      ++matched;
      for (int i = 0; i < CAPTURE_COUNT; ++i) {
        const int s = (*caps)[i];
        const int e = (*caps)[CAPTURE_COUNT + i];
        const bool set = s >= 0 && e >= 0 && e >= s;
        ASSERT_EQ(re.MatchStart(i), set ? s + 1 : -1) << "capture " << i;
        ASSERT_EQ(re.MatchLength(i), set ? e - s : -1) << "capture " << i;
      }
    }
  }
  // The comparison must have covered a real mix of matches and failures.
  EXPECT_GT(compared, 10000);
  EXPECT_GT(matched, compared / 5);
  EXPECT_LT(matched, compared);
}

}  // namespace
}  // namespace velmora

// The matcher checked against a reference: a plain recursive interpreter of the same compiled
// program, written for clarity only. It tries every start position without fast paths, uses no
// repeat hints and keeps its state in snapshots instead of an undo stack, so it shares none of
// the matcher's optimisations. Random patterns over a small alphabet and short inputs keep its
// recursion shallow.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "regex/Regex.h"
#include "regex/RegexProgram.h"

namespace velmora {
namespace {

using namespace regex_program;

class ReferenceMatcher {
 public:
  ReferenceMatcher(const TRegex& re, std::string_view input)
      : re_(re), prog_(re.ProgramBytes().data()), in_(input) {
    for (const char c : re.WordCharacters()) word_[static_cast<unsigned char>(c)] = true;
    for (const char c : re.LineSeparatorChars()) sep_[static_cast<unsigned char>(c)] = true;
  }

  struct Result {
    int start = -1;
    std::array<int, 2 * CAPTURE_COUNT> caps{};
  };

  // The first match at the leftmost start position, or nothing.
  std::optional<Result> Search() {
    for (std::size_t p = 0; p <= in_.size(); ++p) {
      s_ = State{};
      s_.caps.fill(-1);
      s_.pos = static_cast<int>(p);
      if (Match(prog_ + 1)) {
        Result r;
        r.start = static_cast<int>(p);
        r.caps = s_.caps;
        r.caps[0] = static_cast<int>(p);
        r.caps[CAPTURE_COUNT] = s_.pos;
        return r;
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
    return p < static_cast<int>(in_.size()) ? static_cast<unsigned char>(in_[p]) : 0;
  }
  unsigned char Other(unsigned char c) const { return re_.ToggleCaseFunction()(c); }

  // Whether one character of a single-character node matches at p.
  bool One(const std::uint8_t* n, int p) const {
    const int c = At(p);
    if (c == 0) return false;
    const std::uint8_t* a = Operand(n);
    switch (Opcode(n)) {
      case OP_ANY_CHAR:
        return true;
      case OP_LITERAL:
        return c == a[0];
      case OP_LITERAL_CI:
        return c == a[0] || c == Other(a[0]);
      case OP_DIGIT:
        return c >= '0' && c <= '9';
      case OP_NON_DIGIT:
        return !(c >= '0' && c <= '9');
      case OP_IN_SMALL_SET:
        return c == a[0] || c == a[1] || c == a[2];
      case OP_NOT_IN_SMALL_SET:
        return c != a[0] && c != a[1] && c != a[2];
      case OP_IN_SET:
        return SetHas(a, static_cast<std::uint8_t>(c));
      default:
        ADD_FAILURE() << "unexpected repeat operand " << int(Opcode(n));
        return false;
    }
  }

  // Backreference text at p: its length, or -1.
  int Backref(int group, bool ci, int p) const {
    const int s = s_.caps[group];
    const int e = s_.caps[CAPTURE_COUNT + group];
    if (s < 0 || e < 0 || e < s) return -1;
    for (int i = 0; i < e - s; ++i) {
      const int want = At(s + i);
      const int got = At(p + i);
      if (got == 0 || (got != want && !(ci && got == Other(static_cast<unsigned char>(want))))) {
        return -1;
      }
    }
    return e - s;
  }

  bool Boundary(int p) const {
    const bool before = p > 0 && word_[At(p - 1)];
    const bool after = word_[At(p)] && At(p) != 0;
    return before != after;
  }

  bool LineStart(int p) const {
    if (p == 0) return true;
    const std::string& pair = re_.LinePairedSeparator();
    const int b = At(p - 1);
    if (pair.size() == 2) {
      if (b == static_cast<unsigned char>(pair[1]) && p >= 2 &&
          At(p - 2) == static_cast<unsigned char>(pair[0])) {
        return true;
      }
      if (b == static_cast<unsigned char>(pair[0]) && At(p) == static_cast<unsigned char>(pair[1]))
        return false;
    }
    return sep_[b];
  }

  bool LineEnd(int p) const {
    if (At(p) == 0) return true;
    const std::string& pair = re_.LinePairedSeparator();
    const int c = At(p);
    if (pair.size() == 2) {
      if (c == static_cast<unsigned char>(pair[0]) &&
          At(p + 1) == static_cast<unsigned char>(pair[1]))
        return true;
      if (c == static_cast<unsigned char>(pair[1]) && p > 0 &&
          At(p - 1) == static_cast<unsigned char>(pair[0])) {
        return false;
      }
    }
    return sep_[c];
  }

  bool AnyButSep(int p) const {
    const int c = At(p);
    if (c == 0 || sep_[c]) return false;
    const std::string& pair = re_.LinePairedSeparator();
    return !(pair.size() == 2 && c == static_cast<unsigned char>(pair[0]) &&
             At(p + 1) == static_cast<unsigned char>(pair[1]));
  }

  // Tries the rest of the program from `next` at each count of a repeat, in order.
  bool Repeat(const std::uint8_t* node) {
    const std::uint8_t op = Opcode(node);
    std::int64_t min = 0;
    std::int64_t max = MAX_REPEAT;
    const std::uint8_t* operand = Operand(node);
    if (op == OP_PLUS || op == OP_PLUS_LAZY) min = 1;
    if (op == OP_BRACES || op == OP_BRACES_LAZY) {
      min = BracesMin(node);
      max = BracesMax(node);
      operand = BracesOperand(node);
    }
    // Stop positions after 0, 1, 2, ... units.
    std::vector<int> stops{s_.pos};
    const bool backref = Opcode(operand) == OP_BACKREF || Opcode(operand) == OP_BACKREF_CI;
    while (static_cast<std::int64_t>(stops.size()) - 1 < max) {
      const int p = stops.back();
      int len = 1;
      if (backref) {
        len = Backref(*Operand(operand), Opcode(operand) == OP_BACKREF_CI, p);
        if (len < 0) break;
        if (len == 0) {  // an empty capture: one empty unit stands for any count
          while (static_cast<std::int64_t>(stops.size()) - 1 < std::max<std::int64_t>(min, 1))
            stops.push_back(p);
          break;
        }
      } else if (!One(operand, p)) {
        break;
      }
      stops.push_back(p + len);
    }
    const std::int64_t most = static_cast<std::int64_t>(stops.size()) - 1;
    if (most < min) return false;
    const bool greedy = op == OP_STAR || op == OP_PLUS || op == OP_BRACES;
    const State saved = s_;
    for (std::int64_t i = 0; i <= most - min; ++i) {
      const std::int64_t n = greedy ? most - i : min + i;
      s_.pos = stops[static_cast<std::size_t>(n)];
      if (Match(NextNode(node))) return true;
      s_ = saved;
    }
    return false;
  }

  bool Match(const std::uint8_t* node) {
    while (node != nullptr) {
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
          if (pos != 0) return false;
          break;
        case OP_INPUT_END:
          if (At(pos) != 0) return false;
          break;
        case OP_ANY_BUT_LINE_SEP:
          if (!AnyButSep(pos)) return false;
          ++pos;
          break;
        case OP_ANY_CHAR:
        case OP_DIGIT:
        case OP_NON_DIGIT:
        case OP_IN_SMALL_SET:
        case OP_NOT_IN_SMALL_SET:
        case OP_IN_SET:
          if (!One(node, pos)) return false;
          ++pos;
          break;
        case OP_LITERAL:
        case OP_LITERAL_CI:
          for (const std::uint8_t* a = Operand(node); *a != 0; ++a, ++pos) {
            const int c = At(pos);
            if (c == 0 || (c != *a && !(op == OP_LITERAL_CI && c == Other(*a)))) return false;
          }
          break;
        case OP_BACKREF:
        case OP_BACKREF_CI: {
          const int len = Backref(*Operand(node), op == OP_BACKREF_CI, pos);
          if (len < 0) return false;
          pos += len;
          break;
        }
        case OP_WORD_BOUNDARY:
          if (!Boundary(pos)) return false;
          break;
        case OP_NOT_WORD_BOUNDARY:
          if (Boundary(pos)) return false;
          break;
        case OP_LINE_START:
          if (!LineStart(pos)) return false;
          break;
        case OP_LINE_END:
          if (!LineEnd(pos)) return false;
          break;
        case OP_BRANCH: {
          const std::uint8_t* next = NextNode(node);
          if (next == nullptr || Opcode(next) != OP_BRANCH) {
            node = Operand(node);
            continue;
          }
          const State saved = s_;
          for (const std::uint8_t* b = node; b != nullptr && Opcode(b) == OP_BRANCH;
               b = NextNode(b)) {
            if (Match(Operand(b))) return true;
            s_ = saved;
          }
          return false;
        }
        case OP_STAR:
        case OP_PLUS:
        case OP_BRACES:
        case OP_STAR_LAZY:
        case OP_PLUS_LAZY:
        case OP_BRACES_LAZY:
          return Repeat(node);
        case OP_LOOP_ENTRY: {
          const State saved = s_;
          if (s_.depth >= LOOP_STACK_DEPTH) throw std::runtime_error("loop stack");
          ++s_.depth;
          s_.count[s_.depth] = 0;
          if (Match(NextNode(node))) return true;
          s_ = saved;
          return false;
        }
        case OP_LOOP:
        case OP_LOOP_LAZY: {
          const int d = s_.depth;
          const std::uint32_t k = s_.count[d];
          const auto min = static_cast<std::uint32_t>(LoopMin(node));
          const auto max = static_cast<std::uint32_t>(LoopMax(node));
          const State saved = s_;
          auto iterate = [&] {
            s_.count[d] = k + 1;
            if (Match(LoopBody(node))) return true;
            s_ = saved;
            return false;
          };
          auto leave = [&] {
            s_.depth = d - 1;
            if (Match(NextNode(node))) return true;
            s_ = saved;
            return false;
          };
          if (k < min) return iterate();
          if (op == OP_LOOP) return (k < max && iterate()) || leave();
          return leave() || (k < max && iterate());
        }
        default:
          if (IsOpen(op) || IsClose(op)) {
            const int slot = IsOpen(op) ? OpenIndex(op) : CAPTURE_COUNT + CloseIndex(op);
            const State saved = s_;
            s_.caps[slot] = pos;
            if (Match(NextNode(node))) return true;
            s_ = saved;
            return false;
          }
          ADD_FAILURE() << "unexpected opcode " << int(op);
          return false;
      }
      node = NextNode(node);
    }
    return false;
  }

  const TRegex& re_;
  const std::uint8_t* prog_;
  std::string_view in_;
  std::array<bool, 256> word_{};
  std::array<bool, 256> sep_{};
  State s_;
};

// ---- random patterns ------------------------------------------------------------------------

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
    std::string text = Sequence(depth);
    while (Pick(4) == 0) text += "|" + Sequence(depth);
    return text;
  }

  std::string Sequence(int depth) {
    std::string text;
    const int pieces = 1 + Pick(3);
    for (int i = 0; i < pieces; ++i) text += Piece(depth);
    return text;
  }

  std::string Piece(int depth) {
    static const char* const kQuantifiers[] = {"*",    "+",  "?",  "{2}", "{1,2}",  "{0,2}",
                                               "{2,}", "*?", "+?", "??",  "{1,2}?", "{0,}?"};
    std::string atom = Atom(depth);
    if (atom.empty() || Pick(3) != 0) return atom;
    return atom + kQuantifiers[Pick(12)];
  }

  std::string Atom(int depth) {
    static const char* const kAtoms[] = {"a",    "b",     "ab",  "ba",  "c",   ".", "[ab]",
                                         "[^a]", "[a-c]", "\\d", "\\w", "\\s", "A"};
    static const char* const kAnchors[] = {"^", "$", "\\b", "\\B"};
    const int kind = Pick(10);
    if (kind < 6) return kAtoms[Pick(13)];
    if (kind < 7) return kAnchors[Pick(4)];  // never quantified: no width
    if (depth < 3 && groups_ < 9) {
      ++groups_;
      return "(" + Alternation(depth + 1) + ")";
    }
    return "a";
  }

  std::mt19937 rng_;
  int groups_ = 0;
};

std::string RandomInput(std::mt19937& rng) {
  static const char kAlphabet[] = {'a', 'b', 'c', 'A', '1', ' ', '\n', '\r'};
  std::string text;
  const int length = static_cast<int>(rng() % 9);
  for (int i = 0; i < length; ++i) text += kAlphabet[rng() % sizeof(kAlphabet)];
  return text;
}

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
    bool on = true;
    for (const char c : mods) {
      if (c == '-') {
        on = false;
      } else {
        re.SetModifier(static_cast<std::int32_t>(std::string_view("irsgmx").find(c)) + 1, on);
      }
    }
    re.SetExpression(pattern);
    try {
      re.Compile();
    } catch (const ERegexError&) {
      continue;  // quantified operands that can be empty, and the like
    }
    for (int k = 0; k < 8; ++k) {
      const std::string input = RandomInput(rng);
      ReferenceMatcher reference(re, input);
      const auto expected = reference.Search();
      const bool found = re.Exec(input);
      ++compared;
      SCOPED_TRACE("pattern '" + pattern + "' mods '" + mods + "' input '" + input + "'");
      ASSERT_EQ(found, expected.has_value());
      if (!found) continue;
      ++matched;
      for (int i = 0; i < CAPTURE_COUNT; ++i) {
        const int s = expected->caps[i];
        const int e = expected->caps[CAPTURE_COUNT + i];
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

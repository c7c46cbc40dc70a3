// The pattern compiler: a recursive-descent parser that emits the node program of
// RegexProgram.h in two passes (measure, then write into a buffer of exactly that size), and
// the fast-path data derived from the finished program.
//
// Recursion is bounded by the grammar itself: only a capture group recurses, and the fifteenth
// "(" is refused (error 102) before its recursion starts, so the parser is never deeper than
// fifteen group levels. Everything else (links, fast-path walk) is iterative.

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "regex/Regex.h"
#include "regex/RegexProgram.h"

namespace velmora {

using namespace regex_program;

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool IsMetaChar(char c) {
  switch (c) {
    case '^':
    case '$':
    case '.':
    case '[':
    case '(':
    case ')':
    case '|':
    case '?':
    case '+':
    case '*':
    case '\\':
    case '{':
      return true;
    default:
      return false;
  }
}

bool IsQuantifierChar(char c) {
  return c == '*' || c == '+' || c == '?' || c == '{';
}

// Whitespace that extended syntax skips. FF and VT are not part of it.
bool IsExtendedSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

using CharSet = std::array<bool, 256>;

}  // namespace

// One pass over the pattern. In the measuring pass `out` is null: emissions only count bytes
// and links are skipped; positions still come out right because both passes emit the same sizes.
class TRegex::Compiler {
 public:
  Compiler(TRegex& owner, std::uint8_t* out, std::size_t capacity)
      : re_(owner),
        start_(owner.ExpressionText.c_str()),
        pos_(start_),
        out_(out),
        capacity_(capacity),
        mods_(owner.ModifierSet) {}

  // Emits the magic byte and the top level; returns the top level's flags.
  int Run() {
    EmitByte(PROGRAM_MAGIC);
    int flags = 0;
    ParseReg(false, flags);
    return flags;
  }

  std::size_t Size() const { return emitPos_; }

 private:
  bool Measuring() const { return out_ == nullptr; }

  [[noreturn]] void Fail(std::int32_t code) {
    re_.ParseOffset = static_cast<std::size_t>(pos_ - start_);
    re_.RaiseError(code);
    throw std::logic_error("RaiseError returned");  // an override must not return
  }

  // ---- emission ------------------------------------------------------------------------
  void Reserve(std::size_t n) {
    if (!Measuring() && emitPos_ + n > capacity_) {
      throw std::logic_error("regex compiler: emitting pass outgrew the measured size");
    }
  }

  std::size_t EmitNode(std::uint8_t op) {
    Reserve(NODE_HEAD_SIZE);
    const std::size_t at = emitPos_;
    if (!Measuring()) {
      out_[at] = op;
      WriteInt32(out_ + at + 1, 0);
    }
    emitPos_ += NODE_HEAD_SIZE;
    return at;
  }

  void EmitByte(std::uint8_t b) {
    Reserve(1);
    if (!Measuring()) out_[emitPos_] = b;
    ++emitPos_;
  }

  void EmitInt32(std::int32_t v) {
    Reserve(4);
    if (!Measuring()) WriteInt32(out_ + emitPos_, v);
    emitPos_ += 4;
  }

  // Puts a node of `size` bytes in front of the code emitted from `at` on.
  void InsertNode(std::uint8_t op, std::size_t at, std::size_t size) {
    Reserve(size);
    if (!Measuring()) {
      std::memmove(out_ + at + size, out_ + at, emitPos_ - at);
      out_[at] = op;
      std::memset(out_ + at + 1, 0, size - 1);
    }
    emitPos_ += size;
  }

  std::int32_t NextAt(std::size_t p) const { return ReadInt32(out_ + p + 1); }

  // Links the last node of the chain starting at p to target.
  void Tail(std::size_t p, std::size_t target) {
    if (Measuring()) return;
    std::size_t scan = p;
    for (std::int32_t off = NextAt(scan); off != 0; off = NextAt(scan)) {
      scan = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(scan) + off);
    }
    WriteInt32(out_ + scan + 1, static_cast<std::int32_t>(static_cast<std::ptrdiff_t>(target) -
                                                          static_cast<std::ptrdiff_t>(scan)));
  }

  // Links the end of a branch's alternative to target.
  void OperandTail(std::size_t p, std::size_t target) {
    if (Measuring() || out_[p] != OP_BRANCH) return;
    Tail(p + NODE_HEAD_SIZE, target);
  }

  // ---- alternation and sequence --------------------------------------------------------
  std::size_t ParseReg(bool group, int& flags) {
    flags = FLAG_HAS_WIDTH;
    const int savedMods = mods_;
    int groupNumber = 0;
    std::size_t ret = kNone;
    if (group) {
      if (nextCapture_ > MAX_CAPTURE_GROUP) Fail(102);
      groupNumber = nextCapture_++;
      ret = EmitNode(OpOpen(groupNumber));
    }

    int altFlags = 0;
    std::size_t branch = ParseAlternative(altFlags);
    if (ret == kNone) {
      ret = branch;
    } else {
      Tail(ret, branch);
    }
    std::size_t lastBranch = branch;
    auto absorb = [&flags](int f) {
      if (!(f & FLAG_HAS_WIDTH)) flags &= ~FLAG_HAS_WIDTH;
      flags |= f & FLAG_REPEAT_START;
    };
    absorb(altFlags);
    while (*pos_ == '|') {
      ++pos_;
      branch = ParseAlternative(altFlags);
      Tail(lastBranch, branch);  // lastBranch ends the chain: same as Tail(ret, ...)
      lastBranch = branch;
      absorb(altFlags);
    }

    const std::size_t ender = EmitNode(group ? OpClose(groupNumber) : OP_END);
    Tail(lastBranch, ender);
    if (!Measuring()) {
      for (std::size_t p = ret; p != ender;) {
        OperandTail(p, ender);
        p = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(p) + NextAt(p));
      }
    }

    if (group) {
      if (*pos_ != ')') Fail(103);
      ++pos_;
    } else if (*pos_ != '\0') {
      Fail(104);  // only an unopened ")" can stop the top level early
    }
    mods_ = savedMods;
    return ret;
  }

  std::size_t ParseAlternative(int& flags) {
    flags = 0;
    const std::size_t ret = EmitNode(OP_BRANCH);
    std::size_t previous = kNone;
    while (*pos_ != '\0' && *pos_ != '|' && *pos_ != ')') {
      int pieceFlags = 0;
      const std::size_t piece = ParseQuantified(pieceFlags);
      flags |= pieceFlags & FLAG_HAS_WIDTH;
      if (previous == kNone) {
        flags |= pieceFlags & FLAG_REPEAT_START;
      } else {
        Tail(previous, piece);
      }
      previous = piece;
    }
    if (previous == kNone) EmitNode(OP_EMPTY);
    return ret;
  }

  // ---- quantifiers ---------------------------------------------------------------------
  bool ConsumeLazyMark() {
    if (*pos_ != '?') return false;
    ++pos_;
    return true;
  }

  // Reads a brace bound at pos_ ("{"). Returns false, leaving pos_ alone, when the text there
  // is not a bound; otherwise pos_ ends after the "}".
  bool ParseBraces(std::int32_t& min, std::int32_t& max) {
    const char* p = pos_ + 1;
    const char* minBegin = p;
    while (IsDigit(*p)) ++p;
    const char* minEnd = p;
    if (minEnd == minBegin) return false;
    const char* maxBegin = nullptr;
    const char* maxEnd = nullptr;
    if (*p == ',') {
      maxBegin = ++p;
      while (IsDigit(*p)) ++p;
      maxEnd = p;
    }
    if (*p != '}') return false;
    pos_ = p;  // errors in the numbers point at the closing brace
    min = BraceNumber(minBegin, minEnd);
    if (maxBegin == nullptr) {
      max = min;
    } else if (maxBegin == maxEnd) {
      max = MAX_BRACES_ARG;
    } else {
      max = BraceNumber(maxBegin, maxEnd);
    }
    if (max < min) Fail(124);
    ++pos_;
    return true;
  }

  std::int32_t BraceNumber(const char* begin, const char* end) {
    if (end - begin > 8) Fail(122);
    std::int32_t value = 0;
    for (const char* p = begin; p < end; ++p) value = value * 10 + (*p - '0');
    return value;
  }

  std::size_t ParseQuantified(int& flags) {
    int atomFlags = 0;
    const std::size_t ret = ParseAtom(atomFlags);
    const char op = *pos_;
    if (!IsQuantifierChar(op)) {
      flags = atomFlags;
      return ret;
    }
    if (!(atomFlags & FLAG_HAS_WIDTH) && op != '?') Fail(106);

    const bool single = (atomFlags & FLAG_SINGLE_CHAR) != 0;
    const bool lazyByModifier = !(mods_ & MODIFIER_G);
    switch (op) {
      case '*': {
        ++pos_;
        const bool lazy = ConsumeLazyMark() || lazyByModifier;
        flags = FLAG_REPEAT_START;
        if (single) {
          InsertNode(lazy ? OP_STAR_LAZY : OP_STAR, ret, NODE_HEAD_SIZE);
        } else if (!lazy) {
          BuildBranchLoop(ret);
        } else {
          BuildCountedLoop(ret, 0, MAX_BRACES_ARG, true);
        }
        break;
      }
      case '+': {
        ++pos_;
        const bool lazy = ConsumeLazyMark() || lazyByModifier;
        flags = FLAG_HAS_WIDTH | FLAG_REPEAT_START;
        if (single) {
          InsertNode(lazy ? OP_PLUS_LAZY : OP_PLUS, ret, NODE_HEAD_SIZE);
        } else if (!lazy) {
          BuildPlusLoop(ret);
        } else {
          BuildCountedLoop(ret, 1, MAX_BRACES_ARG, true);
        }
        break;
      }
      case '?': {
        ++pos_;
        const bool lazy = ConsumeLazyMark() || lazyByModifier;
        flags = 0;
        if (!lazy) {
          BuildOptionalBranch(ret);
        } else if (single) {
          InsertBraces(OP_BRACES_LAZY, ret, 0, 1);
        } else {
          BuildCountedLoop(ret, 0, 1, true);
        }
        break;
      }
      default: {  // '{'
        std::int32_t min = 0;
        std::int32_t max = 0;
        if (!ParseBraces(min, max)) {
          flags = atomFlags;  // not a bound: the "{" starts the next literal run
          return ret;
        }
        const bool lazy = ConsumeLazyMark() || lazyByModifier;
        flags = (min > 0 ? FLAG_HAS_WIDTH : 0) | (max > 0 ? FLAG_REPEAT_START : 0);
        if (single) {
          InsertBraces(lazy ? OP_BRACES_LAZY : OP_BRACES, ret, min, max);
        } else {
          BuildCountedLoop(ret, min, max, lazy);
        }
        break;
      }
    }
    if (IsQuantifierChar(*pos_)) Fail(107);
    return ret;
  }

  void InsertBraces(std::uint8_t op, std::size_t at, std::int32_t min, std::int32_t max) {
    InsertNode(op, at, BRACES_HEAD_SIZE);
    if (!Measuring()) {
      WriteInt32(out_ + at + 5, min);
      WriteInt32(out_ + at + 9, max);
    }
  }

  // x* : B1 -> (x -> BACK -> B1) | B2 -> EMPTY -> continuation.
  void BuildBranchLoop(std::size_t x) {
    InsertNode(OP_BRANCH, x, NODE_HEAD_SIZE);
    OperandTail(x, EmitNode(OP_BACK));
    OperandTail(x, x);
    Tail(x, EmitNode(OP_BRANCH));
    Tail(x, EmitNode(OP_EMPTY));
  }

  // x+ : x -> B1 -> (BACK -> x) | B2 -> EMPTY -> continuation.
  void BuildPlusLoop(std::size_t x) {
    const std::size_t b1 = EmitNode(OP_BRANCH);
    Tail(x, b1);
    Tail(EmitNode(OP_BACK), x);
    Tail(b1, EmitNode(OP_BRANCH));
    Tail(x, EmitNode(OP_EMPTY));
  }

  // x? : B1 -> (x -> EMPTY) | B2 -> EMPTY -> continuation.
  void BuildOptionalBranch(std::size_t x) {
    InsertNode(OP_BRANCH, x, NODE_HEAD_SIZE);
    Tail(x, EmitNode(OP_BRANCH));
    const std::size_t empty = EmitNode(OP_EMPTY);
    Tail(x, empty);
    OperandTail(x, empty);
  }

  // LOOP_ENTRY -> LOOP; x -> LOOP; LOOP's body offset points back at x.
  void BuildCountedLoop(std::size_t x, std::int32_t min, std::int32_t max, bool lazy) {
    InsertNode(OP_LOOP_ENTRY, x, NODE_HEAD_SIZE);
    const std::size_t body = x + NODE_HEAD_SIZE;
    const std::size_t loop = EmitNode(lazy ? OP_LOOP_LAZY : OP_LOOP);
    EmitInt32(min);
    EmitInt32(max);
    EmitInt32(static_cast<std::int32_t>(static_cast<std::ptrdiff_t>(body) -
                                        static_cast<std::ptrdiff_t>(loop)));
    Tail(x, loop);
    Tail(body, loop);
  }

  // ---- atoms ---------------------------------------------------------------------------
  bool LineModeAnchors() const {
    return (mods_ & MODIFIER_M) && (!re_.LineSepChars.empty() || !re_.LinePair.empty());
  }

  std::size_t ParseAtom(int& flags) {
    flags = 0;
    const char c = *pos_;
    if ((mods_ & MODIFIER_X) && (c == '#' || IsExtendedSpace(c))) {
      SkipExtendedWhitespace();
      return EmitNode(OP_COMMENT);
    }
    ++pos_;
    switch (c) {
      case '^':
        return EmitNode(LineModeAnchors() ? OP_LINE_START : OP_INPUT_START);
      case '$':
        return EmitNode(LineModeAnchors() ? OP_LINE_END : OP_INPUT_END);
      case '.':
        if (mods_ & MODIFIER_S) {
          flags = FLAG_HAS_WIDTH | FLAG_SINGLE_CHAR;
          return EmitNode(OP_ANY_CHAR);
        }
        flags = FLAG_HAS_WIDTH;
        return EmitNode(OP_ANY_BUT_LINE_SEP);
      case '(':
        return ParseParen(flags);
      case '[':
        flags = FLAG_HAS_WIDTH | FLAG_SINGLE_CHAR;
        return ParseClass();
      case '\\':
        return ParseEscape(flags);
      case '?':
      case '*':
      case '+':
        Fail(115);
      default:
        --pos_;
        return ParseLiteralRun(flags);
    }
  }

  void SkipExtendedWhitespace() {
    if (*pos_ == '#') {
      while (*pos_ != '\0' && *pos_ != '\r' && *pos_ != '\n') ++pos_;
      while (*pos_ == '\r' || *pos_ == '\n') ++pos_;
    } else {
      while (IsExtendedSpace(*pos_)) ++pos_;
    }
  }

  // After "(": a comment, an inline modifier list or a capture group.
  std::size_t ParseParen(int& flags) {
    if (*pos_ == '?') {
      const bool comment = pos_[1] == '#';
      const char* p = pos_ + (comment ? 2 : 1);
      const char* listBegin = p;
      while (*p != '\0' && *p != ')') ++p;
      if (*p == '\0') Fail(comment ? 125 : 127);
      if (!comment && !ApplyModifierList(listBegin, p)) Fail(127);
      pos_ = p + 1;
      return EmitNode(OP_COMMENT);
    }
    int groupFlags = 0;
    const std::size_t ret = ParseReg(true, groupFlags);
    flags = groupFlags & (FLAG_HAS_WIDTH | FLAG_REPEAT_START);
    return ret;
  }

  bool ApplyModifierList(const char* begin, const char* end) {
    int mods = mods_;
    bool on = true;
    for (const char* p = begin; p < end; ++p) {
      int bit = 0;
      switch (*p) {
        case '-':
          on = false;
          continue;
        case 'i':
        case 'I':
          bit = MODIFIER_I;
          break;
        case 'r':
        case 'R':
          bit = MODIFIER_R;
          break;
        case 's':
        case 'S':
          bit = MODIFIER_S;
          break;
        case 'g':
        case 'G':
          bit = MODIFIER_G;
          break;
        case 'm':
        case 'M':
          bit = MODIFIER_M;
          break;
        case 'x':
        case 'X':
          bit = MODIFIER_X;
          break;
        default:
          return false;
      }
      mods = on ? (mods | bit) : (mods & ~bit);
    }
    mods_ = mods;
    return true;
  }

  // Stretch of ordinary characters; a quantifier after it takes only its last character.
  std::size_t ParseLiteralRun(int& flags) {
    const bool extended = (mods_ & MODIFIER_X) != 0;
    const char* begin = pos_;
    const char* end = begin + 1;  // the first character may be "{"
    while (*end != '\0' && !IsMetaChar(*end) && !(extended && *end == '#')) ++end;
    if (end - begin > 1 && IsQuantifierChar(*end)) --end;

    const std::size_t node = EmitNode((mods_ & MODIFIER_I) ? OP_LITERAL_CI : OP_LITERAL);
    int count = 0;
    for (const char* p = begin; p < end; ++p) {
      if (extended && IsExtendedSpace(*p)) continue;
      EmitByte(static_cast<std::uint8_t>(*p));
      ++count;
    }
    EmitByte(0);
    pos_ = end;
    flags = FLAG_HAS_WIDTH | (count == 1 ? FLAG_SINGLE_CHAR : 0);
    return node;
  }

  // One character written as a literal. A NUL can never occur in a subject, so it becomes a
  // set that never matches rather than an empty string that would match everywhere.
  std::size_t EmitSingleChar(unsigned char c) {
    if (c == 0) {
      const std::size_t node = EmitNode(OP_IN_SMALL_SET);
      for (int i = 0; i < SMALL_SET_SIZE; ++i) EmitByte(0);
      return node;
    }
    const std::size_t node = EmitNode((mods_ & MODIFIER_I) ? OP_LITERAL_CI : OP_LITERAL);
    EmitByte(c);
    EmitByte(0);
    return node;
  }

  // After "\" outside a class.
  std::size_t ParseEscape(int& flags) {
    const char c = *pos_;
    if (c == '\0') Fail(116);
    flags = FLAG_HAS_WIDTH | FLAG_SINGLE_CHAR;
    switch (c) {
      case 'w':
      case 'W':
        ++pos_;
        return EmitClass(MembersOf(re_.WordChars, false), c == 'W');
      case 's':
      case 'S':
        ++pos_;
        return EmitClass(MembersOf(re_.SpaceChars, false), c == 'S');
      case 'd':
        ++pos_;
        return EmitNode(OP_DIGIT);
      case 'D':
        ++pos_;
        return EmitNode(OP_NON_DIGIT);
      default:
        break;
    }
    if (c >= '1' && c <= '9') {
      ++pos_;
      const std::size_t node = EmitNode((mods_ & MODIFIER_I) ? OP_BACKREF_CI : OP_BACKREF);
      EmitByte(static_cast<std::uint8_t>(c - '0'));
      return node;
    }
    std::uint8_t zeroWidth = 0;
    switch (c) {
      case 'b':
        zeroWidth = OP_WORD_BOUNDARY;
        break;
      case 'B':
        zeroWidth = OP_NOT_WORD_BOUNDARY;
        break;
      case 'A':
        zeroWidth = OP_INPUT_START;
        break;
      case 'Z':
        zeroWidth = OP_INPUT_END;
        break;
      default:
        return EmitSingleChar(ParseCharEscape());
    }
    ++pos_;
    flags = 0;
    return EmitNode(zeroWidth);
  }

  // pos_ at the character after "\" (not NUL). Returns the character it stands for.
  unsigned char ParseCharEscape() {
    const char c = *pos_++;
    switch (c) {
      case 't':
        return 9;
      case 'n':
        return 10;
      case 'r':
        return 13;
      case 'f':
        return 12;
      case 'a':
        return 7;
      case 'e':
        return 27;
      case 'x':
        return ParseHexEscape();
      default:
        return static_cast<unsigned char>(c);
    }
  }

  unsigned char ParseHexEscape() {
    if (*pos_ == '\0') Fail(111);
    if (*pos_ == '{') {
      ++pos_;
      int value = 0;
      int significant = 0;
      for (;;) {
        const char h = *pos_;
        if (h == '\0') Fail(111);
        if (h == '}') break;
        const int digit = HexValue(h);
        if (digit < 0) Fail(108);
        if (significant >= 2) Fail(112);
        if (significant > 0 || digit != 0) ++significant;
        value = value * 16 + digit;
        ++pos_;
      }
      ++pos_;
      return static_cast<unsigned char>(value);
    }
    const int high = HexValue(*pos_);
    if (high < 0) Fail(108);
    ++pos_;
    if (*pos_ == '\0') Fail(111);
    const int low = HexValue(*pos_);
    if (low < 0) Fail(108);
    ++pos_;
    return static_cast<unsigned char>(high * 16 + low);
  }

  // ---- classes -------------------------------------------------------------------------
  void AddMember(CharSet& set, unsigned char c, bool caseless) const {
    if (c == 0) return;
    set[c] = true;
    if (caseless && re_.CaseToggle[c] != 0) set[re_.CaseToggle[c]] = true;
  }

  CharSet MembersOf(const std::string& chars, bool caseless) const {
    CharSet set{};
    for (const char c : chars) AddMember(set, static_cast<unsigned char>(c), caseless);
    return set;
  }

  void AddChars(CharSet& set, const std::string& chars, bool caseless) const {
    for (const char c : chars) AddMember(set, static_cast<unsigned char>(c), caseless);
  }

  void AddRange(CharSet& set, unsigned char first, unsigned char last, bool caseless) {
    auto addSpan = [&](int from, int to) {
      for (int c = from; c <= to; ++c) AddMember(set, static_cast<unsigned char>(c), caseless);
    };
    if (mods_ & MODIFIER_R) {
      // Windows-1251 Cyrillic: the alphabet ranges leave out YO (A8) and yo (B8).
      if (first == 0xE0 && last == 0xFF) {
        addSpan(0xE0, 0xFF);
        AddMember(set, 0xB8, caseless);
        return;
      }
      if (first == 0xC0 && last == 0xDF) {
        addSpan(0xC0, 0xDF);
        AddMember(set, 0xA8, caseless);
        return;
      }
      if (first == 0xE0 && last == 0xDF) {
        addSpan(0xC0, 0xFF);
        AddMember(set, 0xA8, caseless);
        AddMember(set, 0xB8, caseless);
        return;
      }
    }
    if (last < first) Fail(109);
    addSpan(first, last);
  }

  static bool IsClassEscapeLetter(char c) {
    return c == 'd' || c == 'D' || c == 's' || c == 'S' || c == 'w' || c == 'W';
  }

  // After "[".
  std::size_t ParseClass() {
    const bool caseless = (mods_ & MODIFIER_I) != 0;
    bool negated = false;
    if (*pos_ == '^') {
      negated = true;
      ++pos_;
    }
    CharSet set{};
    bool first = true;
    bool previousIsChar = false;  // the member before was a single character
    unsigned char previous = 0;
    for (;;) {
      const char c = *pos_;
      if (c == '\0') Fail(113);
      if (c == ']' && !first) {
        ++pos_;
        break;
      }
      first = false;
      if (c == '-' && previousIsChar && pos_[1] != '\0' && pos_[1] != ']' &&
          !(pos_[1] == '\\' && IsClassEscapeLetter(pos_[2]))) {
        ++pos_;
        unsigned char last = 0;
        if (*pos_ == '\\') {
          ++pos_;
          if (*pos_ == '\0') Fail(110);
          last = ParseCharEscape();
        } else {
          last = static_cast<unsigned char>(*pos_++);
        }
        AddRange(set, previous, last, caseless);
        previousIsChar = false;
        continue;
      }
      if (c == '\\') {
        ++pos_;
        const char e = *pos_;
        if (e == '\0') Fail(110);
        const std::string* chars = nullptr;
        static const std::string kDigits = "0123456789";
        if (e == 'd') chars = &kDigits;
        if (e == 's') chars = &re_.SpaceChars;
        if (e == 'w') chars = &re_.WordChars;
        if (chars != nullptr) {
          ++pos_;
          AddChars(set, *chars, caseless);
          previousIsChar = false;
          continue;
        }
        previous = ParseCharEscape();
      } else {
        previous = static_cast<unsigned char>(c);
        ++pos_;
      }
      AddMember(set, previous, caseless);
      previousIsChar = true;
    }
    return EmitClass(set, negated);
  }

  std::size_t EmitClass(const CharSet& set, bool negated) {
    const auto count = std::count(set.begin(), set.end(), true);
    if (count <= SMALL_SET_SIZE) {
      const std::size_t node = EmitNode(negated ? OP_NOT_IN_SMALL_SET : OP_IN_SMALL_SET);
      std::uint8_t bytes[SMALL_SET_SIZE] = {0, 0, 0};
      int n = 0;
      for (int c = 0; c < 256; ++c) {
        if (set[c]) bytes[n++] = static_cast<std::uint8_t>(c);
      }
      for (int i = n; i < SMALL_SET_SIZE && n > 0; ++i) bytes[i] = bytes[n - 1];
      for (const std::uint8_t b : bytes) EmitByte(b);
      return node;
    }
    const std::size_t node = EmitNode(OP_IN_SET);
    for (int byte = 0; byte < SET_BITMAP_SIZE; ++byte) {
      std::uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        if (set[byte * 8 + bit] != negated) bits |= static_cast<std::uint8_t>(1u << bit);
      }
      EmitByte(bits);
    }
    return node;
  }

  TRegex& re_;
  const char* start_;
  const char* pos_;
  std::uint8_t* out_;
  std::size_t capacity_;
  std::size_t emitPos_ = 0;
  int mods_;
  int nextCapture_ = 1;
};

bool TRegex::CompileExpression() {
  DiscardProgram();
  ProgramModifierSet = ModifierSet;

  for (int c = 0; c < 256; ++c) CaseToggle[c] = ToggleFn(static_cast<unsigned char>(c));
  WordCharSet.fill(false);
  for (const char c : WordChars) WordCharSet[static_cast<unsigned char>(c)] = true;
  LineSepSet.fill(false);
  for (const char c : LineSepChars) LineSepSet[static_cast<unsigned char>(c)] = true;
  LineSepSet[0] = false;

  Compiling = true;
  ParseOffset = 0;
  try {
    Compiler measure(*this, nullptr, 0);
    measure.Run();
    const std::size_t size = measure.Size();
    if (size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      throw std::length_error("regular expression too large to compile");
    }
    Program.assign(size, 0);
    Compiler emit(*this, Program.data(), size);
    const int topFlags = emit.Run();
    if (emit.Size() != size) {
      throw std::logic_error("regex compiler: emitting pass differs from the measured size");
    }
    ComputeFastPath(topFlags);
  } catch (...) {
    DiscardProgram();
    Compiling = false;
    throw;
  }
  Compiling = false;
  CompiledFlag = true;
  return true;
}

void TRegex::ComputeFastPath(int topFlags) {
  TRegexFastPath& fp = FastPathData;
  fp = TRegexFastPath{};
  const std::uint8_t* const base = Program.data();
  const std::uint8_t* const first = base + 1;

  // StartCharSet: a walk over every path from the first node up to the first node that must
  // consume a character. Each node is examined once; loops come back to visited nodes.
  std::vector<bool> visited(Program.size(), false);
  std::vector<const std::uint8_t*> pending{first};
  auto addAll = [&fp] { fp.StartCharSet.fill(true); };
  auto add = [&fp](unsigned char c) { fp.StartCharSet[c] = true; };
  while (!pending.empty()) {
    const std::uint8_t* node = pending.back();
    pending.pop_back();
    while (node != nullptr) {
      const auto index = static_cast<std::size_t>(node - base);
      if (visited[index]) break;
      visited[index] = true;
      const std::uint8_t op = Opcode(node);
      const std::uint8_t* next = NextNode(node);
      const std::uint8_t* operand = Operand(node);
      bool goOn = false;
      switch (op) {
        case OP_END:
        case OP_ANY_CHAR:
        case OP_ANY_BUT_LINE_SEP:
        case OP_BACKREF:
        case OP_BACKREF_CI:
          addAll();
          break;
        case OP_INPUT_START:
        case OP_LINE_START:
        case OP_BACK:
        case OP_EMPTY:
        case OP_COMMENT:
        case OP_WORD_BOUNDARY:
        case OP_NOT_WORD_BOUNDARY:
        case OP_LOOP_ENTRY:
          goOn = true;
          break;
        case OP_INPUT_END:
        case OP_LINE_END:
          add(0);
          if (ProgramModifierSet & MODIFIER_M) {
            for (const char c : LineSepChars) add(static_cast<unsigned char>(c));
            // A line end also stands just before a separator pair.
            if (!LinePair.empty()) add(static_cast<unsigned char>(LinePair[0]));
          }
          break;
        case OP_BRANCH:
          if (next != nullptr && Opcode(next) == OP_BRANCH) {
            for (const std::uint8_t* b = node; b != nullptr && Opcode(b) == OP_BRANCH;
                 b = NextNode(b)) {
              pending.push_back(Operand(b));
            }
          } else {
            next = operand;
            goOn = true;
          }
          break;
        case OP_LITERAL:
          add(static_cast<unsigned char>(operand[0]));
          break;
        case OP_LITERAL_CI:
          add(static_cast<unsigned char>(operand[0]));
          add(CaseToggle[operand[0]]);
          break;
        case OP_STAR:
        case OP_STAR_LAZY:
          pending.push_back(operand);
          goOn = true;
          break;
        case OP_PLUS:
        case OP_PLUS_LAZY:
          pending.push_back(operand);
          break;
        case OP_BRACES:
        case OP_BRACES_LAZY:
          pending.push_back(BracesOperand(node));
          goOn = BracesMin(node) == 0;
          break;
        case OP_LOOP:
        case OP_LOOP_LAZY:
          pending.push_back(LoopBody(node));
          goOn = LoopMin(node) == 0;
          break;
        case OP_DIGIT:
          for (int c = '0'; c <= '9'; ++c) add(static_cast<unsigned char>(c));
          break;
        case OP_NON_DIGIT:
          for (int c = 0; c < 256; ++c) {
            if (c < '0' || c > '9') add(static_cast<unsigned char>(c));
          }
          break;
        case OP_IN_SMALL_SET:
          for (int i = 0; i < SMALL_SET_SIZE; ++i) add(operand[i]);
          break;
        case OP_NOT_IN_SMALL_SET:
          for (int c = 0; c < 256; ++c) {
            if (c != operand[0] && c != operand[1] && c != operand[2]) {
              add(static_cast<unsigned char>(c));
            }
          }
          break;
        case OP_IN_SET:
          for (int c = 0; c < 256; ++c) {
            if (SetHas(operand, static_cast<std::uint8_t>(c))) add(static_cast<unsigned char>(c));
          }
          break;
        default:
          goOn = IsOpen(op) || IsClose(op);
          break;
      }
      node = goOn ? next : nullptr;
    }
  }

  // The other three only for a single top-level alternative.
  const std::uint8_t* afterFirst = NextNode(first);
  if (afterFirst == nullptr || Opcode(afterFirst) != OP_END) return;
  const std::uint8_t* start = Operand(first);
  if (Opcode(start) == OP_LITERAL) {
    fp.FirstLiteralChar = static_cast<unsigned char>(LiteralText(start)[0]);
  } else if (Opcode(start) == OP_INPUT_START) {
    fp.AnchoredAtStart = true;
  }
  // Every node on the main sequence is passed by every match: the alternatives of a branch
  // chain and the bodies of loops are operands, never on it. It never runs backwards; the step
  // bound only guards against a bad program.
  std::size_t longest = 0;
  const char* best = nullptr;
  std::size_t steps = Program.size();
  for (const std::uint8_t* node = start; node != nullptr && steps > 0; --steps) {
    const std::uint8_t op = Opcode(node);
    if (op == OP_LITERAL || op == OP_LITERAL_CI) {
      const std::size_t len = std::strlen(LiteralText(node));
      if (op == OP_LITERAL && len >= longest) {
        longest = len;
        best = LiteralText(node);
      }
      if (len > fp.MandatoryLiteral.size()) {
        fp.MandatoryLiteral.assign(LiteralText(node), len);
        fp.MandatoryLiteralIgnoresCase = op == OP_LITERAL_CI;
      }
    }
    if (NextOffset(node) <= 0) break;
    node = NextNode(node);
  }
  if (best != nullptr && (topFlags & FLAG_REPEAT_START)) fp.RequiredLiteral.assign(best, longest);
}

}  // namespace velmora

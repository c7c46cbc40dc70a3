// The matcher: a backtracking interpreter of the compiled program with an explicit, heap-held
// stack, the search loop with its fast paths, and the reading of match positions.
//
// Backtracking model. The interpreter walks the program forward. Every place that may have to
// come back (an alternation, a repeat that can give back units, a counted loop that may stop or
// go on) pushes a choice frame; every change of the search state (a capture, the loop counters,
// a loop guard) pushes an undo frame holding the old value. On failure frames are popped: undo
// frames restore, the first choice frame resumes with its next option. So a failed attempt
// leaves no trace, the alternatives are tried in exactly the order of a recursive matcher, and
// the depth of the call stack never depends on the pattern or the input.

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>

#include "regex/Regex.h"
#include "regex/RegexMemo.h"
#include "regex/RegexProgram.h"

namespace velmora {

using namespace regex_program;

namespace {

// Frame kinds; the kind is the top word of a frame, its payload lies below it.
enum FrameKind : std::uint32_t {
  kUndoCapture = 1,  // [old, slot]
  kUndoLoop,         // [old depth, level, old count, old iteration start]
  kUndoBackPass,     // [old, node offset, old latest pass]
  kBranch,           // [position, offset of the next OP_BRANCH to try]
  kRepeatGreedy,     // [next node, start, units taken, min, unit length, hint]
  kRepeatLazy,       // [next node, start, units taken, most units, unit length, hint]
  kLoopLeave,        // [position, loop node]: leave a greedy loop after more iterations failed
  kLoopMore,         // [position, loop node]: iterate a lazy loop after leaving it failed
  kFailedIfPopped,   // [position, memo row]: popped when everything after that state failed
};

constexpr std::size_t FrameWords(std::uint32_t kind) {
  switch (kind) {
    case kUndoCapture:
    case kBranch:
    case kLoopLeave:
    case kLoopMore:
    case kFailedIfPopped:
      return 3;
    case kUndoBackPass:
      return 4;
    case kUndoLoop:
      return 5;
    default:
      return 7;
  }
}

constexpr std::uint32_t kNoHint = 0xFFFFFFFFu;
constexpr std::uint32_t kUnset = 0xFFFFFFFFu;
// Matcher steps between two calls of the progress hook.
constexpr std::int64_t kProgressInterval = 4096;
// Frames popped by one search before failed states are remembered: most searches end long
// before, and clearing the memory for them would cost more than it saves.
constexpr std::uint64_t kMemoAfterPops = 1u << 14;
// Memory for failed states beyond which a search goes on without them.
constexpr std::uint64_t kMemoFixedBytes = 8u << 20;

}  // namespace

class TRegex::Matcher {
 public:
  explicit Matcher(TRegex& re)
      : re_(re),
        base_(re.Program.data()),
        in_(reinterpret_cast<const unsigned char*>(re.InputStart)),
        len_(static_cast<std::uint32_t>(re.InputEnd - re.InputStart)),
        stack_(re.Backtrack),
        backPass_(re.BackPass),
        toggle_(re.CaseToggle),
        word_(re.WordCharSet),
        lineSep_(re.LineSepSet),
        hasPair_(re.LinePair.size() == 2),
        pairHead_(hasPair_ ? static_cast<unsigned char>(re.LinePair[0]) : 0),
        pairTail_(hasPair_ ? static_cast<unsigned char>(re.LinePair[1]) : 0) {}

  // Searches from the 0-based offset `from` (at most the input length).
  bool Search(std::uint32_t from);

 private:
  bool TryAt(std::uint32_t at);
  bool Run(std::uint32_t start);
  bool Backtrack(const std::uint8_t*& node, std::uint32_t& pos);
  void CleanUpAfterSuccess();
  bool ScanStartSet(std::uint32_t from);
  bool ContainsLiteral(std::string_view literal, bool ignoreCase, std::uint32_t from) const;
  bool LiteralAt(std::string_view literal, bool ignoreCase, std::uint32_t pos) const;

  // Counts the units of a single-character operand matching from `pos`, at most `limit`;
  // `unit` receives the length of one unit (0: a back-reference whose capture is empty).
  std::uint32_t CountUnits(const std::uint8_t* operand, std::uint32_t pos, std::uint32_t limit,
                           std::uint32_t& unit);
  bool StartRepeat(const std::uint8_t*& node, std::uint32_t& pos);
  // Begins a repeat of `operand` (min to max units) that goes on at `next`.
  bool Repeat(const std::uint8_t* operand, std::uint32_t min, std::uint32_t max, bool greedy,
              const std::uint8_t* next, const std::uint8_t*& node, std::uint32_t& pos);
  // The next count of a repeat frame worth trying (see NextGreedy, NextLazy), leaving out
  // those that lead to a state known to fail.
  bool NextCount(std::uint32_t* frame, std::uint32_t& n, bool greedy) const;
  bool NextCountPastFailures(std::uint32_t* frame, std::uint32_t& n, bool greedy, int row) const;
  bool NextGreedy(std::uint32_t* frame, std::uint32_t& n) const;
  bool NextLazy(std::uint32_t* frame, std::uint32_t& n) const;

  // Failed states (RegexMemo.h): started once a search has run long enough.
  void MaybeStartMemo();
  bool MemoApplies(int row, std::uint32_t pos) const {
    return depth_ == 0 && (latestPass_ <= pos || !memo_->GuardMatters(row));
  }
  bool KnownToFail(std::uint32_t offset, std::uint32_t pos) const {
    if (!memoOn_) return false;
    const int row = memo_->Row(offset);
    return row >= 0 && MemoApplies(row, pos) && memo_->Failed(row, pos);
  }
  // False when the state is known to fail; otherwise records it, to be marked failed when its
  // frame is popped.
  bool EnterState(const std::uint8_t* node, std::uint32_t pos) {
    const int row = memo_->Row(Offset(node));
    if (row < 0 || !MemoApplies(row, pos)) return true;
    if (memo_->Failed(row, pos)) return false;
    Push(pos, static_cast<std::uint32_t>(row), kFailedIfPopped);
    return true;
  }

  bool BackrefAt(int group, bool ignoreCase, std::uint32_t pos, std::uint32_t& length) const;
  bool AnyButSeparatorAt(std::uint32_t pos) const;
  bool LineStartAt(std::uint32_t pos) const;
  bool LineEndAt(std::uint32_t pos) const;
  bool WordBoundaryAt(std::uint32_t pos) const {
    const bool before = pos > 0 && word_[in_[pos - 1]];
    const bool after = pos < len_ && word_[in_[pos]];
    return before != after;
  }

  void Push(std::uint32_t a, std::uint32_t b, std::uint32_t kind) {
    stack_.push_back(a);
    stack_.push_back(b);
    stack_.push_back(kind);
  }
  void SetCapture(int slot, std::uint32_t value) {
    Push(caps_[slot], static_cast<std::uint32_t>(slot), kUndoCapture);
    caps_[slot] = value;
  }
  // Records the loop state of `level` and the depth before they change.
  void SaveLoop(int level) {
    stack_.push_back(static_cast<std::uint32_t>(depth_));
    stack_.push_back(static_cast<std::uint32_t>(level));
    stack_.push_back(loopCount_[level]);
    stack_.push_back(loopStart_[level]);
    stack_.push_back(kUndoLoop);
  }
  void StartIteration(int level, std::uint32_t pos) {
    SaveLoop(level);
    ++loopCount_[level];
    loopStart_[level] = pos;
  }
  void LeaveLoop(int level) {
    SaveLoop(level);
    depth_ = level - 1;
  }
  std::uint32_t Offset(const std::uint8_t* node) const {
    return static_cast<std::uint32_t>(node - base_);
  }

  // Spends matcher steps; returns true when the progress hook asked to stop.
  bool Spend(std::int64_t steps) {
    if (stopped_) return true;
    budget_ -= steps;
    if (budget_ > 0) return false;
    budget_ = kProgressInterval;
    if (!memoTried_ && popped_ >= kMemoAfterPops) MaybeStartMemo();
    if (!re_.OnProgress) return false;
    bool stop = false;
    re_.OnProgress(stop);
    stopped_ = stop;
    return stop;
  }

  TRegex& re_;
  const std::uint8_t* const base_;
  const unsigned char* const in_;
  const std::uint32_t len_;
  std::vector<std::uint32_t>& stack_;
  std::vector<std::int32_t>& backPass_;
  const std::array<unsigned char, 256>& toggle_;
  const std::array<bool, 256>& word_;
  const std::array<bool, 256>& lineSep_;
  const bool hasPair_;
  const unsigned char pairHead_;
  const unsigned char pairTail_;

  std::uint32_t pos_ = 0;
  // Capture offsets: slots 0..14 starts, 15..29 ends; kUnset when unset.
  std::array<std::uint32_t, 2 * CAPTURE_COUNT> caps_;  // filled by Search
  int depth_ = 0;
  std::array<std::uint32_t, LOOP_STACK_DEPTH + 1> loopCount_{};
  std::array<std::uint32_t, LOOP_STACK_DEPTH + 1> loopStart_{};
  std::int64_t budget_ = kProgressInterval;
  bool stopped_ = false;
  // The last run of single-width units counted to its end: [from, end) all match operand.
  struct Run {
    const std::uint8_t* operand = nullptr;
    std::uint32_t from = 0;
    std::uint32_t end = 0;
  } run_;
  std::uint64_t popped_ = 0;  // frames popped by Backtrack
  // Made only for a search that backtracks long (most never do): the Matcher of every search
  // stays small.
  std::unique_ptr<regex_program::FailedStates> memo_;
  bool memoTried_ = false;
  bool memoOn_ = false;
  // The position + 1 of the latest loop-guard pass on the current path, 0 for none.
  std::uint32_t latestPass_ = 0;
};

void TRegex::Matcher::MaybeStartMemo() {
  if (!memo_) memo_ = std::make_unique<regex_program::FailedStates>(base_, re_.Program.size());
  const std::uint64_t bytes = memo_->BytesFor(len_);
  if (!memo_->Usable() || bytes > kMemoFixedBytes + len_ / 2) {
    memoTried_ = true;
    return;
  }
  // Clearing the memory costs about a step per 16 bytes; start once the search has spent more.
  if (popped_ < kMemoAfterPops + bytes / 16) return;
  memo_->Start(len_);
  memoOn_ = true;
  memoTried_ = true;
}

// ---- search loop ------------------------------------------------------------------------

bool TRegex::Matcher::Search(std::uint32_t from) {
  const TRegexFastPath& fast = re_.FastPathData;
  std::string_view required = fast.RequiredLiteral;
  bool requiredIgnoresCase = false;
  // An anchored search makes a single try; looking for a literal first would cost more.
  if (required.empty() && !fast.AnchoredAtStart) {
    required = fast.MandatoryLiteral;
    requiredIgnoresCase = fast.MandatoryLiteralIgnoresCase;
  }
  if (!required.empty() && !ContainsLiteral(required, requiredIgnoresCase, from)) return false;
  // A failed try restores every capture and loop counter through its undo frames, so they
  // are set up once per search, not once per start position.
  caps_.fill(kUnset);
  depth_ = 0;
  if (backPass_.size() < re_.Program.size()) backPass_.resize(re_.Program.size(), -1);
  if (re_.BackPassDirty) std::fill(backPass_.begin(), backPass_.end(), -1);
  re_.BackPassDirty = true;  // cleared below unless an exception leaves it unrestored

  bool found = false;
  if (fast.AnchoredAtStart) {
    found = TryAt(from);
  } else if (fast.FirstLiteralChar != 0) {
    std::uint32_t p = from;
    while (p < len_ && !stopped_) {
      const void* hit = std::memchr(in_ + p, fast.FirstLiteralChar, len_ - p);
      if (hit == nullptr) break;
      p = static_cast<std::uint32_t>(static_cast<const unsigned char*>(hit) - in_);
      if (TryAt(p)) {
        found = true;
        break;
      }
      ++p;
    }
  } else {
    found = ScanStartSet(from);
  }
  // A stopped try leaves its frames unpopped, and with them the loop guards it changed.
  re_.BackPassDirty = stopped_;
  return found && !stopped_;
}

namespace {

// Rough frequency rank of a byte in text (higher: more common), to pick the byte of a literal
// that is rarest and so the cheapest to look for.
constexpr int ByteCommonness(unsigned char c) {
  constexpr std::string_view kLettersByFrequency = "etaoinsrhldcumfpgwybvkxjqz";
  if (c == ' ') return 100;
  if (c >= 'a' && c <= 'z') return 90 - static_cast<int>(kLettersByFrequency.find(c));
  if (c >= 'A' && c <= 'Z') {
    return 45 - static_cast<int>(kLettersByFrequency.find(static_cast<char>(c - 'A' + 'a'))) / 2;
  }
  if (c >= '0' && c <= '9') return 50;
  if (c == '\t' || c == '_' || c == '.' || c == ',' || c == '(' || c == ')') return 40;
  return 10;
}

constexpr std::array<std::uint8_t, 256> kCommonness = [] {
  std::array<std::uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    table[c] = static_cast<std::uint8_t>(ByteCommonness(static_cast<unsigned char>(c)));
  }
  return table;
}();

int Commonness(unsigned char c) {
  return kCommonness[c];
}

}  // namespace

bool TRegex::Matcher::LiteralAt(std::string_view literal, bool ignoreCase,
                                std::uint32_t pos) const {
  if (literal.size() > len_ - pos) return false;
  for (std::size_t i = 0; i < literal.size(); ++i) {
    const auto want = static_cast<unsigned char>(literal[i]);
    const unsigned char got = in_[pos + i];
    if (got != want && !(ignoreCase && got == toggle_[want])) return false;
  }
  return true;
}

// Whether `literal` occurs in the input at or after `from`: its rarest byte is looked for
// with memchr (in both cases when ignoring case), and the whole literal compared around it.
bool TRegex::Matcher::ContainsLiteral(std::string_view literal, bool ignoreCase,
                                      std::uint32_t from) const {
  if (literal.size() > len_ - from) return false;
  std::size_t rare = 0;
  for (std::size_t i = 1; i < literal.size(); ++i) {
    if (Commonness(static_cast<unsigned char>(literal[i])) <
        Commonness(static_cast<unsigned char>(literal[rare]))) {
      rare = i;
    }
  }
  const auto first = static_cast<unsigned char>(literal[rare]);
  const unsigned char second = ignoreCase ? toggle_[first] : first;
  const std::uint32_t last = len_ - static_cast<std::uint32_t>(literal.size() - rare);
  std::uint32_t p = from + static_cast<std::uint32_t>(rare);
  std::uint32_t next[2] = {p, first == second ? len_ : p};
  const unsigned char bytes[2] = {first, second};
  while (p <= last) {
    for (int i = 0; i < 2; ++i) {
      if (next[i] < p) next[i] = p;
      if (next[i] < len_ && in_[next[i]] != bytes[i]) {
        const void* hit = std::memchr(in_ + next[i], bytes[i], last + 1 - next[i]);
        next[i] =
            hit ? static_cast<std::uint32_t>(static_cast<const unsigned char*>(hit) - in_) : len_;
      }
    }
    const std::uint32_t hit = std::min(next[0], next[1]);
    if (hit > last) return false;
    if (LiteralAt(literal, ignoreCase, hit - static_cast<std::uint32_t>(rare))) return true;
    p = hit + 1;
  }
  return false;
}

// Tries every position from `from` whose byte is in StartCharSet (the input end counts as
// byte 0). Sets of one or two bytes are searched with memchr instead of a byte-by-byte walk.
bool TRegex::Matcher::ScanStartSet(std::uint32_t from) {
  const std::array<bool, 256>& set = re_.FastPathData.StartCharSet;
  // Members other than 0, counted eight at a time (a bool is one byte holding 0 or 1).
  // Each byte lane of the sum counts at most 32 members, so lanes never carry into each other.
  std::uint64_t words[32];
  std::memcpy(words, set.data(), sizeof words);
  words[0] &= ~std::uint64_t{0xFF};
  std::uint64_t lanes = 0;
  for (const std::uint64_t w : words) lanes += w;
  const int count = static_cast<int>((lanes * 0x0101010101010101ULL) >> 56);
  unsigned char members[2] = {0, 0};
  if (count <= 2) {
    int found = 0;
    for (int w = 0; w < 32 && found < count; ++w) {
      for (std::uint64_t bits = words[w]; bits != 0 && found < count; bits &= bits - 1) {
        members[found++] = static_cast<unsigned char>(w * 8 + std::countr_zero(bits) / 8);
      }
    }
  }
  std::uint32_t p = from;
  if (count <= 2) {
    // Next occurrence of each member at or after p (len_ when there is none).
    std::uint32_t next[2] = {0, 0};
    bool known[2] = {false, false};
    for (;;) {
      if (stopped_) return false;
      std::uint32_t best = len_;
      for (int i = 0; i < count; ++i) {
        if (!known[i] || next[i] < p) {
          const void* hit = p < len_ ? std::memchr(in_ + p, members[i], len_ - p) : nullptr;
          next[i] =
              hit ? static_cast<std::uint32_t>(static_cast<const unsigned char*>(hit) - in_) : len_;
          known[i] = true;
        }
        best = std::min(best, next[i]);
      }
      if (best >= len_) break;
      if (TryAt(best)) return true;
      p = best + 1;
    }
    p = len_;
  } else {
    for (; p < len_; ++p) {
      if (!set[in_[p]]) continue;
      if (TryAt(p)) return true;
      if (stopped_) return false;
    }
  }
  return set[0] && !stopped_ && TryAt(len_);
}

bool TRegex::Matcher::TryAt(std::uint32_t at) {
  stack_.clear();
  latestPass_ = 0;
  pos_ = at;
  if (!Run(at)) return false;
  CleanUpAfterSuccess();
  re_.CaptureStart.fill(nullptr);
  re_.CaptureEnd.fill(nullptr);
  caps_[0] = at;
  caps_[CAPTURE_COUNT] = pos_;
  for (int i = 0; i < CAPTURE_COUNT; ++i) {
    const std::uint32_t s = caps_[i];
    const std::uint32_t e = caps_[CAPTURE_COUNT + i];
    if (s == kUnset || e == kUnset || e < s) continue;
    re_.CaptureStart[i] = re_.InputStart + s;
    re_.CaptureEnd[i] = re_.InputStart + e;
  }
  return true;
}

// After a success the undo frames are still on the stack; only the loop guards outlive the
// search, so only they are restored.
void TRegex::Matcher::CleanUpAfterSuccess() {
  while (!stack_.empty()) {
    const std::uint32_t kind = stack_.back();
    const std::size_t words = FrameWords(kind);
    if (kind == kUndoBackPass) {
      const std::uint32_t* f = stack_.data() + stack_.size() - words;
      backPass_[f[1]] = static_cast<std::int32_t>(f[0]);
    }
    stack_.resize(stack_.size() - words);
  }
}

// ---- the interpreter --------------------------------------------------------------------

bool TRegex::Matcher::Run(std::uint32_t start) {
  const std::uint8_t* node = base_ + 1;
  std::uint32_t pos = start;
  for (;;) {
    if (Spend(1)) return false;
    if (memoOn_ && !EnterState(node, pos)) [[unlikely]] {
      if (stopped_ || !Backtrack(node, pos)) return false;
      continue;
    }
    bool ok = true;
    const std::uint8_t op = Opcode(node);
    switch (op) {
      case OP_END:
        pos_ = pos;
        return true;
      case OP_EMPTY:
      case OP_COMMENT:
        break;
      case OP_BACK: {
        // A loop iteration that consumed nothing would go round for ever; stop it here.
        const std::uint32_t at = Offset(node);
        const std::int32_t last = backPass_[at];
        if (last == static_cast<std::int32_t>(pos)) {
          ok = false;
          break;
        }
        stack_.push_back(static_cast<std::uint32_t>(last));
        stack_.push_back(at);
        stack_.push_back(latestPass_);
        stack_.push_back(kUndoBackPass);
        backPass_[at] = static_cast<std::int32_t>(pos);
        latestPass_ = pos + 1;
        break;
      }
      case OP_INPUT_START:
        ok = pos == 0;
        break;
      case OP_INPUT_END:
        ok = pos == len_;
        break;
      case OP_ANY_CHAR:
        ok = pos < len_;
        pos += ok;
        break;
      case OP_ANY_BUT_LINE_SEP:
        ok = AnyButSeparatorAt(pos);
        pos += ok;
        break;
      case OP_DIGIT:
        ok = pos < len_ && in_[pos] >= '0' && in_[pos] <= '9';
        pos += ok;
        break;
      case OP_NON_DIGIT:
        ok = pos < len_ && !(in_[pos] >= '0' && in_[pos] <= '9');
        pos += ok;
        break;
      case OP_IN_SMALL_SET: {
        const std::uint8_t* s = Operand(node);
        ok = pos < len_ && (in_[pos] == s[0] || in_[pos] == s[1] || in_[pos] == s[2]);
        pos += ok;
        break;
      }
      case OP_NOT_IN_SMALL_SET: {
        const std::uint8_t* s = Operand(node);
        ok = pos < len_ && in_[pos] != s[0] && in_[pos] != s[1] && in_[pos] != s[2];
        pos += ok;
        break;
      }
      case OP_IN_SET:
        ok = pos < len_ && SetHas(Operand(node), in_[pos]);
        pos += ok;
        break;
      case OP_LITERAL: {
        std::uint32_t p = pos;
        for (const std::uint8_t* lit = Operand(node); *lit != 0; ++lit, ++p) {
          if (p >= len_ || in_[p] != *lit) {
            ok = false;
            break;
          }
        }
        if (ok) pos = p;
        break;
      }
      case OP_LITERAL_CI: {
        std::uint32_t p = pos;
        for (const std::uint8_t* lit = Operand(node); *lit != 0; ++lit, ++p) {
          if (p >= len_ || (in_[p] != *lit && in_[p] != toggle_[*lit])) {
            ok = false;
            break;
          }
        }
        if (ok) pos = p;
        break;
      }
      case OP_BACKREF:
      case OP_BACKREF_CI: {
        std::uint32_t length = 0;
        ok = BackrefAt(*Operand(node), op == OP_BACKREF_CI, pos, length);
        if (ok) pos += length;
        break;
      }
      case OP_BRANCH: {
        // A greedy loop over one single-width node backtracks like a repeat: one frame that
        // counts down, instead of a frame per character.
        const std::uint8_t* exit = nullptr;
        if (const std::uint8_t* item = SingleWidthLoopItem(node, exit)) {
          if (Repeat(item, 0, static_cast<std::uint32_t>(MAX_REPEAT), true, exit, node, pos)) {
            continue;
          }
          ok = false;
          break;
        }
        const std::uint8_t* next = NextNode(node);
        if (next != nullptr && Opcode(next) == OP_BRANCH) Push(pos, Offset(next), kBranch);
        node = Operand(node);
        continue;
      }
      case OP_WORD_BOUNDARY:
        ok = WordBoundaryAt(pos);
        break;
      case OP_NOT_WORD_BOUNDARY:
        ok = !WordBoundaryAt(pos);
        break;
      case OP_LINE_START:
        ok = LineStartAt(pos);
        break;
      case OP_LINE_END:
        ok = LineEndAt(pos);
        break;
      case OP_STAR:
      case OP_PLUS:
      case OP_BRACES:
      case OP_STAR_LAZY:
      case OP_PLUS_LAZY:
      case OP_BRACES_LAZY:
        if (StartRepeat(node, pos)) continue;
        ok = false;
        break;
      case OP_LOOP_ENTRY:
        if (depth_ >= LOOP_STACK_DEPTH) re_.RaiseError(1014);
        SaveLoop(depth_ + 1);
        ++depth_;
        loopCount_[depth_] = 0;
        loopStart_[depth_] = pos;
        break;
      case OP_LOOP:
      case OP_LOOP_LAZY: {
        const int d = depth_;
        if (d < 1) {
          ok = false;
          break;
        }
        const std::uint32_t min = static_cast<std::uint32_t>(std::max(LoopMin(node), 0));
        const std::uint32_t max = static_cast<std::uint32_t>(std::max(LoopMax(node), 0));
        std::uint32_t k = loopCount_[d];
        // An iteration that consumed nothing would repeat identically: count the required
        // ones as done and iterate no further.
        const bool emptyLast = k > 0 && loopStart_[d] == pos;
        if (emptyLast && k < min) {
          SaveLoop(d);
          loopCount_[d] = k = min;
        }
        if (k < min) {
          StartIteration(d, pos);
          node = LoopBody(node);
          continue;
        }
        const bool more = k < max && !emptyLast;
        if (op == OP_LOOP && more) {
          Push(pos, Offset(node), kLoopLeave);
          StartIteration(d, pos);
          node = LoopBody(node);
          continue;
        }
        if (op == OP_LOOP_LAZY && more) Push(pos, Offset(node), kLoopMore);
        LeaveLoop(d);
        break;
      }
      default:
        if (IsOpen(op)) {
          SetCapture(OpenIndex(op), pos);
        } else if (IsClose(op)) {
          SetCapture(CAPTURE_COUNT + CloseIndex(op), pos);
        } else {
          ok = false;  // never emitted
        }
        break;
    }
    if (ok) {
      node = NextNode(node);
      if (node != nullptr) continue;
    }
    if (stopped_ || !Backtrack(node, pos)) return false;
  }
}

// Pops frames up to the next choice and resumes it. False when no choice is left (or the
// progress hook asked to stop).
bool TRegex::Matcher::Backtrack(const std::uint8_t*& node, std::uint32_t& pos) {
  while (!stack_.empty()) {
    if (Spend(1)) return false;
    ++popped_;
    const std::uint32_t kind = stack_.back();
    std::uint32_t* f = stack_.data() + stack_.size() - FrameWords(kind);
    switch (kind) {
      case kUndoCapture:
        caps_[f[1]] = f[0];
        break;
      case kUndoLoop:
        depth_ = static_cast<int>(f[0]);
        loopCount_[f[1]] = f[2];
        loopStart_[f[1]] = f[3];
        break;
      case kUndoBackPass:
        backPass_[f[1]] = static_cast<std::int32_t>(f[0]);
        latestPass_ = f[2];
        break;
      case kFailedIfPopped:
        memo_->MarkFailed(static_cast<int>(f[1]), f[0]);
        break;
      case kBranch: {
        const std::uint8_t* branch = base_ + f[1];
        pos = f[0];
        const std::uint8_t* next = NextNode(branch);
        if (next != nullptr && Opcode(next) == OP_BRANCH) {
          f[1] = Offset(next);  // the frame stays for the alternative after this one
        } else {
          stack_.resize(stack_.size() - 3);
        }
        node = Operand(branch);
        return true;
      }
      case kRepeatGreedy:
      case kRepeatLazy: {
        std::uint32_t n = f[2];
        if (!NextCount(f, n, kind == kRepeatGreedy)) break;
        node = base_ + f[0];
        pos = f[1] + n * f[4];
        if (n == f[3]) {
          stack_.resize(stack_.size() - 7);
        } else {
          f[2] = n;
        }
        return true;
      }
      case kLoopLeave: {
        pos = f[0];
        node = base_ + f[1];
        stack_.resize(stack_.size() - 3);
        LeaveLoop(depth_);
        node = NextNode(node);
        if (node == nullptr) continue;
        return true;
      }
      case kLoopMore: {
        pos = f[0];
        node = base_ + f[1];
        stack_.resize(stack_.size() - 3);
        StartIteration(depth_, pos);
        node = LoopBody(node);
        return true;
      }
      default:
        break;
    }
    stack_.resize(stack_.size() - FrameWords(kind));
  }
  return false;
}

// ---- single-character repeats -----------------------------------------------------------

std::uint32_t TRegex::Matcher::CountUnits(const std::uint8_t* operand, std::uint32_t pos,
                                          std::uint32_t limit, std::uint32_t& unit) {
  unit = 1;
  // Where the last run of this operand ended is where every run begun inside it ends, so
  // repeats retried at the following positions do not count the same characters again.
  if (operand == run_.operand && pos >= run_.from && pos <= run_.end) {
    return std::min(limit, run_.end - pos);
  }
  const std::uint32_t end = pos + std::min(limit, len_ - pos);
  std::uint32_t p = pos;
  const std::uint8_t* arg = Operand(operand);
  switch (Opcode(operand)) {
    case OP_ANY_CHAR:
      p = end;
      break;
    case OP_ANY_BUT_LINE_SEP:
      while (p < end && AnyButSeparatorAt(p)) ++p;
      break;
    case OP_LITERAL:
      while (p < end && in_[p] == arg[0]) ++p;
      break;
    case OP_LITERAL_CI: {
      const unsigned char other = toggle_[arg[0]];
      while (p < end && (in_[p] == arg[0] || in_[p] == other)) ++p;
      break;
    }
    case OP_DIGIT:
      while (p < end && in_[p] >= '0' && in_[p] <= '9') ++p;
      break;
    case OP_NON_DIGIT:
      while (p < end && !(in_[p] >= '0' && in_[p] <= '9')) ++p;
      break;
    case OP_IN_SMALL_SET:
      while (p < end && (in_[p] == arg[0] || in_[p] == arg[1] || in_[p] == arg[2])) ++p;
      break;
    case OP_NOT_IN_SMALL_SET:
      while (p < end && in_[p] != arg[0] && in_[p] != arg[1] && in_[p] != arg[2]) ++p;
      break;
    case OP_IN_SET:
      while (p < end && SetHas(arg, in_[p])) ++p;
      break;
    case OP_BACKREF:
    case OP_BACKREF_CI: {
      const bool ignoreCase = Opcode(operand) == OP_BACKREF_CI;
      std::uint32_t length = 0;
      std::uint32_t n = 0;
      if (!BackrefAt(arg[0], ignoreCase, pos, length)) return 0;
      if (length == 0) {
        unit = 0;  // an empty capture repeats without moving: one empty unit stands for all
        return limit;
      }
      unit = length;
      for (p = pos; n < limit && BackrefAt(arg[0], ignoreCase, p, length); p += length) ++n;
      return n;
    }
    default:
      break;
  }
  // A run cut short by the limit may go on; only a run that ended is remembered.
  if (p < end || p == len_) run_ = {operand, pos, p};
  return p - pos;
}

// Begins a single-character repeat at `node`. On success `node` and `pos` are where the match
// goes on and a frame holds the other counts still to try.
bool TRegex::Matcher::StartRepeat(const std::uint8_t*& node, std::uint32_t& pos) {
  const std::uint8_t op = Opcode(node);
  std::uint32_t min = 0;
  std::uint32_t max = static_cast<std::uint32_t>(MAX_REPEAT);
  const std::uint8_t* operand = Operand(node);
  if (op == OP_PLUS || op == OP_PLUS_LAZY) {
    min = 1;
  } else if (op == OP_BRACES || op == OP_BRACES_LAZY) {
    min = static_cast<std::uint32_t>(std::max(BracesMin(node), 0));
    max = static_cast<std::uint32_t>(std::max(BracesMax(node), 0));
    operand = BracesOperand(node);
  }
  const bool greedy = op == OP_STAR || op == OP_PLUS || op == OP_BRACES;
  return Repeat(operand, min, max, greedy, NextNode(node), node, pos);
}

bool TRegex::Matcher::Repeat(const std::uint8_t* operand, std::uint32_t min, std::uint32_t max,
                             bool greedy, const std::uint8_t* next, const std::uint8_t*& node,
                             std::uint32_t& pos) {
  if (next == nullptr || min > max) return false;
  // A literal after the repeat (empty nodes between change nothing) must begin where the
  // repeat stops; skip counts where it cannot.
  const std::uint8_t* follower = next;
  while (follower != nullptr && Opcode(follower) == OP_EMPTY) follower = NextNode(follower);
  const std::uint32_t hint =
      follower != nullptr && Opcode(follower) == OP_LITERAL ? Operand(follower)[0] : kNoHint;
  std::uint32_t unit = 1;
  const std::uint32_t most = CountUnits(operand, pos, max, unit);
  if (Spend(most / 16)) return false;
  if (most < min) return false;
  const std::uint32_t start = pos;
  if (unit == 0) {
    if (hint != kNoHint && (start >= len_ || in_[start] != hint)) return false;
    node = next;
    return true;
  }
  // frame[2] is the count tried last, frame[3] the count that ends the choice.
  std::uint32_t frame[7] = {Offset(next),
                            start,
                            greedy ? most : min,
                            greedy ? min : most,
                            unit,
                            hint,
                            greedy ? kRepeatGreedy : kRepeatLazy};
  std::uint32_t n = frame[2];
  const std::uint32_t stop = start + n * unit;
  const bool suits =
      (hint == kNoHint || (stop < len_ && in_[stop] == hint)) && !KnownToFail(frame[0], stop);
  if (!suits && !NextCount(frame, n, greedy)) return false;
  if (n != frame[3]) {
    frame[2] = n;
    stack_.insert(stack_.end(), frame, frame + 7);
  }
  pos = start + n * unit;
  node = next;
  return true;
}

bool TRegex::Matcher::NextCount(std::uint32_t* frame, std::uint32_t& n, bool greedy) const {
  const int row = memoOn_ ? memo_->Row(frame[0]) : -1;
  if (row >= 0 && depth_ == 0 && frame[4] == 1 && frame[5] == kNoHint) {
    return NextCountPastFailures(frame, n, greedy, row);
  }
  for (;;) {
    if (!(greedy ? NextGreedy(frame, n) : NextLazy(frame, n))) return false;
    if (!KnownToFail(frame[0], frame[1] + n * frame[4])) return true;
    if (n == frame[3]) return false;
    frame[2] = n;
  }
}

// NextCount for one-character units without a hint: the marks of failed states are scanned a
// word at a time. Stop positions below latestPass_ are never known to fail where the loop
// guard matters.
bool TRegex::Matcher::NextCountPastFailures(std::uint32_t* frame, std::uint32_t& n, bool greedy,
                                            int row) const {
  const std::uint32_t start = frame[1];
  const std::uint32_t k = frame[2];
  const std::uint32_t floor = memo_->GuardMatters(row) ? latestPass_ : 0;
  std::int64_t stop = -1;
  if (greedy) {
    if (k <= frame[3]) return false;
    const std::uint32_t lo = start + frame[3];
    const std::uint32_t hi = start + k - 1;
    if (hi < floor) {
      stop = hi;
    } else {
      stop = memo_->LastNotFailed(row, std::max(lo, floor), hi);
      if (stop < 0 && lo < floor) stop = floor - 1;
    }
  } else {
    if (k >= frame[3]) return false;
    const std::uint32_t lo = start + k + 1;
    const std::uint32_t hi = start + frame[3];
    stop = lo < floor ? lo : memo_->FirstNotFailed(row, lo, hi);
  }
  if (stop < 0) return false;
  n = static_cast<std::uint32_t>(stop) - start;
  return true;
}

// The next smaller count (below frame[2], at least frame[3]) whose stop position suits the hint.
bool TRegex::Matcher::NextGreedy(std::uint32_t* frame, std::uint32_t& n) const {
  const std::uint32_t start = frame[1];
  const std::uint32_t min = frame[3];
  const std::uint32_t unit = frame[4];
  const std::uint32_t hint = frame[5];
  std::uint32_t k = frame[2];
  if (k <= min) return false;
  --k;
  if (hint == kNoHint) {
    n = k;
    return true;
  }
  if (unit == 1) {
    // Stop positions start + min .. start + k, the last one that holds the hint byte.
    std::uint32_t hi = start + k;
    if (hi >= len_) {
      if (len_ == 0 || start + min > len_ - 1) return false;
      hi = len_ - 1;
    }
    const void* hit = memrchr(in_ + start + min, static_cast<int>(hint), hi - (start + min) + 1);
    if (hit == nullptr) return false;
    n = static_cast<std::uint32_t>(static_cast<const unsigned char*>(hit) - in_) - start;
    return true;
  }
  for (;; --k) {
    const std::uint32_t p = start + k * unit;
    if (p < len_ && in_[p] == hint) {
      n = k;
      return true;
    }
    if (k == min) return false;
  }
}

// The next larger count (above frame[2], at most frame[3]) whose stop position suits the hint.
bool TRegex::Matcher::NextLazy(std::uint32_t* frame, std::uint32_t& n) const {
  const std::uint32_t start = frame[1];
  const std::uint32_t most = frame[3];
  const std::uint32_t unit = frame[4];
  const std::uint32_t hint = frame[5];
  std::uint32_t k = frame[2];
  if (k >= most) return false;
  ++k;
  if (hint == kNoHint) {
    n = k;
    return true;
  }
  if (unit == 1) {
    const std::uint32_t lo = start + k;
    const std::uint32_t hi = std::min(start + most, len_ == 0 ? 0 : len_ - 1);
    if (lo > hi || lo >= len_) return false;
    const void* hit = std::memchr(in_ + lo, static_cast<int>(hint), hi - lo + 1);
    if (hit == nullptr) return false;
    n = static_cast<std::uint32_t>(static_cast<const unsigned char*>(hit) - in_) - start;
    return true;
  }
  for (;; ++k) {
    const std::uint32_t p = start + k * unit;
    if (p < len_ && in_[p] == hint) {
      n = k;
      return true;
    }
    if (k == most) return false;
  }
}

// ---- single-position tests --------------------------------------------------------------

// Whether the text of capture `group` appears at `pos` (ignoring case on request); `length`
// receives its length. An unset capture matches nothing; the text never runs past the input.
bool TRegex::Matcher::BackrefAt(int group, bool ignoreCase, std::uint32_t pos,
                                std::uint32_t& length) const {
  if (group < 1 || group >= CAPTURE_COUNT) return false;
  const std::uint32_t s = caps_[group];
  const std::uint32_t e = caps_[CAPTURE_COUNT + group];
  if (s == kUnset || e == kUnset || e < s) return false;
  length = e - s;
  if (length > len_ - pos) return false;
  if (!ignoreCase) return std::memcmp(in_ + s, in_ + pos, length) == 0;
  for (std::uint32_t i = 0; i < length; ++i) {
    const unsigned char want = in_[s + i];
    const unsigned char got = in_[pos + i];
    if (got != want && got != toggle_[want]) return false;
  }
  return true;
}

bool TRegex::Matcher::AnyButSeparatorAt(std::uint32_t pos) const {
  if (pos >= len_) return false;
  const unsigned char c = in_[pos];
  if (hasPair_ && c == pairHead_ && pos + 1 < len_ && in_[pos + 1] == pairTail_) return false;
  return !lineSep_[c];
}

bool TRegex::Matcher::LineStartAt(std::uint32_t pos) const {
  if (pos == 0) return true;
  const unsigned char before = in_[pos - 1];
  if (hasPair_) {
    if (before == pairTail_ && pos >= 2 && in_[pos - 2] == pairHead_) return true;
    if (before == pairHead_ && pos < len_ && in_[pos] == pairTail_) return false;
  }
  return lineSep_[before];
}

bool TRegex::Matcher::LineEndAt(std::uint32_t pos) const {
  if (pos >= len_) return true;
  const unsigned char c = in_[pos];
  if (hasPair_) {
    if (c == pairHead_ && pos + 1 < len_ && in_[pos + 1] == pairTail_) return true;
    if (c == pairTail_ && pos > 0 && in_[pos - 1] == pairHead_) return false;
  }
  return lineSep_[c];
}

// ---- public operations ------------------------------------------------------------------

namespace {

// The subject ends at its first NUL byte.
std::string_view CutAtNul(std::string_view input) {
  const void* nul = input.empty() ? nullptr : std::memchr(input.data(), 0, input.size());
  if (nul == nullptr) return input;
  return input.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - input.data()));
}

const char kEmptyInput[1] = {0};

}  // namespace

bool TRegex::Exec(std::string_view input) {
  input = CutAtNul(input);
  // assign keeps the buffer when the length is unchanged (and whenever it already fits).
  InputCopy.assign(input.data(), input.size());
  InputStart = InputCopy.data();
  InputEnd = InputStart + InputCopy.size();
  HasInput = true;
  return ExecPos(1);  // unsets the captures first
}

bool TRegex::ExecView(std::string_view input) {
  input = CutAtNul(input);
  InputStart = input.data() != nullptr ? input.data() : kEmptyInput;
  InputEnd = InputStart + input.size();
  HasInput = true;
  return ExecPos(1);  // unsets the captures first
}

bool TRegex::ExecPos(std::int32_t offset) {
  // Captures 1..14 are only ever set together with capture 0.
  if (CaptureStart[0] != nullptr || CaptureEnd[0] != nullptr) {
    CaptureStart.fill(nullptr);
    CaptureEnd.fill(nullptr);
  }
  PrepareProgram();
  if (!HasInput) RaiseError(1005);
  if (offset < 1) RaiseError(1006);
  const auto length = static_cast<std::uint64_t>(InputEnd - InputStart);
  if (static_cast<std::uint64_t>(offset) > length + 1) return false;
  Matcher matcher(*this);
  return matcher.Search(static_cast<std::uint32_t>(offset - 1));
}

bool TRegex::ExecNext() {
  if (CaptureStart[0] == nullptr || CaptureEnd[0] == nullptr) RaiseError(1007);
  std::int64_t offset = (CaptureEnd[0] - InputStart) + 1;
  if (CaptureEnd[0] == CaptureStart[0]) ++offset;
  if (offset > std::numeric_limits<std::int32_t>::max()) {
    CaptureStart.fill(nullptr);
    CaptureEnd.fill(nullptr);
    return false;
  }
  return ExecPos(static_cast<std::int32_t>(offset));
}

std::int32_t TRegex::MatchStart(std::int32_t i) const {
  if (i < 0 || i >= CAPTURE_COUNT || !HasInput) return -1;
  if (CaptureStart[i] == nullptr || CaptureEnd[i] == nullptr) return -1;
  return static_cast<std::int32_t>(CaptureStart[i] - InputStart) + 1;
}

std::int32_t TRegex::MatchLength(std::int32_t i) const {
  if (i < 0 || i >= CAPTURE_COUNT || !HasInput) return -1;
  if (CaptureStart[i] == nullptr || CaptureEnd[i] == nullptr) return -1;
  return static_cast<std::int32_t>(CaptureEnd[i] - CaptureStart[i]);
}

std::string TRegex::MatchText(std::int32_t i) const {
  if (MatchLength(i) < 0) return {};
  return std::string(CaptureStart[i], CaptureEnd[i]);
}

}  // namespace velmora

#include "regex/RegexMemo.h"

#include <algorithm>
#include <bit>

#include "regex/RegexProgram.h"

namespace velmora::regex_program {

namespace {

bool IsRepeat(std::uint8_t op) {
  return op == OP_STAR || op == OP_PLUS || op == OP_BRACES || op == OP_STAR_LAZY ||
         op == OP_PLUS_LAZY || op == OP_BRACES_LAZY;
}

// The nodes a match may go to from `node` without consuming a character.
template <typename Visit>
void ForEachEmptyStep(const std::uint8_t* node, Visit visit) {
  const std::uint8_t op = Opcode(node);
  const std::uint8_t* next = NextNode(node);
  switch (op) {
    case OP_BRANCH:
      visit(Operand(node));
      if (next != nullptr && Opcode(next) == OP_BRANCH) visit(next);
      return;
    case OP_EMPTY:
    case OP_COMMENT:
    case OP_INPUT_START:
    case OP_INPUT_END:
    case OP_LINE_START:
    case OP_LINE_END:
    case OP_WORD_BOUNDARY:
    case OP_NOT_WORD_BOUNDARY:
    case OP_STAR:
    case OP_STAR_LAZY:
      break;
    case OP_BRACES:
    case OP_BRACES_LAZY:
      if (BracesMin(node) > 0) return;
      break;
    case OP_LITERAL:
    case OP_LITERAL_CI:
      if (LiteralText(node)[0] != 0) return;
      break;
    default:
      if (!IsOpen(op) && !IsClose(op)) return;
      break;
  }
  if (next != nullptr) visit(next);
}

// Every node a match may reach from the first one, operands of repeats included.
std::vector<std::uint32_t> ReachableNodes(const std::uint8_t* base, std::size_t size) {
  std::vector<std::uint32_t> nodes;
  std::vector<bool> seen(size, false);
  std::vector<const std::uint8_t*> pending{base + 1};
  const auto add = [&](const std::uint8_t* node) {
    if (node == nullptr) return;
    const auto offset = static_cast<std::size_t>(node - base);
    if (offset == 0 || offset >= size || seen[offset]) return;
    seen[offset] = true;
    pending.push_back(node);
  };
  seen[1] = true;
  while (!pending.empty()) {
    const std::uint8_t* node = pending.back();
    pending.pop_back();
    nodes.push_back(static_cast<std::uint32_t>(node - base));
    const std::uint8_t op = Opcode(node);
    if (op == OP_END) continue;
    add(NextNode(node));
    if (op == OP_BRANCH || op == OP_STAR || op == OP_PLUS || op == OP_STAR_LAZY ||
        op == OP_PLUS_LAZY) {
      add(Operand(node));
    } else if (op == OP_BRACES || op == OP_BRACES_LAZY) {
      add(BracesOperand(node));
    } else if (op == OP_LOOP || op == OP_LOOP_LAZY) {
      add(LoopBody(node));
    }
  }
  return nodes;
}

}  // namespace

FailedStates::FailedStates(const std::uint8_t* program, std::size_t size)
    : base_(program), size_(size), row_(size, -1) {
  if (size < 2) return;
  nodes_ = ReachableNodes(program, size);
  for (const std::uint32_t offset : nodes_) {
    const std::uint8_t* node = program + offset;
    const std::uint8_t op = Opcode(node);
    const std::uint8_t* next = NextNode(node);
    if (op == OP_BACKREF || op == OP_BACKREF_CI) hasBackrefs_ = true;
    if (op == OP_BRANCH && next != nullptr && Opcode(next) == OP_BRANCH) AddRow(node);
    if (IsRepeat(op) && next != nullptr) {
      AddRow(node);
      AddRow(next);
    }
    const std::uint8_t* exit = nullptr;
    if (op == OP_BRANCH && SingleWidthLoopItem(node, exit) != nullptr) AddRow(exit);
  }
  if (Usable()) FindGuardedRows();
}

void FailedStates::AddRow(const std::uint8_t* node) {
  const auto offset = static_cast<std::size_t>(node - base_);
  if (row_[offset] >= 0) return;
  row_[offset] = rows_++;
  rowNode_.push_back(static_cast<std::uint32_t>(offset));
}

// A loop guard can matter from a node when a loop (its guarded back step, or a counted loop)
// is reachable from it without consuming a character. Such steps all go forward in the
// program but for the loops themselves, so nodes are settled from the last to the first and
// repeated until nothing changes.
void FailedStates::FindGuardedRows() {
  std::vector<bool> reaches(size_, false);
  std::vector<std::uint32_t> order = nodes_;
  std::sort(order.rbegin(), order.rend());
  for (bool changed = true; changed;) {
    changed = false;
    for (const std::uint32_t offset : order) {
      if (reaches[offset]) continue;
      const std::uint8_t* node = base_ + offset;
      const std::uint8_t op = Opcode(node);
      bool found = op == OP_BACK || op == OP_LOOP_ENTRY || op == OP_LOOP || op == OP_LOOP_LAZY;
      ForEachEmptyStep(node, [&](const std::uint8_t* step) {
        const auto to = static_cast<std::size_t>(step - base_);
        found = found || (to < size_ && reaches[to]);
      });
      if (found) {
        reaches[offset] = true;
        changed = true;
      }
    }
  }
  guardMatters_.resize(rowNode_.size());
  for (std::size_t row = 0; row < rowNode_.size(); ++row) {
    guardMatters_[row] = reaches[rowNode_[row]];
  }
}

std::uint64_t FailedStates::BytesFor(std::uint32_t length) const {
  const std::uint64_t bits = static_cast<std::uint64_t>(rows_) * (std::uint64_t{length} + 1);
  return (bits + 63) / 64 * 8;
}

// Whole words of failed marks are passed over at once.
std::int64_t FailedStates::LastNotFailed(int row, std::uint32_t lo, std::uint32_t hi) const {
  if (lo > hi) return -1;
  const std::uint64_t first = Bit(row, lo);
  std::uint64_t bit = Bit(row, hi);
  for (;;) {
    const std::uint64_t word = ~bits_[bit >> 6];
    // Clear marks at or below `bit` in its word, and at or above `first`.
    std::uint64_t candidates = word & (~std::uint64_t{0} >> (63 - (bit & 63)));
    if ((first >> 6) == (bit >> 6)) candidates &= ~std::uint64_t{0} << (first & 63);
    if (candidates != 0) {
      const std::uint64_t found = (bit & ~std::uint64_t{63}) + 63 - std::countl_zero(candidates);
      return static_cast<std::int64_t>(lo + (found - first));
    }
    if ((bit >> 6) == (first >> 6)) return -1;
    bit = (bit & ~std::uint64_t{63}) - 1;
  }
}

std::int64_t FailedStates::FirstNotFailed(int row, std::uint32_t lo, std::uint32_t hi) const {
  if (lo > hi) return -1;
  std::uint64_t bit = Bit(row, lo);
  const std::uint64_t last = Bit(row, hi);
  for (;;) {
    const std::uint64_t word = ~bits_[bit >> 6];
    std::uint64_t candidates = word & (~std::uint64_t{0} << (bit & 63));
    if ((last >> 6) == (bit >> 6)) candidates &= ~std::uint64_t{0} >> (63 - (last & 63));
    if (candidates != 0) {
      const std::uint64_t found = (bit & ~std::uint64_t{63}) + std::countr_zero(candidates);
      return static_cast<std::int64_t>(hi - (last - found));
    }
    if ((bit >> 6) == (last >> 6)) return -1;
    bit = (bit | 63) + 1;
  }
}

void FailedStates::Start(std::uint32_t length) {
  width_ = std::uint64_t{length} + 1;
  bits_.assign(BytesFor(length) / 8, 0);
}

}  // namespace velmora::regex_program

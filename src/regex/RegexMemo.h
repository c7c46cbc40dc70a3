#pragma once

// FailedStates: the (node, position) pairs of one search whose every continuation failed, so
// that a backtracking search never explores the same state twice and patterns such as
// "(a+)+b" or "(a|aa)*c" stay linear in the input instead of exponential.
//
// Without back-references what can follow from a node at a position depends on nothing else
// but two things the matcher checks before it uses a pair: the counters of a counted loop
// (pairs are used outside counted loops only) and the guard that stops a loop iteration which
// consumed nothing (a pair is used while no guard stands at its position, or when no loop can
// be reached from the node without consuming a character). A failed pair so recorded fails
// again whatever path leads to it, so leaving it out changes no result, captures included.
//
// Pairs are kept for the nodes where paths meet: the alternations, single-character repeats
// and the node after them, and the exit of a greedy loop over a single-width node.

#include <cstdint>
#include <vector>

namespace velmora::regex_program {

class FailedStates {
 public:
  // Looks at the program (its first byte the magic byte); Usable() is false for a program
  // with back-references or without a node where paths meet.
  FailedStates(const std::uint8_t* program, std::size_t size);

  bool Usable() const { return rows_ > 0 && !hasBackrefs_; }
  // Bytes of memory Start(length) takes.
  std::uint64_t BytesFor(std::uint32_t length) const;
  // Clears the pairs for an input of `length` characters.
  void Start(std::uint32_t length);

  // The row of the node at a program offset, or -1 when its pairs are not kept.
  int Row(std::uint32_t offset) const { return offset < row_.size() ? row_[offset] : -1; }
  // Whether a loop guard can matter from the row's node: a loop is reachable from it without
  // consuming a character.
  bool GuardMatters(int row) const { return guardMatters_[static_cast<std::size_t>(row)]; }
  bool Failed(int row, std::uint32_t pos) const {
    const std::uint64_t bit = Bit(row, pos);
    return (bits_[bit >> 6] >> (bit & 63)) & 1u;
  }
  // The last (first) position in [lo, hi] of the row not marked failed, -1 when there is none.
  std::int64_t LastNotFailed(int row, std::uint32_t lo, std::uint32_t hi) const;
  std::int64_t FirstNotFailed(int row, std::uint32_t lo, std::uint32_t hi) const;
  void MarkFailed(int row, std::uint32_t pos) {
    const std::uint64_t bit = Bit(row, pos);
    bits_[bit >> 6] |= std::uint64_t{1} << (bit & 63);
  }

 private:
  std::uint64_t Bit(int row, std::uint32_t pos) const {
    return static_cast<std::uint64_t>(row) * width_ + pos;
  }
  void AddRow(const std::uint8_t* node);
  void FindGuardedRows();

  const std::uint8_t* base_;
  std::size_t size_;
  std::vector<int> row_;  // by program offset
  std::vector<std::uint32_t> rowNode_;
  std::vector<bool> guardMatters_;
  std::vector<std::uint32_t> nodes_;  // every reachable node, by offset
  int rows_ = 0;
  bool hasBackrefs_ = false;
  std::uint64_t width_ = 0;  // positions per row: the input length + 1
  std::vector<std::uint64_t> bits_;
};

}  // namespace velmora::regex_program

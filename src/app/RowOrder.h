#pragma once

// The sorted order of a run's rows, built while the rows arrive so that the end of a run (a Stop
// included) has little left to do. Each caption's collation key is made once; every few hundred
// rows the newest ones are sorted and merged with the runs before them of no greater size (a
// merge sort spread over the run). Equal captions keep the order they were added in.

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "ports/Locale.h"

namespace velmora {

class RowOrder {
 public:
  // Rows sorted together at a time before they are merged.
  static constexpr std::size_t kChunk = 256;

  // Starts an empty order with keys of the locale's case-sensitive collation.
  void Start(const Locale& locale);
  // Drops the order (also its keys); Active() is false until the next Start.
  void Clear();
  bool Active() const { return keys_ != nullptr; }
  // Adds the caption of the next row; rows are numbered from 0 in the order added.
  void Add(std::string_view caption);
  std::size_t Size() const { return order_.size(); }
  // The row numbers in sorted order. The order is cleared.
  std::vector<std::size_t> Finish();

 private:
  void SortNewRows();
  void MergeLastRuns();

  std::unique_ptr<SortKeys> keys_;
  std::vector<std::size_t> order_;
  // Ends of the sorted runs in order_, first to last; rows after the last end are unsorted.
  std::vector<std::size_t> runEnds_;
};

// The order of captions as RowOrder gives it, all at once.
std::vector<std::size_t> SortedOrder(const Locale& locale,
                                     const std::vector<std::string_view>& captions);

}  // namespace velmora

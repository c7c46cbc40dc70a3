#include "app/RowOrder.h"

#include <algorithm>

namespace velmora {

void RowOrder::Start(const Locale& locale) {
  Clear();
  keys_ = locale.NewSortKeys(false);
}

void RowOrder::Clear() {
  keys_.reset();
  order_.clear();
  runEnds_.clear();
}

void RowOrder::Add(std::string_view caption) {
  if (!keys_) return;
  keys_->Add(caption);
  order_.push_back(order_.size());
  const std::size_t sorted = runEnds_.empty() ? 0 : runEnds_.back();
  if (order_.size() - sorted < kChunk) return;
  SortNewRows();
  // Runs keep sizes that at least halve from first to last, so the end merges few of them.
  while (runEnds_.size() >= 2) {
    const std::size_t last = runEnds_.back() - runEnds_[runEnds_.size() - 2];
    const std::size_t before =
        runEnds_[runEnds_.size() - 2] - (runEnds_.size() >= 3 ? runEnds_[runEnds_.size() - 3] : 0);
    if (last < before) break;
    MergeLastRuns();
  }
}

std::vector<std::size_t> RowOrder::Finish() {
  if (keys_) {
    SortNewRows();
    while (runEnds_.size() >= 2) MergeLastRuns();
  }
  std::vector<std::size_t> order = std::move(order_);
  Clear();
  return order;
}

void RowOrder::SortNewRows() {
  const std::size_t sorted = runEnds_.empty() ? 0 : runEnds_.back();
  if (sorted == order_.size()) return;
  const auto less = [this](std::size_t a, std::size_t b) { return keys_->Less(a, b); };
  std::stable_sort(order_.begin() + static_cast<std::ptrdiff_t>(sorted), order_.end(), less);
  runEnds_.push_back(order_.size());
}

void RowOrder::MergeLastRuns() {
  // Neighbouring runs hold rows added one after the other, and a merge takes from the first
  // run on ties, so rows with equal captions stay in the order they were added.
  const auto at = [this](std::size_t i) { return order_.begin() + static_cast<std::ptrdiff_t>(i); };
  const std::size_t end = runEnds_.back();
  runEnds_.pop_back();
  const std::size_t middle = runEnds_.back();
  const std::size_t begin = runEnds_.size() >= 2 ? runEnds_[runEnds_.size() - 2] : 0;
  const auto less = [this](std::size_t a, std::size_t b) { return keys_->Less(a, b); };
  std::inplace_merge(at(begin), at(middle), at(end), less);
  runEnds_.back() = end;
}

std::vector<std::size_t> SortedOrder(const Locale& locale,
                                     const std::vector<std::string_view>& captions) {
  RowOrder order;
  order.Start(locale);
  for (std::string_view caption : captions) order.Add(caption);
  return order.Finish();
}

}  // namespace velmora

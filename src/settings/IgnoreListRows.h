#pragma once

// The rows of an ignore-list dialog's one-column list: one entry per row, as its caption, in
// the order they were loaded or added.

#include <string>
#include <vector>

#include "app/Controls.h"

namespace velmora {

// Replaces the rows by one row per entry.
void SetRowCaptions(TListView& list, const std::vector<std::string>& entries);
// The captions of the rows, in row order.
std::vector<std::string> RowCaptions(const TListView& list);
void AppendRow(TListView& list, const std::string& caption);
// Removes every selected row.
void DeleteSelectedRows(TListView& list);

}  // namespace velmora

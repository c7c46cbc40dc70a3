#include "settings/IgnoreListRows.h"

namespace velmora {

void SetRowCaptions(TListView& list, const std::vector<std::string>& entries) {
  list.Clear();
  for (const auto& entry : entries) AppendRow(list, entry);
}

std::vector<std::string> RowCaptions(const TListView& list) {
  std::vector<std::string> captions;
  for (const auto& item : list.Items) captions.push_back(item.Caption);
  return captions;
}

void AppendRow(TListView& list, const std::string& caption) {
  TListItem item;
  item.Caption = caption;
  list.Items.push_back(std::move(item));
}

void DeleteSelectedRows(TListView& list) {
  if (list.SelectedCount() == 0) return;
  std::erase_if(list.Items, [](const TListItem& item) { return item.Selected; });
  list.Touch();
}

}  // namespace velmora

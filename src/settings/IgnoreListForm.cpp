#include "settings/IgnoreListForm.h"

namespace velmora {

TIgnoreListForm::TIgnoreListForm(std::string caption, TMy_Registry& registry, std::string which,
                                 bool multiSelect)
    : TForm(std::move(caption), 0, 0), registry_(registry), which_(std::move(which)) {
  ListView1.Columns = {{which_, 300}};
  ListView1.MultiSelect = multiSelect;
  btn_ok.Caption = "Ok";
  btn_cancel.Caption = "Cancel";
}

void TIgnoreListForm::LoadRows() {
  ListView1.Clear();
  std::vector<std::string> entries;
  registry_.ReadIgnoreList(which_, entries);
  for (const auto& entry : entries) AppendRow(entry);
}

void TIgnoreListForm::AppendRow(const std::string& entry) {
  TListItem item;
  item.Caption = entry;
  ListView1.Items.push_back(std::move(item));
}

std::vector<std::string> TIgnoreListForm::Entries() const {
  std::vector<std::string> entries;
  for (const auto& item : ListView1.Items) entries.push_back(item.Caption);
  return entries;
}

void TIgnoreListForm::ListView1KeyDown(int key) {
  if (key != VK_DELETE || ListView1.SelectedCount() == 0) return;
  std::erase_if(ListView1.Items, [](const TListItem& item) { return item.Selected; });
  ListView1.Touch();
}

void TIgnoreListForm::WriteAndClose(const std::function<void()>& alsoWrite) {
  const auto entries = Entries();
  registry_.WriteTogether([&] {
    registry_.WriteIgnoreList(which_, entries);
    if (alsoWrite) alsoWrite();
  });
  CloseModal(ModalResult::Ok);
}

void TIgnoreListForm::btn_cancelClick() {
  CloseModal(ModalResult::Cancel);
}

}  // namespace velmora

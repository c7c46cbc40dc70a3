#include "modify/Un_Mod.h"

#include <algorithm>
#include <utility>

namespace velmora {

namespace {

std::string LineLabel(std::size_t index) {
  return "Line " + std::to_string(index + 1);
}

}  // namespace

// The client area of the dialog is 345 x 252.
Tfrm_mod::Tfrm_mod(const Locale& locale) : TForm("Choices Dialog", 345, 252), locale_(locale) {
  SrcLabel.Caption = "Found On :";
  DstLabel.Caption = "Marked To Change :";
  IncludeBtn.Caption = ">";
  IncAllBtn.Caption = ">>";
  ExcludeBtn.Caption = "<";
  ExAllBtn.Caption = "<<";
  OKBtn.Caption = "OK";
  CancelBtn.Caption = "Cancel";
  ExcludeBtn.Enabled = ExAllBtn.Enabled = false;
}

void Tfrm_mod::FormShow() {
  // Other search types have no intervals: the lists keep what they held last time.
  if (!Source.HasIntervals) return;
  SrcList.Items.clear();
  DstList.Items.clear();
  const auto& chosen = Source.Intervals;
  for (const std::size_t line : Source.LineNumbers) {
    const bool marked = std::find(chosen.begin(), chosen.end(), line) != chosen.end();
    Add(marked ? DstList : SrcList, TListBoxItem{LineLabel(line), false, line});
  }
  UpdateButtons();
}

void Tfrm_mod::Add(TListBox& list, TListBoxItem item) {
  auto& items = list.Items;
  auto at = items.end();
  // The sorted list inserts in the locale's text order, without case.
  if (&list == &SrcList) {
    at = std::find_if(items.begin(), items.end(), [&](const TListBoxItem& other) {
      return locale_.CompareStrings(other.Text, item.Text, true) > 0;
    });
  }
  item.Selected = false;
  items.insert(at, std::move(item));
}

void Tfrm_mod::Focus(TListBox& list) {
  SrcList.Focused = DstList.Focused = false;
  list.Focused = true;
}

void Tfrm_mod::MoveSelected(TListBox& from, TListBox& to) {
  auto& items = from.Items;
  const auto firstSelected =
      std::find_if(items.begin(), items.end(), [](const TListBoxItem& i) { return i.Selected; });
  const int first =
      firstSelected == items.end() ? -1 : static_cast<int>(firstSelected - items.begin());
  // Last to first, so a selected block arrives in reverse order.
  for (auto i = items.size(); i-- > 0;) {
    if (!items[i].Selected) continue;
    TListBoxItem item = std::move(items[i]);
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
    Add(to, std::move(item));
  }
  Focus(from);
  if (!items.empty()) {
    const int last = static_cast<int>(items.size()) - 1;
    const int select = first < 0 ? 0 : std::min(first, last);
    items[static_cast<std::size_t>(select)].Selected = true;
  }
  UpdateButtons();
}

void Tfrm_mod::MoveAll(TListBox& from, TListBox& to) {
  for (auto& item : from.Items) Add(to, std::move(item));
  from.Items.clear();
  Focus(from);
  UpdateButtons();
}

void Tfrm_mod::IncludeBtnClick() {
  MoveSelected(SrcList, DstList);
}
void Tfrm_mod::IncAllBtnClick() {
  MoveAll(SrcList, DstList);
}
void Tfrm_mod::ExcludeBtnClick() {
  MoveSelected(DstList, SrcList);
}
void Tfrm_mod::ExcAllBtnClick() {
  MoveAll(DstList, SrcList);
}

void Tfrm_mod::UpdateButtons() {
  IncludeBtn.Enabled = IncAllBtn.Enabled = !SrcList.Items.empty();
  ExcludeBtn.Enabled = ExAllBtn.Enabled = !DstList.Items.empty();
}

std::string Tfrm_mod::ModText() const {
  std::string text;
  for (const auto& item : DstList.Items) {
    if (!text.empty()) text += ',';
    text += std::to_string(item.Tag);
  }
  return text;
}

void Tfrm_mod::OKBtnClick() {
  if (Source.Results != nullptr) {
    const int row = Source.Results->SelectedIndex();
    if (row >= 0) {
      auto& subItems = Source.Results->Items[static_cast<std::size_t>(row)].SubItems;
      if (subItems.size() < 4) subItems.resize(4);
      subItems[3] = ModText();
      Source.Results->Touch();
    }
  }
  CloseModal(ModalResult::Ok);
}

}  // namespace velmora

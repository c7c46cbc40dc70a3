#include "app/Controls.h"

#include "engines/TextBuffer.h"

namespace velmora {

std::string TMemo::Text() const {
  std::string text;
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    if (i > 0) text += "\n";
    text += Lines[i];
  }
  if (FinalBreak) text += "\n";
  return text;
}

void TMemo::SetText(const std::string& text) {
  const std::vector<std::string_view> lines = SplitLines(text);
  Lines.assign(lines.begin(), lines.end());
  FinalBreak = EndsWithLineBreak(text);
}

int TListView::SelectedIndex() const {
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (Items[i].Selected) return static_cast<int>(i);
  return -1;
}

int TListView::SelectedCount() const {
  int count = 0;
  for (const auto& item : Items) count += item.Selected ? 1 : 0;
  return count;
}

void TListView::Clear() {
  Items.clear();
  ++Generation;
}

}  // namespace velmora

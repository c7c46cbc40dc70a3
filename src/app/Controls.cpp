#include "app/Controls.h"

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
  Lines.clear();
  FinalBreak = false;
  if (text.empty()) return;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      Lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  // A break at the very end gives no extra empty line.
  const char last = text.back();
  FinalBreak = last == '\r' || last == '\n';
  if (!FinalBreak) Lines.push_back(line);
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

#pragma once

// A titled group of radio buttons whose items can change at run time, with "no item chosen"
// as a possible state (index -1), like the radio groups of the controllers.

#include <QButtonGroup>
#include <QGroupBox>
#include <string>
#include <vector>

namespace velmora {

class RadioGroup : public QGroupBox {
 public:
  explicit RadioGroup(QWidget* parent = nullptr, int columns = 1);
  // Set before the items (a form file sets it when the group is made).
  void setColumns(int columns) { columns_ = columns; }

  // Rebuilds the buttons when the captions differ from the current ones.
  void SetItems(const std::vector<std::string>& items);
  void SetItemIndex(int index);
  int ItemIndex() const { return buttons_->checkedId(); }
  QButtonGroup* Buttons() const { return buttons_; }

 private:
  QButtonGroup* buttons_;
  std::vector<std::string> items_;
  int columns_;
};

}  // namespace velmora

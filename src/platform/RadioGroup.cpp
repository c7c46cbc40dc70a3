#include "platform/RadioGroup.h"

#include <QGridLayout>
#include <QRadioButton>

namespace velmora {

RadioGroup::RadioGroup(QWidget* parent, int columns)
    : QGroupBox(parent), buttons_(new QButtonGroup(this)), columns_(columns) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 2, 6, 2);
  grid->setVerticalSpacing(0);
}

void RadioGroup::SetItems(const std::vector<std::string>& items) {
  if (items == items_) return;
  const int index = ItemIndex();
  for (QAbstractButton* button : buttons_->buttons()) {
    buttons_->removeButton(button);
    delete button;
  }
  items_ = items;
  auto* grid = static_cast<QGridLayout*>(layout());
  const int rows = (static_cast<int>(items.size()) + columns_ - 1) / columns_;
  QWidget* previous = this;  // the buttons take the group's place in the tab order
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    auto* button =
        new QRadioButton(QString::fromStdString(items[static_cast<std::size_t>(i)]), this);
    button->setObjectName(objectName() + QString::number(i));
    buttons_->addButton(button, i);
    grid->addWidget(button, rows > 0 ? i % rows : 0, rows > 0 ? i / rows : 0);
    QWidget::setTabOrder(previous, button);
    previous = button;
  }
  SetItemIndex(index < static_cast<int>(items.size()) ? index : -1);
}

void RadioGroup::SetItemIndex(int index) {
  if (index == ItemIndex()) return;
  const QSignalBlocker block(buttons_);
  if (index < 0) {
    // An exclusive group cannot uncheck its checked button; lift that for the moment.
    buttons_->setExclusive(false);
    if (QAbstractButton* checked = buttons_->checkedButton()) checked->setChecked(false);
    buttons_->setExclusive(true);
    return;
  }
  if (QAbstractButton* button = buttons_->button(index)) button->setChecked(true);
}

}  // namespace velmora

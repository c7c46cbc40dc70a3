#include "platform/ResultModel.h"

#include <QIcon>

#include "platform/Binder.h"

namespace velmora {

int ResultModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

int ResultModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.Columns.size());
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
  const auto row = static_cast<std::size_t>(index.row());
  if (!index.isValid() || row >= list_.Items.size() || index.row() >= shown_) return {};
  const TListItem& item = list_.Items[row];
  const int column = index.column();
  if (role == Qt::DisplayRole) {
    if (column == 0) return ToQt(item.Caption);
    const auto sub = static_cast<std::size_t>(column - 1);
    return sub < item.SubItems.size() ? ToQt(item.SubItems[sub]) : QString();
  }
  if (role == Qt::DecorationRole && column == 0 && item.ImageIndex >= 0 &&
      static_cast<std::size_t>(item.ImageIndex) < images_.Icons.size()) {
    return icons_(images_.Icons[static_cast<std::size_t>(item.ImageIndex)]);
  }
  if (role == Qt::CheckStateRole && column == 0 && list_.Checkboxes)
    return item.Checked ? Qt::Checked : Qt::Unchecked;
  if (role == Qt::TextAlignmentRole && column == 3)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      static_cast<std::size_t>(section) >= list_.Columns.size())
    return {};
  return ToQt(list_.Columns[static_cast<std::size_t>(section)].Caption);
}

Qt::ItemFlags ResultModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.isValid() && index.column() == 0 && list_.Checkboxes) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

bool ResultModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0 || !list_.Checkboxes ||
      index.row() >= shown_ || !OnCheck)
    return false;
  OnCheck(index.row(), value.toInt() == Qt::Checked);
  return true;
}

bool ResultModel::Sync() {
  const int rows = static_cast<int>(list_.Items.size());
  if (generation_ != list_.Generation || rows < shown_) {
    beginResetModel();
    generation_ = list_.Generation;
    shown_ = rows;
    endResetModel();
    return true;
  }
  if (rows > shown_) {
    beginInsertRows(QModelIndex(), shown_, rows - 1);
    shown_ = rows;
    endInsertRows();
  }
  if (shown_ > 0) emit dataChanged(index(0, 0), index(shown_ - 1, columnCount() - 1));
  return false;
}

}  // namespace velmora

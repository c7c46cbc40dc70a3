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
  return false;
}

}  // namespace velmora

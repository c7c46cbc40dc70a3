#pragma once

// A report list as a table model over a controller's TListView rows, so a list of 100,000
// rows costs no widget per row. Sync() brings the model up to the rows: appended rows are
// inserted, anything else (sort, removal, edits, a new run) resets the model. Rows of a list
// with check boxes show them; a toggle goes to OnCheck, which changes the row.

#include <QAbstractTableModel>
#include <cstdint>
#include <functional>

#include "app/Controls.h"

namespace velmora {

class ResultModel : public QAbstractTableModel {
 public:
  using IconLookup = std::function<QIcon(const IconHandle&)>;

  ResultModel(const TListView& list, const TImageList& images, IconLookup icons,
              QObject* parent = nullptr)
      : QAbstractTableModel(parent), list_(list), images_(images), icons_(std::move(icons)) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  std::function<void(int row, bool checked)> OnCheck;

  // True when the model was reset (the view's selection must be rebuilt); otherwise the rows
  // shown are redrawn, as their texts or check boxes may have changed in place.
  bool Sync();
  // True when rows were removed or reordered since the last Sync: the rows shown are not the
  // controller's rows any more.
  bool Stale() const {
    return generation_ != list_.Generation || static_cast<int>(list_.Items.size()) < shown_;
  }

 private:
  const TListView& list_;
  const TImageList& images_;
  IconLookup icons_;
  int shown_ = 0;
  std::uint64_t generation_ = 0;
};

}  // namespace velmora

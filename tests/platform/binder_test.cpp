// The list bindings every dialog reuses, and modal windows shown by controller type.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QTreeView>

#include "app/Form.h"
#include "doubles/ScriptedDialogs.h"
#include "platform/Binder.h"
#include "platform/QtForms.h"
#include "platform/ResultModel.h"

namespace velmora {
namespace {

class ListForm : public TForm {
 public:
  ListForm() : TForm("Lists", 0, 0) {}
  TListBox Box;
  TListView Report;
  TImageList Images;
};

class BinderListTest : public ::testing::Test {
 protected:
  testing::ScriptedDialogs dialogs;
  ListForm form;
  Binder binder{dialogs, form};
};

TEST_F(BinderListTest, ListBoxShowsItemsAndTakesTheUsersSelection) {
  QListWidget widget;
  int changes = 0;
  binder.Bind(&widget, form.Box, [&] { ++changes; });
  form.Box.Items = {{"Line 1", false}, {"Line 2", true}, {"Line 10", false}};
  binder.Push();
  ASSERT_EQ(widget.count(), 3);
  EXPECT_EQ(widget.item(2)->text(), QStringLiteral("Line 10"));
  EXPECT_TRUE(widget.item(1)->isSelected());
  EXPECT_EQ(widget.selectionMode(), QAbstractItemView::ExtendedSelection);

  widget.item(0)->setSelected(true);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(form.Box.Items[0].Selected && form.Box.Items[1].Selected);

  // The controller reorders and refocuses: the widget follows.
  form.Box.Items = {{"Line 10", true}};
  form.Box.Focused = true;
  binder.Push();
  ASSERT_EQ(widget.count(), 1);
  EXPECT_TRUE(widget.item(0)->isSelected());
  EXPECT_FALSE(form.Box.Focused);
}

TEST_F(BinderListTest, CheckableReportRowsShowAndTakeTheirCheckBoxes) {
  QTreeView view;
  std::vector<int> checked;
  std::vector<int> selected;
  form.Report.Columns = {{"Name", 100}, {"Path", 100}};
  form.Report.Checkboxes = true;
  form.Report.Items = {{"a.bak", {"/x/"}, -1, false, true}, {"b.bak", {"/y/"}, -1, false, false}};
  ResultModel* model = binder.Bind(
      &view, form.Report, form.Images, [](const IconHandle&) { return QIcon(); },
      {[&](int row, bool) { selected.push_back(row); }, [&](int row) { checked.push_back(row); }});
  binder.Push();
  ASSERT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->index(0, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(model->index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
  EXPECT_EQ(model->index(1, 1).data().toString(), QStringLiteral("/y/"));

  EXPECT_TRUE(model->setData(model->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
  EXPECT_FALSE(form.Report.Items[0].Checked);
  EXPECT_EQ(checked, std::vector<int>{0});

  // A check set by the controller reaches the view without a reset.
  form.Report.Items[1].Checked = true;
  binder.Push();
  EXPECT_EQ(model->index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);

  view.selectionModel()->select(model->index(1, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  EXPECT_TRUE(form.Report.Items[1].Selected);
  EXPECT_EQ(selected, std::vector<int>{1});
}

TEST(QtFormsTest, AWindowWithoutAViewIsAnErrorNotASilentNothing) {
  testing::ScriptedDialogs dialogs;
  QtForms forms(dialogs);
  ListForm form;
  EXPECT_THROW(forms.ShowModal(form), std::logic_error);
}

}  // namespace
}  // namespace velmora

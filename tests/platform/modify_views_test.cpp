// The line chooser and the backup manager in real widgets, offscreen: every control is
// announced under its caption or label, and the moves, OK and Restore run through the widgets.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QListWidget>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "doubles/TempFolder.h"
#include "modify/Un_BackUp_Manager.h"
#include "modify/Un_Mod.h"
#include "platform/ModalViewFixture.h"
#include "platform/ModifyViews.h"
#include "platform/QtShell.h"

namespace velmora {
namespace {

using testing::Names;

class ModifyViewsTest : public testing::ModalViewFixture {
 protected:
  void SetUp() override { RegisterModifyViews(forms, shell); }

  static std::vector<std::string> Texts(QListWidget* list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i) texts.push_back(list->item(i)->text().toStdString());
    return texts;
  }

  QtShell shell;
};

TEST_F(ModifyViewsTest, ChooserMovesLinesAndWritesTheRowsModText) {
  TListView results;
  results.Items = {{"a.txt", {"/t/", "", "", "No"}, -1, true}};
  Tfrm_mod chooser(locale);
  chooser.Source = {true, {0, 1, 9}, {0, 1, 9}, &results};
  const ModalResult answer = Show(chooser, [&](QWidget& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Choices Dialog");
    ExpectNames(d, {{"SrcList", "Found On :"},
                    {"DstList", "Marked To Change :"},
                    {"IncludeBtn", ">"},
                    {"IncAllBtn", ">>"},
                    {"ExcludeBtn", "<"},
                    {"ExAllBtn", "<<"},
                    {"OKBtn", "OK"},
                    {"CancelBtn", "Cancel"}});
    auto* src = Find<QListWidget>(d, "SrcList");
    auto* dst = Find<QListWidget>(d, "DstList");
    EXPECT_EQ(Texts(dst), (std::vector<std::string>{"Line 1", "Line 2", "Line 10"}));
    EXPECT_FALSE(Find(d, "IncludeBtn")->isEnabled());
    Find(d, "ExAllBtn")->click();
    EXPECT_EQ(Texts(src), (std::vector<std::string>{"Line 1", "Line 10", "Line 2"}));
    EXPECT_FALSE(Find(d, "ExcludeBtn")->isEnabled());
    src->clearSelection();
    src->item(0)->setSelected(true);
    src->item(2)->setSelected(true);
    Find(d, "IncludeBtn")->click();
    EXPECT_EQ(Texts(dst), (std::vector<std::string>{"Line 2", "Line 1"}));
    Find(d, "OKBtn")->click();
    EXPECT_FALSE(d.isVisible());
  });
  EXPECT_EQ(answer, ModalResult::Ok);
  EXPECT_EQ(results.Items[0].SubItems[3], "1,0");
}

TEST_F(ModifyViewsTest, BackupManagerRestoresATickedRow) {
  const testing::TempFolder temp;
  const auto root = temp.Path();
  const std::string file = (root / "notes.txt").string();
  std::ofstream(file) << "new";
  std::ofstream(file + ".bak") << "old";
  registry.AddBackups({file + ".bak"});
  TFrm_BackUp_Manager manager({registry, shell, dialogs, folders});
  Show(manager, [&](QWidget& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "BackUp Manager");
    ExpectNames(d, {{"ListView1", "Backups"},
                    {"btn_select", "Select All"},
                    {"btn_restore", "Restore"},
                    {"btn_restore_to", "Restore to..."},
                    {"btn_delete", "Delete"}});
    auto* list = Find<QTreeView>(d, "ListView1");
    QAbstractItemModel* model = list->model();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString().toStdString(), "Path");
    EXPECT_EQ(model->index(0, 0).data().toString().toStdString(), "notes.txt.bak");
    EXPECT_EQ(model->index(0, 1).data().toString().toStdString(), root.string() + "/");
    model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    Find(d, "btn_restore")->click();
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_FALSE(Find(d, "btn_restore")->isEnabled());
  });
  EXPECT_EQ(testing::ReadWholeFile(file), "old");
  EXPECT_FALSE(std::filesystem::exists(file + ".bak"));
}

}  // namespace
}  // namespace velmora

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

#include "doubles/FakeKnownFolders.h"
#include "doubles/ScriptedDialogs.h"
#include "modify/Un_BackUp_Manager.h"
#include "modify/Un_Mod.h"
#include "platform/ModifyViews.h"
#include "platform/QtForms.h"
#include "platform/QtShell.h"
#include "settings/MemoryKeyStore.h"

namespace velmora {
namespace {

using Names = std::vector<std::pair<const char*, const char*>>;

class ModifyViewsTest : public ::testing::Test {
 protected:
  static RegistryEnvironment Environment() {
    RegistryEnvironment env;
    env.home_folder = "/home/user/";
    env.find_program = [](const std::string&) { return std::string(); };
    return env;
  }
  void SetUp() override { RegisterModifyViews(forms, shell); }

  // Shows `form` modally; `play` runs inside the dialog's event loop.
  ModalResult Show(TForm& form, const std::function<void(QWidget&)>& play) {
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      play(*dialog);
      if (QApplication::activeModalWidget() == dialog) dialog->close();
    });
    return forms.ShowModal(form);
  }
  static void ExpectNames(QWidget& dialog, const Names& names) {
    for (const auto& [object, name] : names) {
      auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(object));
      ASSERT_NE(widget, nullptr) << object;
      QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
      ASSERT_NE(face, nullptr) << object;
      EXPECT_EQ(face->text(QAccessible::Name).toStdString(), name) << object;
    }
  }
  template <class Widget = QAbstractButton>
  static Widget* Find(QWidget& dialog, const char* name) {
    return dialog.findChild<Widget*>(QString::fromLatin1(name));
  }
  static std::vector<std::string> Texts(QListWidget* list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i) texts.push_back(list->item(i)->text().toStdString());
    return texts;
  }

  MemoryKeyStore keys;
  FixedLocale locale;
  TMy_Registry registry{keys, locale, Environment()};
  testing::ScriptedDialogs dialogs;
  testing::FakeKnownFolders folders;
  QtShell shell;
  QtForms forms{dialogs};
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
  const auto root =
      std::filesystem::temp_directory_path() / ("velmora-views-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root);
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
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
  EXPECT_FALSE(std::filesystem::exists(file + ".bak"));
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace velmora

// The dialogs in real widgets, offscreen: every control a user can reach is announced by a
// name, and the handlers run through the widgets.

#include <QCheckBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeView>
#include <filesystem>

#include "app/AboutBox.h"
#include "doubles/RecordingShell.h"
#include "doubles/TempFolder.h"
#include "modify/Un_BackUp_Manager.h"
#include "modify/Un_Copy_Msg.h"
#include "modify/Un_Mod.h"
#include "modify/Un_Rename_Files.h"
#include "modify/Un_Rename_Msg.h"
#include "platform/ModalViewFixture.h"
#include "platform/ModifyViews.h"
#include "platform/NumberSpinEdit.h"
#include "platform/QtShell.h"
#include "platform/Views.h"
#include "settings/Un_Option.h"
#include "settings/Un_Settings.h"
#include "settings/Un_ignore_file.h"
#include "settings/Un_ignore_path.h"

namespace velmora::testing {
namespace {

using Strings = std::vector<std::string>;

class DialogViewsTest : public ModalViewFixture {
 protected:
  void SetUp() override {
    RegisterViews(forms);
    RegisterModifyViews(forms, shell);
  }
  static Strings Texts(QListWidget* list) {
    Strings texts;
    for (int i = 0; i < list->count(); ++i) texts.push_back(list->item(i)->text().toStdString());
    return texts;
  }
  Strings IgnoreList(const char* which) {
    Strings list;
    registry.ReadIgnoreList(which, list);
    return list;
  }

  TempFolder temp;
  QtShell shell;
  RecordingShell recording;
};

TEST_F(DialogViewsTest, AboutBoxLinkOpensTheGuide) {
  TAboutBox about;
  int helps = 0;
  about.OnHelp = [&helps] { ++helps; };
  Show(about, [&](QWidget& d) {
    ExpectEveryControlNamed(d);
    emit Find<QLabel>(d, "HelpLink")->linkActivated(QStringLiteral("help"));
    Click(d, "OKButton");
    EXPECT_FALSE(d.isVisible());
  });
  EXPECT_EQ(helps, 1);
}

TEST_F(DialogViewsTest, ChooserMovesLinesAndWritesTheRowsModText) {
  TListView results;
  results.Items = {{"a.txt", {"/t/", "", "", "No"}, -1, true}};
  Tfrm_mod chooser(locale);
  chooser.Source = {true, {0, 1, 9}, {0, 1, 9}, &results};
  const ModalResult answer = Show(chooser, [&](QWidget& d) {
    ExpectEveryControlNamed(d);
    auto* src = Find<QListWidget>(d, "SrcList");
    auto* dst = Find<QListWidget>(d, "DstList");
    EXPECT_EQ(Texts(dst), (Strings{"Line 1", "Line 2", "Line 10"}));
    EXPECT_FALSE(Find(d, "IncludeBtn")->isEnabled());
    Find(d, "ExAllBtn")->click();
    EXPECT_EQ(Texts(src), (Strings{"Line 1", "Line 10", "Line 2"}));
    EXPECT_FALSE(Find(d, "ExcludeBtn")->isEnabled());
    src->clearSelection();
    src->item(0)->setSelected(true);
    src->item(2)->setSelected(true);
    Find(d, "IncludeBtn")->click();
    EXPECT_EQ(Texts(dst), (Strings{"Line 2", "Line 1"}));
    Find(d, "OKBtn")->click();
    EXPECT_FALSE(d.isVisible());
  });
  EXPECT_EQ(answer, ModalResult::Ok);
  EXPECT_EQ(results.Items[0].SubItems[3], "1,0");
}

TEST_F(DialogViewsTest, BackupManagerRestoresATickedRow) {
  const std::string file = temp / "notes.txt";
  WriteWholeFile(file, "new");
  WriteWholeFile(file + ".bak", "old");
  registry.AddBackups({file + ".bak"});
  TFrm_BackUp_Manager manager({registry, shell, dialogs, folders});
  Show(manager, [&](QWidget& d) {
    ExpectEveryControlNamed(d);
    QAbstractItemModel* model = Find<QTreeView>(d, "ListView1")->model();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->index(0, 0).data().toString().toStdString(), "notes.txt.bak");
    EXPECT_EQ(model->index(0, 1).data().toString().toStdString(), temp.Root() + "/");
    model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    Find(d, "btn_restore")->click();
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_FALSE(Find(d, "btn_restore")->isEnabled());
  });
  EXPECT_EQ(ReadWholeFile(file), "old");
  EXPECT_FALSE(std::filesystem::exists(file + ".bak"));
}

TEST_F(DialogViewsTest, OptionDialogChecksItsNumbersAndSavesThroughTheWidgets) {
  Tfrm_option option(registry, dialogs, locale);
  Show(option, [&](QWidget& d) {
    ExpectEveryControlNamed(d);
    auto* edit1 = Find<NumberSpinEdit>(d, "Edit1");
    EXPECT_EQ(edit1->Text(), QStringLiteral("1"));  // below the spin range, shown as stored
    EXPECT_FALSE(edit1->isEnabled());
    Click(d, "CheckBox10");
    Click(d, "RadioButton2");
    EXPECT_TRUE(edit1->isEnabled());
    EXPECT_FALSE(Find<QDateEdit>(d, "DateTimePicker1")->isEnabled());
    edit1->SetText(QStringLiteral("abc"));
    Click(d, "Button3");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "'abc' is not a valid integer value");
    EXPECT_TRUE(d.isVisible());
    edit1->stepBy(1);  // no number: the spin buttons start from their lowest step
    EXPECT_EQ(edit1->Text(), QStringLiteral("2"));
    Click(d, "Button3");
    EXPECT_FALSE(d.isVisible());
  });
  EXPECT_EQ(registry.ReadInt("DaysAgoSpinEdit"), 2);
  EXPECT_TRUE(registry.ReadBool("Days"));
}

TEST_F(DialogViewsTest, SettingsDialogEditsTheIgnoreListsInTheirDialogs) {
  Tfrm_settings settings(registry, dialogs, forms, folders);
  registry.WriteIgnoreList("Path", {"/a/", "/b/"});
  dialogs.inputs = {"*.o"};
  const auto answer = Show(settings, [&](QWidget& d) {
    ExpectEveryControlNamed(d);
    EXPECT_FALSE(Find(d, "btn_edt_lst")->isEnabled());
    Click(d, "is_ignoredir");
    Click(d, "is_ignore_files");
    ASSERT_TRUE(Find(d, "btn_edt_lst")->isEnabled());
    WhenShown(&d, [&](QWidget& list) {
      ExpectEveryControlNamed(list);
      auto* view = Find<QTreeView>(list, "ListView1");
      ASSERT_EQ(view->model()->rowCount(), 2);
      view->setCurrentIndex(view->model()->index(0, 0));
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
      QApplication::sendEvent(view, &press);
      EXPECT_EQ(view->model()->rowCount(), 1);
      Click(list, "btn_ok");
    });
    Click(d, "btn_edt_lst");
    WhenShown(&d, [&](QWidget& masks) {
      ExpectEveryControlNamed(masks);
      Click(masks, "btn_mask");
      EXPECT_EQ(Find<QTreeView>(masks, "ListView1")->model()->rowCount(), 1);
      Click(masks, "btn_ok");
    });
    Click(d, "btn_edit_list_1");
    Find<QLineEdit>(d, "edt_editor")->setText(QStringLiteral("/usr/bin/vi"));
    Click(d, "btn_ok");
  });
  EXPECT_EQ(answer, ModalResult::Ok);
  EXPECT_EQ(IgnoreList("Path"), Strings{"/b/"});
  EXPECT_EQ(IgnoreList("Mask"), Strings{"*.o"});
  EXPECT_EQ(registry.ReadStr("Editor"), "/usr/bin/vi");
}

TEST_F(DialogViewsTest, CopyQuestionAndRenameErrorSetTheAnswerOfTheButtonPressed) {
  TCopyAnswer copy;
  Tfrm_copy_msg question(copy);
  question.lbl_msg.Caption = "/../t/a.txt\n\ralready exist !!!";
  Show(question, [&](QWidget& d) {
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
    ExpectEveryControlNamed(d);
    EXPECT_TRUE(Find<QLabel>(d, "lbl_msg")->text().startsWith("/../t/a.txt"));
    Click(d, "btn_yestoall");
    EXPECT_FALSE(d.isVisible());
  });
  EXPECT_TRUE(copy.yestoall);
  EXPECT_FALSE(copy.yes || copy.skip || copy.cancel);

  TRenameAnswer rename;
  TFrm_Rename_msg error(rename);
  error.lbl_msg.Caption = "Cannot rename /../t/b.txt:";
  Show(error, [&](QWidget& d) {
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
    ExpectEveryControlNamed(d);
    Click(d, "btn_cancel");
    EXPECT_FALSE(d.isVisible());
  });
  EXPECT_TRUE(rename.cancel);
  EXPECT_FALSE(rename.skip);
}

TEST_F(DialogViewsTest, RenameDialogEnablesItsFieldsAndRenamesThroughTheWidgets) {
  temp.File("a.txt", "a");
  TListView results;
  results.Items = {{"a.txt", {temp.Root() + "/", "", "", "No"}, -1, true}};
  TImageList images;
  Tfrm_ren_files dialog({recording, dialogs, forms});
  dialog.Source = {&results, &images, {}};
  Show(dialog, [&](QWidget& d) {
    EXPECT_TRUE(d.windowFlags() & Qt::WindowCloseButtonHint);
    ExpectEveryControlNamed(d);
    QWidget* first = Find<QWidget>(d, "Edt_first");
    EXPECT_FALSE(first->isEnabled() || Find<QWidget>(d, "Edt_ext")->isEnabled());
    Find<QCheckBox>(d, "Check_Rem")->click();
    EXPECT_TRUE(first->isEnabled() && Find<QWidget>(d, "Edt_num")->isEnabled());
    Find<QCheckBox>(d, "Check_Rem")->click();
    Find<QLineEdit>(d, "edt_prefix")->setText(QStringLiteral("new_"));
    Click(d, "Button2");
    EXPECT_TRUE(d.isVisible());  // stays open for another run
    Click(d, "Button3");
    EXPECT_FALSE(d.isVisible());
  });
  EXPECT_EQ(results.Items[0].Caption, "new_a.txt");
  EXPECT_TRUE(std::filesystem::exists(temp / "new_a.txt"));
  EXPECT_EQ(dialog.edt_prefix.Text, "new_");  // kept for the next opening
}

}  // namespace
}  // namespace velmora::testing

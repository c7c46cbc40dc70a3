// The dialogs of the file commands in real widgets, offscreen: every control is announced
// under its caption or label, and the buttons answer through the widgets.

#include <gtest/gtest.h>

#include <unistd.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>
#include <fstream>

#include "doubles/RecordingShell.h"
#include "modify/Un_Copy_Msg.h"
#include "modify/Un_Rename_Files.h"
#include "modify/Un_Rename_Msg.h"
#include "platform/ModalViewFixture.h"
#include "platform/ModifyViews.h"
#include "platform/QtShell.h"

namespace velmora {
namespace {

class FileCommandsViewsTest : public testing::ModalViewFixture {
 protected:
  void SetUp() override { RegisterModifyViews(forms, shell); }
  QtShell shell;
};

TEST_F(FileCommandsViewsTest, CopyQuestionSetsTheAnswerOfTheButtonPressed) {
  TCopyAnswer answer;
  Tfrm_copy_msg question(answer);
  question.lbl_msg.Caption = "/../t/a.txt\n\ralready exist !!!";
  Show(question, [&](QWidget& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Copy Files");
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
    ExpectNames(d, {{"Label1", "Do you want to replace it ?"},
                    {"btn_yes", "Yes"},
                    {"btn_yestoall", "Yes to All"},
                    {"btn_skip", "Skip"},
                    {"btn_cancel", "Cancel"}});
    EXPECT_TRUE(Find<QLabel>(d, "lbl_msg")->text().startsWith("/../t/a.txt"));
    Click(d, "btn_yestoall");
    EXPECT_FALSE(d.isVisible());
  });
  EXPECT_TRUE(answer.yestoall);
  EXPECT_FALSE(answer.yes || answer.skip || answer.cancel);
}

TEST_F(FileCommandsViewsTest, RenameDialogEnablesItsFieldsAndRenamesThroughTheWidgets) {
  const auto root =
      std::filesystem::temp_directory_path() / ("velmora-rename-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root);
  std::ofstream(root / "a.txt") << "a";
  TListView results;
  results.Items = {{"a.txt", {root.string() + "/", "", "", "No"}, -1, true}};
  TImageList images;
  testing::RecordingShell recording;
  Tfrm_ren_files dialog({recording, dialogs, forms});
  dialog.Source = {&results, &images, {}};
  Show(dialog, [&](QWidget& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Rename Files");
    EXPECT_TRUE(d.windowFlags() & Qt::WindowCloseButtonHint);
    ExpectNames(d, {{"edt_prefix", "Add Prefix :"},
                    {"edt_sufix", "Add Sufix :"},
                    {"Check_Rem", "Remove :"},
                    {"Edt_first", "First Position :"},
                    {"Edt_num", "Number :"},
                    {"Check_ext", "New Extension :"},
                    {"Edt_ext", "New Extension :"},
                    {"Button1", "Clear Commands"},
                    {"Button2", "Rename"},
                    {"Button3", "Exit"}});
    QWidget* first = Find<QWidget>(d, "Edt_first");
    EXPECT_FALSE(first->isEnabled());
    EXPECT_FALSE(Find<QWidget>(d, "Edt_ext")->isEnabled());
    Find<QCheckBox>(d, "Check_Rem")->click();
    EXPECT_TRUE(first->isEnabled());
    EXPECT_TRUE(Find<QWidget>(d, "Edt_num")->isEnabled());
    Find<QCheckBox>(d, "Check_Rem")->click();
    Find<QLineEdit>(d, "edt_prefix")->setText(QStringLiteral("new_"));
    Click(d, "Button2");
    EXPECT_TRUE(d.isVisible());  // stays open for another run
    Click(d, "Button3");
    EXPECT_FALSE(d.isVisible());
  });
  EXPECT_EQ(results.Items[0].Caption, "new_a.txt");
  EXPECT_TRUE(std::filesystem::exists(root / "new_a.txt"));
  EXPECT_EQ(dialog.edt_prefix.Text, "new_");  // kept for the next opening
  std::filesystem::remove_all(root);
}

TEST_F(FileCommandsViewsTest, RenameErrorDialogSetsCancel) {
  TRenameAnswer answer;
  TFrm_Rename_msg error(answer);
  error.lbl_msg.Caption = "Cannot rename /../t/b.txt:";
  Show(error, [&](QWidget& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Error Renaming File");
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
    ExpectNames(d, {{"lbl_msg", "Cannot rename /../t/b.txt:"},
                    {"btn_skip", "Skip"},
                    {"btn_cancel", "Cancel"}});
    Click(d, "btn_cancel");
    EXPECT_FALSE(d.isVisible());
  });
  EXPECT_TRUE(answer.cancel);
  EXPECT_FALSE(answer.skip);
}

}  // namespace
}  // namespace velmora

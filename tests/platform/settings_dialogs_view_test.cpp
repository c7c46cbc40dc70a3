// The Option, Settings and ignore-list dialogs in real widgets, offscreen: every control is
// announced under its caption or label, and a few handlers run through the widgets.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "platform/ModalViewFixture.h"
#include "platform/NumberSpinEdit.h"
#include "platform/SettingsViews.h"
#include "settings/Un_Option.h"
#include "settings/Un_Settings.h"
#include "settings/Un_ignore_file.h"
#include "settings/Un_ignore_path.h"

namespace velmora {
namespace {

using testing::Names;

class SettingsViewsTest : public testing::ModalViewFixture {
 protected:
  void SetUp() override { RegisterSettingsViews(forms); }
};

TEST_F(SettingsViewsTest, OptionDialog) {
  Tfrm_option option(registry, dialogs, locale);
  Show(option, [&](QWidget& d) {
    ExpectNames(d, {{"CheckBox1", "Include Subfolders : For searching files and erasing backups "},
                    {"CheckBox3", "Use Modification Intervals for Listed Files"},
                    {"CheckBox6", "\".\" Matches Line Separators Too"},
                    {"CheckBox9", "Search within Each Single Line"},
                    {"CheckBox10", "File Date"},
                    {"CrLfCheckBox", "Write CR LF after every line"},
                    {"RadioButton1", "Between"},
                    {"RadioButton2", "Newer than"},
                    {"DateTimePicker1", "Last Modified :"},
                    {"DateTimePicker2", "and"},
                    {"Edit1", "days ago"},
                    {"RadioButton3", "Minimum"},
                    {"Edit2", "Size :"},
                    {"ComboBox1", "KB"},  // a drop-down list is announced by its chosen item
                    {"Button1", "Default"},
                    {"Button3", "Exit"}});
    auto* edit1 = Find<NumberSpinEdit>(d, "Edit1");
    EXPECT_EQ(edit1->Text(), QStringLiteral("1"));  // below the spin range, shown as stored
    EXPECT_FALSE(edit1->isEnabled());
    EXPECT_EQ(Find<QDateEdit>(d, "DateTimePicker1")->displayFormat(), QStringLiteral("yyyy-MM-dd"));
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

TEST_F(SettingsViewsTest, SettingsDialogOpensTheDirectoryList) {
  Tfrm_settings settings(registry, dialogs, forms, folders);
  registry.WriteIgnoreList("Path", {"/a/", "/b/"});
  const auto answer = Show(settings, [&](QWidget& d) {
    ExpectNames(d, {{"edt_editor", "Editor:"},
                    {"btn_browse", "Browse"},
                    {"is_ignoredir", "Ignore Directories"},
                    {"btn_edt_lst", "Edit List"},
                    {"is_ignore_files", "Ignore Files"},
                    {"btn_ok", "Ok"},
                    {"btn_cancel", "Cancel"}});
    EXPECT_FALSE(Find(d, "btn_edt_lst")->isEnabled());
    Click(d, "is_ignoredir");
    ASSERT_TRUE(Find(d, "btn_edt_lst")->isEnabled());
    WhenShown(&d, [&](QWidget& shown) {
      QWidget* list = &shown;
      ExpectNames(*list, {{"ListView1", "Input one ful path perline."},
                          {"CheckBox1", "Ignore Subfolder Too"},
                          {"btn_browse", "Browse"},
                          {"btn_ok", "Ok"}});
      auto* view = Find<QTreeView>(*list, "ListView1");
      ASSERT_EQ(view->model()->rowCount(), 2);
      view->setCurrentIndex(view->model()->index(0, 0));
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
      QApplication::sendEvent(view, &press);
      EXPECT_EQ(view->model()->rowCount(), 1);
      Click(*list, "btn_ok");
    });
    Click(d, "btn_edt_lst");
    Find<QLineEdit>(d, "edt_editor")->setText(QStringLiteral("/usr/bin/vi"));
    Click(d, "btn_ok");
  });
  EXPECT_EQ(answer, ModalResult::Ok);
  std::vector<std::string> list;
  registry.ReadIgnoreList("Path", list);
  EXPECT_EQ(list, std::vector<std::string>{"/b/"});
  EXPECT_EQ(registry.ReadStr("Editor"), "/usr/bin/vi");
}

TEST_F(SettingsViewsTest, FileIgnoreListAddsAMask) {
  TFrm_file_ignor masks(registry, dialogs);
  dialogs.inputs = {"*.o"};
  Show(masks, [&](QWidget& d) {
    ExpectNames(d, {{"ListView1", "Enter one mask per line"},
                    {"btn_mask", " Mask"},
                    {"btn_ok", "Ok"},
                    {"btn_cancel", "Cancel"}});
    Click(d, "btn_mask");
    EXPECT_EQ(Find<QTreeView>(d, "ListView1")->model()->rowCount(), 1);
    Click(d, "btn_ok");
  });
  std::vector<std::string> list;
  registry.ReadIgnoreList("Mask", list);
  EXPECT_EQ(list, std::vector<std::string>{"*.o"});
}

}  // namespace
}  // namespace velmora

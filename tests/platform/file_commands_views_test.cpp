// The dialogs of the file commands in real widgets, offscreen: every control is announced
// under its caption or label, and the buttons answer through the widgets.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>

#include "modify/Un_Copy_Msg.h"
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

}  // namespace
}  // namespace velmora

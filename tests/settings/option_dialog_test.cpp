// The Option dialog through its handlers: loading, the enabling rules, "Default", the checks
// and the save when it closes.

#include "settings/DialogTestSupport.h"
#include "settings/Un_Option.h"

namespace velmora::testing {
namespace {

class OptionDialogTest : public DialogTest {
 protected:
  Tfrm_option& Show() {
    dialog.FormShow();
    return dialog;
  }
  Tfrm_option dialog{registry, dialogs, locale};
};

// The enabled state of the groups the rules move together, in the order CheckBox8, date,
// pickers, day count, size: "x" when a group is split.
std::string Enabling(const Tfrm_option& w) {
  const auto all = [](std::initializer_list<bool> states) {
    const bool first = *states.begin();
    for (bool s : states)
      if (s != first) return std::string("x");
    return std::string(first ? "1" : "0");
  };
  return all({w.CheckBox8.Enabled}) +
         all({w.Label1.Enabled, w.Label2.Enabled, w.Label4.Enabled, w.RadioButton1.Enabled,
              w.RadioButton2.Enabled}) +
         all({w.DateTimePicker1.Enabled, w.DateTimePicker2.Enabled}) + all({w.Edit1.Enabled}) +
         all({w.Label3.Enabled, w.RadioButton3.Enabled, w.RadioButton4.Enabled, w.Edit2.Enabled,
              w.ComboBox1.Enabled});
}

// Plays the clicks one letter each: d(ate box), n(ewer than), b(etween), s(ize box),
// l(ines box), D(efault).
void Click(Tfrm_option& w, const std::string& clicks) {
  for (const char c : clicks) {
    TCheckBox& box = c == 'd' ? w.CheckBox10 : c == 's' ? w.CheckBox11 : w.CheckBox9;
    if (c == 'd' || c == 's' || c == 'l') box.Checked = !box.Checked;
    const auto click = c == 'n'   ? &Tfrm_option::RadioButton2Click
                       : c == 'b' ? &Tfrm_option::RadioButton1Click
                       : c == 'D' ? &Tfrm_option::Button1Click
                       : c == 'd' ? &Tfrm_option::CheckBox10Click
                       : c == 's' ? &Tfrm_option::CheckBox11Click
                                  : &Tfrm_option::CheckBox9Click;
    (w.*click)();
  }
}

TEST_F(OptionDialogTest, EnablingRulesHoldAfterEveryHandler) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "00000"},     {"l", "10000"},   {"d", "01100"}, {"dn", "01010"}, {"dnd", "00000"},
      {"dndd", "01010"}, {"dnb", "01100"}, {"b", "00000"}, {"s", "00001"},  {"ldsD", "00000"},
  };
  for (const auto& [clicks, expected] : cases) {
    Click(Show(), clicks);
    EXPECT_EQ(Enabling(dialog), expected) << '"' << clicks << '"';
  }
  SetOptions({{"Date", "1"}, {"BetweenRadioButton", "0"}, {"Days", "1"}});
  EXPECT_EQ(Enabling(Show()), "01010") << "loaded with Newer than";
}

TEST_F(OptionDialogTest, EveryControlIsSavedAndLoadedUnderItsName) {
  Tfrm_option& w = Show();
  // Every box but the right trim is toggled, so two swapped names show.
  for (TCheckBox* box :
       {&w.CheckBox1, &w.CheckBox2, &w.CheckBox3, &w.CheckBox4, &w.CheckBox6, &w.CheckBox7,
        &w.CheckBox8, &w.CheckBox9, &w.CheckBox10, &w.CheckBox11, &w.CrLfCheckBox})
    box->Checked = !box->Checked;
  w.RadioButton2Click();
  w.RadioButton4Click();
  w.DateTimePicker1.Date = EncodeDate(2025, 1, 2) + EncodeTime(23, 59, 0);
  w.DateTimePicker2.Date = EncodeDate(2025, 3, 4);
  w.Edit1.Text = "7";
  w.Edit2.Text = "300";
  w.ComboBox1.ItemIndex = 1;
  const int saves = keys.saves;
  w.Button3Click();
  EXPECT_EQ(w.ModalAnswer, ModalResult::Ok);
  EXPECT_EQ(keys.saves, saves + 1);  // one save for the whole dialog
  EXPECT_TRUE(HasOptions(
      "IncludeSubdirectoriesCheckBox=0 CreateBackupCheckBox=0 PhraseXPCheckBox=1 "
      "TrimLeftCheckBox=0 TrimRightCheckBox=1 ExpPointCheckBox=1 ExpSpaceCheckBox=1 "
      "ModifyXPCheckBox=1 RegExprXPCheckBox=1 Date=1 BetweenRadioButton=0 Days=1 "
      "DaysAgoSpinEdit=7 MinDateTimePicker=2025-01-02 MaxDateTimePicker=2025-03-04 Size=1 "
      "MinimumRadioButton=0 MaximumRadioButton=1 SizeSpinEdit=300 KBComboBox=1 CrLfCheckBox=1"));

  Tfrm_option other(registry, dialogs, locale);
  other.FormShow();
  EXPECT_TRUE(other.CheckBox8.Checked && other.CheckBox9.Checked && other.CrLfCheckBox.Checked);
  EXPECT_FALSE(other.CheckBox1.Checked || other.RadioButton1.Checked || other.RadioButton3.Checked);
  EXPECT_EQ(other.DateTimePicker1.Date, EncodeDate(2025, 1, 2));
  EXPECT_EQ(other.Edit2.Text, "300");
  EXPECT_EQ(other.ComboBox1.ItemIndex, 1);
}

// "Default" resets the check boxes only and leaves the store to "Exit".
TEST_F(OptionDialogTest, DefaultResetsTheCheckBoxesOnlyAndWritesNothing) {
  SetOptions({{"CrLfCheckBox", "1"}});
  Tfrm_option& w = Show();
  w.RadioButton2Click();
  w.Edit1.Text = "9";
  const auto changes = keys.tree.ChangeCount();
  const int saves = keys.saves;
  w.Button1Click();
  EXPECT_FALSE(w.CrLfCheckBox.Checked);
  EXPECT_TRUE(w.RadioButton2.Checked);
  EXPECT_EQ(w.Edit1.Text, "9");
  EXPECT_EQ(keys.tree.ChangeCount(), changes);
  EXPECT_EQ(keys.saves, saves);
}

// "Exit" refuses an upper date before the lower one, whether or not the filter is on; the
// close box saves without the check.
TEST_F(OptionDialogTest, ExitChecksTheDatesTheCloseBoxDoesNot) {
  for (const bool dateFilter : {false, true}) {
    for (const bool reversed : {true, false}) {  // a refused Exit saves nothing
      dialogs.messages.clear();
      Tfrm_option& w = Show();
      w.CheckBox10.Checked = dateFilter;
      w.CheckBox10Click();
      w.DateTimePicker1.Date = EncodeDate(2026, 5, 10);
      w.DateTimePicker2.Date = EncodeDate(2026, 5, reversed ? 9 : 10);
      w.Button3Click();
      const std::string label = std::to_string(dateFilter) + std::to_string(reversed);
      EXPECT_EQ(w.ModalAnswer, reversed ? ModalResult::None : ModalResult::Ok) << label;
      EXPECT_TRUE(HasOptions(dateFilter && !reversed ? "Date=1" : "Date=0")) << label;
      ASSERT_EQ(dialogs.messages.size(), reversed ? 1u : 0u) << label;
      if (reversed) {
        EXPECT_EQ(dialogs.messages[0].text, "Invalid Time Limit");
        EXPECT_EQ(dialogs.messages[0].kind, MsgKind::Warning);
      }
    }
  }
  dialog.DateTimePicker2.Date = EncodeDate(2026, 5, 1);
  EXPECT_TRUE(dialog.FormCloseQuery());
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_TRUE(HasOptions("MinDateTimePicker=2026-05-10 MaxDateTimePicker=2026-05-01"));
}

// The values before the field that does not convert are saved; the dialog stays open.
TEST_F(OptionDialogTest, ANumberThatDoesNotConvertKeepsTheDialogOpen) {
  Tfrm_option& w = Show();
  w.Edit1.Text = "5";
  w.CheckBox11.Checked = w.CrLfCheckBox.Checked = true;
  w.Edit2.Text = "";
  EXPECT_FALSE(w.FormCloseQuery());
  w.Button3Click();
  EXPECT_EQ(w.ModalAnswer, ModalResult::None);
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text, "'' is not a valid integer value");
  EXPECT_EQ(dialogs.messages[0].kind, MsgKind::Error);
  EXPECT_TRUE(HasOptions("DaysAgoSpinEdit=5 Size=1 SizeSpinEdit=1 CrLfCheckBox=0"));
}

TEST_F(OptionDialogTest, ASaveTheStoreRefusesIsShownAndTheDialogCloses) {
  Tfrm_option& w = Show();
  w.CheckBox2.Checked = false;
  keys.refuseSaves = true;
  w.Button3Click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Cannot save the settings file: disk full");
  EXPECT_EQ(w.ModalAnswer, ModalResult::Ok);
  EXPECT_TRUE(HasOptions("CreateBackupCheckBox=0"));  // kept for the store's next save
}

}  // namespace
}  // namespace velmora::testing

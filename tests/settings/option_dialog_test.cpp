// The Option dialog through its handlers: loading, the enabling rules, "Default", the checks
// and the order of the save when it closes.

#include <functional>

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

// The enabled state of the groups that the rules move together: "x" when a group is split.
std::string Enabling(const Tfrm_option& w) {
  const auto all = [](std::initializer_list<bool> states) {
    bool first = *states.begin();
    for (bool s : states)
      if (s != first) return std::string("x");
    return std::string(first ? "1" : "0");
  };
  return "8=" + all({w.CheckBox8.Enabled}) + " date=" +
         all({w.Label1.Enabled, w.Label2.Enabled, w.Label4.Enabled, w.RadioButton1.Enabled,
              w.RadioButton2.Enabled}) +
         " pick=" + all({w.DateTimePicker1.Enabled, w.DateTimePicker2.Enabled}) +
         " e1=" + all({w.Edit1.Enabled}) + " size=" +
         all({w.Label3.Enabled, w.RadioButton3.Enabled, w.RadioButton4.Enabled, w.Edit2.Enabled,
              w.ComboBox1.Enabled});
}

void Toggle(TCheckBox& box, void (Tfrm_option::*click)(), Tfrm_option& w) {
  box.Checked = !box.Checked;
  (w.*click)();
}

TEST_F(OptionDialogTest, EnablingRulesHoldAfterEveryHandler) {
  using Act = std::function<void(Tfrm_option&)>;
  const Act date = [](Tfrm_option& w) { Toggle(w.CheckBox10, &Tfrm_option::CheckBox10Click, w); };
  const Act newer = [](Tfrm_option& w) { w.RadioButton2Click(); };
  const Act between = [](Tfrm_option& w) { w.RadioButton1Click(); };
  const Act size = [](Tfrm_option& w) { Toggle(w.CheckBox11, &Tfrm_option::CheckBox11Click, w); };
  const Act lines = [](Tfrm_option& w) { Toggle(w.CheckBox9, &Tfrm_option::CheckBox9Click, w); };
  const Act reset = [](Tfrm_option& w) { w.Button1Click(); };
  const Act reload = [this](Tfrm_option& w) {
    SetOption("Date", "1");
    SetOption("BetweenRadioButton", "0");
    SetOption("Days", "1");
    w.FormShow();
    SetOption("Date", "0");
    SetOption("Days", "0");
    SetOption("BetweenRadioButton", "1");
  };
  struct Case {
    const char* what;
    std::vector<Act> acts;
    const char* expected;
  };
  const Case cases[] = {
      {"first run", {}, "8=0 date=0 pick=0 e1=0 size=0"},
      {"single lines on", {lines}, "8=1 date=0 pick=0 e1=0 size=0"},
      {"date on with Between", {date}, "8=0 date=1 pick=1 e1=0 size=0"},
      {"Newer than", {date, newer}, "8=0 date=1 pick=0 e1=1 size=0"},
      {"date off", {date, newer, date}, "8=0 date=0 pick=0 e1=0 size=0"},
      {"date on again", {date, newer, date, date}, "8=0 date=1 pick=0 e1=1 size=0"},
      {"back to Between", {date, newer, between}, "8=0 date=1 pick=1 e1=0 size=0"},
      {"Between while date off", {between}, "8=0 date=0 pick=0 e1=0 size=0"},
      {"size on", {size}, "8=0 date=0 pick=0 e1=0 size=1"},
      {"Default", {lines, date, size, reset}, "8=0 date=0 pick=0 e1=0 size=0"},
      {"loaded with Newer than", {reload}, "8=0 date=1 pick=0 e1=1 size=0"},
  };
  for (const auto& c : cases) {
    Tfrm_option& w = Show();
    for (const auto& act : c.acts) act(w);
    EXPECT_EQ(Enabling(w), c.expected) << c.what;
  }
}

TEST_F(OptionDialogTest, EveryControlIsSavedAndLoadedUnderItsName) {
  Tfrm_option& w = Show();
  EXPECT_EQ(w.Edit1.Text, "1");  // the first-run day count, below the spin buttons' range
  EXPECT_EQ(w.DateTimePicker1.Format, locale.ShortDateFormat());
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
  const std::pair<const char*, const char*> stored[] = {
      {"IncludeSubdirectoriesCheckBox", "0"},
      {"CreateBackupCheckBox", "0"},
      {"PhraseXPCheckBox", "1"},
      {"TrimLeftCheckBox", "0"},
      {"TrimRightCheckBox", "1"},
      {"ExpPointCheckBox", "1"},
      {"ExpSpaceCheckBox", "1"},
      {"ModifyXPCheckBox", "1"},
      {"RegExprXPCheckBox", "1"},
      {"Date", "1"},
      {"BetweenRadioButton", "0"},
      {"Days", "1"},
      {"DaysAgoSpinEdit", "7"},
      {"MinDateTimePicker", "2025-01-02"},
      {"MaxDateTimePicker", "2025-03-04"},
      {"Size", "1"},
      {"MinimumRadioButton", "0"},
      {"MaximumRadioButton", "1"},
      {"SizeSpinEdit", "300"},
      {"KBComboBox", "1"},
      {"CrLfCheckBox", "1"},
  };
  for (const auto& [name, text] : stored) EXPECT_EQ(Option(name), text) << name;

  Tfrm_option other(registry, dialogs, locale);
  other.FormShow();
  EXPECT_TRUE(other.CheckBox8.Checked && other.CheckBox9.Checked && other.CrLfCheckBox.Checked);
  EXPECT_FALSE(other.CheckBox1.Checked || other.RadioButton1.Checked || other.RadioButton3.Checked);
  EXPECT_EQ(other.DateTimePicker1.Date, EncodeDate(2025, 1, 2));
  EXPECT_EQ(other.Edit2.Text, "300");
  EXPECT_EQ(other.ComboBox1.ItemIndex, 1);
}

TEST_F(OptionDialogTest, DefaultResetsTheCheckBoxesOnlyAndWritesNothing) {
  SetOption("RegExprXPCheckBox", "1");
  SetOption("ModifyXPCheckBox", "1");
  SetOption("CrLfCheckBox", "1");
  Tfrm_option& w = Show();
  w.CheckBox1.Checked = false;
  w.CheckBox6.Checked = true;
  w.RadioButton2Click();
  w.RadioButton4Click();
  w.Edit1.Text = "9";
  w.ComboBox1.ItemIndex = 1;
  const TDateTime lower = w.DateTimePicker1.Date;
  const int saves = keys.saves;
  w.Button1Click();
  EXPECT_TRUE(w.CheckBox1.Checked && w.CheckBox2.Checked && w.CheckBox4.Checked &&
              w.CheckBox5.Checked);
  EXPECT_FALSE(w.CheckBox3.Checked || w.CheckBox6.Checked || w.CheckBox7.Checked ||
               w.CheckBox8.Checked || w.CheckBox9.Checked || w.CheckBox10.Checked ||
               w.CheckBox11.Checked || w.CrLfCheckBox.Checked);
  EXPECT_FALSE(w.CheckBox8.Enabled);
  EXPECT_TRUE(w.RadioButton2.Checked && w.RadioButton4.Checked);
  EXPECT_EQ(w.Edit1.Text, "9");
  EXPECT_EQ(w.ComboBox1.ItemIndex, 1);
  EXPECT_EQ(w.DateTimePicker1.Date, lower);
  EXPECT_EQ(keys.saves, saves);
  EXPECT_EQ(Option("CrLfCheckBox"), "1");
}

TEST_F(OptionDialogTest, ExitChecksTheDatesWhetherOrNotTheFilterIsOn) {
  struct Case {
    bool dateFilter;
    bool upperBeforeLower;
  };
  for (const Case c :
       {Case{false, false}, Case{false, true}, Case{true, true}, Case{true, false}}) {
    dialogs.messages.clear();
    Tfrm_option& w = Show();
    w.CheckBox10.Checked = c.dateFilter;
    w.CheckBox10Click();
    w.DateTimePicker1.Date = EncodeDate(2026, 5, 10);
    w.DateTimePicker2.Date = EncodeDate(2026, 5, c.upperBeforeLower ? 9 : 10);
    const int saves = keys.saves;
    w.Button3Click();
    const std::string label = std::to_string(c.dateFilter) + std::to_string(c.upperBeforeLower);
    if (c.upperBeforeLower) {
      ASSERT_EQ(dialogs.messages.size(), 1u) << label;
      EXPECT_EQ(dialogs.messages[0].text, "Invalid Time Limit");
      EXPECT_EQ(dialogs.messages[0].kind, MsgKind::Warning);
      EXPECT_EQ(w.ModalAnswer, ModalResult::None) << label;
      EXPECT_EQ(keys.saves, saves) << label;
      EXPECT_EQ(Option("Date"), "0") << label;
    } else {
      EXPECT_TRUE(dialogs.messages.empty()) << label;
      EXPECT_EQ(w.ModalAnswer, ModalResult::Ok) << label;
      EXPECT_EQ(Option("Date"), c.dateFilter ? "1" : "0") << label;
    }
  }
}

TEST_F(OptionDialogTest, TheCloseBoxSkipsTheDateCheckAndSaves) {
  Tfrm_option& w = Show();
  w.DateTimePicker1.Date = EncodeDate(2026, 5, 10);
  w.DateTimePicker2.Date = EncodeDate(2026, 5, 1);
  EXPECT_TRUE(w.FormCloseQuery());
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Option("MinDateTimePicker"), "2026-05-10");
  EXPECT_EQ(Option("MaxDateTimePicker"), "2026-05-01");
}

TEST_F(OptionDialogTest, ANumberThatDoesNotConvertStopsTheSaveThereAndKeepsTheDialogOpen) {
  using Values = std::vector<std::pair<const char*, const char*>>;
  struct Case {
    TEdit Tfrm_option::*field;
    const char* text;
    Values stored;  // what the store holds afterwards: the dialog's values before the field,
                    // the first-run values from the field on
  };
  const Case cases[] = {
      {&Tfrm_option::Edit1, "abc",
       Values{{"IncludeSubdirectoriesCheckBox", "0"},
              {"Days", "1"},
              {"DaysAgoSpinEdit", "1"},
              {"MinDateTimePicker", "2026-12-06"},
              {"Size", "0"},
              {"SizeSpinEdit", "1"},
              {"CrLfCheckBox", "0"}}},
      {&Tfrm_option::Edit2, "",
       Values{{"Days", "1"},
              {"DaysAgoSpinEdit", "5"},
              {"MinDateTimePicker", "2020-01-01"},
              {"Size", "1"},
              {"MaximumRadioButton", "1"},
              {"SizeSpinEdit", "1"},
              {"KBComboBox", "0"},
              {"CrLfCheckBox", "0"}}},
  };
  for (const auto& c : cases) {
    CountingKeyStore store;
    TMy_Registry fresh(store, locale, TestEnvironment());
    ScriptedDialogs answers;
    Tfrm_option w(fresh, answers, locale);
    w.FormShow();
    w.CheckBox1.Checked = false;
    w.RadioButton2Click();
    w.RadioButton4Click();
    w.CheckBox11.Checked = w.CrLfCheckBox.Checked = true;
    w.DateTimePicker1.Date = EncodeDate(2020, 1, 1);
    w.Edit1.Text = "5";
    w.Edit2.Text = "6";
    w.ComboBox1.ItemIndex = 1;
    (w.*c.field).Text = c.text;
    const int saves = store.saves;
    EXPECT_FALSE(w.FormCloseQuery()) << c.text;
    w.Button3Click();
    EXPECT_EQ(w.ModalAnswer, ModalResult::None) << c.text;
    ASSERT_EQ(answers.messages.size(), 2u);
    EXPECT_EQ(answers.messages[0].text,
              "'" + std::string(c.text) + "' is not a valid integer value");
    EXPECT_EQ(store.saves, saves + 2) << "what was written before the error is saved";
    store.tree.OpenKey("Software\\Velmora\\Option", false);
    for (const auto& [name, text] : c.stored) EXPECT_EQ(store.tree.ReadString(name), text) << name;
  }
}

TEST_F(OptionDialogTest, ASaveTheStoreRefusesIsShownAndTheDialogCloses) {
  Tfrm_option& w = Show();
  w.CheckBox2.Checked = false;
  keys.refuseSaves = true;
  w.Button3Click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Cannot save the settings file: disk full");
  EXPECT_EQ(w.ModalAnswer, ModalResult::Ok);
  EXPECT_EQ(Option("CreateBackupCheckBox"), "0");  // kept for the store's next save
}

}  // namespace
}  // namespace velmora::testing

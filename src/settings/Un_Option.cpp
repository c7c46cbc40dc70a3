#include "settings/Un_Option.h"

#include <stdexcept>

namespace velmora {

namespace {

constexpr const char* kInvalidTimeLimit = "Invalid Time Limit";

// The check boxes that are saved as plain booleans, in the order they are saved, with the
// states "Default" gives them (CheckBox10 and CheckBox11 follow later in the save).
struct StoredCheck {
  TCheckBox Tfrm_option::*box;
  const char* name;
  bool byDefault;
};
constexpr StoredCheck kStoredChecks[] = {
    {&Tfrm_option::CheckBox1, "IncludeSubdirectoriesCheckBox", true},
    {&Tfrm_option::CheckBox2, "CreateBackupCheckBox", true},
    {&Tfrm_option::CheckBox3, "PhraseXPCheckBox", false},
    {&Tfrm_option::CheckBox4, "TrimLeftCheckBox", true},
    {&Tfrm_option::CheckBox5, "TrimRightCheckBox", true},
    {&Tfrm_option::CheckBox6, "ExpPointCheckBox", false},
    {&Tfrm_option::CheckBox7, "ExpSpaceCheckBox", false},
    {&Tfrm_option::CheckBox8, "ModifyXPCheckBox", false},
    {&Tfrm_option::CheckBox9, "RegExprXPCheckBox", false},
};

constexpr const char* kCrLfOption = "CrLfCheckBox";

}  // namespace

Tfrm_option::Tfrm_option(TMy_Registry& registry, Dialogs& dialogs, const Locale& locale)
    : TForm("Option", 0, 0), registry_(registry), dialogs_(dialogs) {
  CheckBox1.Caption = "Include Subfolders : For searching files and erasing backups ";
  CheckBox2.Caption =
      "Create Backups : If ON you can use undo but can't search files with the \".bak\" "
      "extension at the Search and Replace tab";
  CheckBox1.Checked = CheckBox2.Checked = CheckBox4.Checked = CheckBox5.Checked = true;
  GroupBox1.Caption = "Phrase";
  CheckBox3.Caption = "Use Modification Intervals for Listed Files";
  GroupBox2.Caption = "Multiline";
  CheckBox4.Caption = "Ignore Leading Space";
  CheckBox5.Caption = "Ignore Trailing Space";
  GroupBox3.Caption = "Regular Expresion";
  CheckBox6.Caption = "\".\" Matches Line Separators Too";
  CheckBox7.Caption = "Ignore Whitespace in Reg Expr";
  CheckBox9.Caption = "Search within Each Single Line";
  CheckBox8.Caption = "Use Modification Intervals for Listed Files";
  CheckBox10.Caption = "File Date";
  Label1.Caption = "Last Modified :";
  RadioButton1.Caption = "Between";
  RadioButton1.Checked = true;
  Label2.Caption = "and";
  RadioButton2.Caption = "Newer than";
  Edit1.Text = "2";
  UpDown1.Min = 2;
  UpDown1.Max = 100;
  Label4.Caption = "days ago";
  CheckBox11.Caption = "File Size";
  Label3.Caption = "Size :";
  RadioButton3.Caption = "Minimum";
  RadioButton4.Caption = "Maximum";
  RadioButton4.Checked = true;
  Edit2.Text = "2";
  UpDown2.Min = 2;
  UpDown2.Max = 1024;
  ComboBox1.Items = {"KB", "MB"};
  ComboBox1.ItemIndex = 0;
  CrLfCheckBox.Caption = "Write CR LF after every line";
  Button1.Caption = "Default";
  Button3.Caption = "Exit";
  DateTimePicker1.Format = DateTimePicker2.Format = locale.ShortDateFormat();
  ApplyEnablingRules();
}

// Selecting a button of a pair deselects the other; deselecting selects nothing else.
void Tfrm_option::SelectRadio(TRadioButton& button, TRadioButton& other, bool selected) {
  button.Checked = selected;
  if (selected) other.Checked = false;
}

// Every click rule of the dialog, as a function of the check boxes and radio buttons.
void Tfrm_option::ApplyEnablingRules() {
  CheckBox8.Enabled = CheckBox9.Checked;
  const bool date = CheckBox10.Checked;
  Label1.Enabled = Label2.Enabled = Label4.Enabled = date;
  RadioButton1.Enabled = RadioButton2.Enabled = date;
  DateTimePicker1.Enabled = DateTimePicker2.Enabled = date && RadioButton1.Checked;
  Edit1.Enabled = UpDown1.Enabled = date && RadioButton2.Checked;
  const bool size = CheckBox11.Checked;
  Label3.Enabled = RadioButton3.Enabled = RadioButton4.Enabled = size;
  Edit2.Enabled = UpDown2.Enabled = ComboBox1.Enabled = size;
}

void Tfrm_option::FormShow() {
  ModalAnswer = ModalResult::None;
  for (const auto& check : kStoredChecks)
    (this->*check.box).Checked = registry_.ReadBool(check.name);
  CheckBox10.Checked = registry_.ReadBool("Date");
  SelectRadio(RadioButton1, RadioButton2, registry_.ReadBool("BetweenRadioButton"));
  DateTimePicker1.Date = registry_.ReadDate("MinDateTimePicker");
  DateTimePicker2.Date = registry_.ReadDate("MaxDateTimePicker");
  SelectRadio(RadioButton2, RadioButton1, registry_.ReadBool("Days"));
  Edit1.Text = IntToStr(registry_.ReadInt("DaysAgoSpinEdit"));
  CheckBox11.Checked = registry_.ReadBool("Size");
  SelectRadio(RadioButton3, RadioButton4, registry_.ReadBool("MinimumRadioButton"));
  SelectRadio(RadioButton4, RadioButton3, registry_.ReadBool("MaximumRadioButton"));
  Edit2.Text = IntToStr(registry_.ReadInt("SizeSpinEdit"));
  const int unit = registry_.ReadInt("KBComboBox");
  ComboBox1.ItemIndex = unit >= 0 && unit < static_cast<int>(ComboBox1.Items.size()) ? unit : -1;
  CrLfCheckBox.Checked = registry_.ReadBool(kCrLfOption);
  ApplyEnablingRules();
}

void Tfrm_option::CheckBox9Click() {
  ApplyEnablingRules();
}

void Tfrm_option::CheckBox10Click() {
  ApplyEnablingRules();
}

void Tfrm_option::CheckBox11Click() {
  ApplyEnablingRules();
}

void Tfrm_option::RadioButton1Click() {
  SelectRadio(RadioButton1, RadioButton2, true);
  ApplyEnablingRules();
}

void Tfrm_option::RadioButton2Click() {
  SelectRadio(RadioButton2, RadioButton1, true);
  ApplyEnablingRules();
}

void Tfrm_option::RadioButton3Click() {
  SelectRadio(RadioButton3, RadioButton4, true);
}

void Tfrm_option::RadioButton4Click() {
  SelectRadio(RadioButton4, RadioButton3, true);
}

void Tfrm_option::Button1Click() {
  for (const auto& check : kStoredChecks) (this->*check.box).Checked = check.byDefault;
  CheckBox10.Checked = false;
  CheckBox11.Checked = false;
  CrLfCheckBox.Checked = false;
  ApplyEnablingRules();
}

void Tfrm_option::Button3Click() {
  if (DateOf(DateTimePicker2.Date) < DateOf(DateTimePicker1.Date)) {
    dialogs_.MessageBox(kInvalidTimeLimit, Caption, MsgKind::Warning, MsgButtons::Ok);
    return;
  }
  CloseModal(ModalResult::Ok);
}

bool Tfrm_option::FormCloseQuery() {
  try {
    registry_.WriteTogether([this] { Save(); });
  } catch (const EConvertError& error) {
    ShowError(error.what());
    return false;
  } catch (const std::runtime_error& error) {
    ShowError(error.what());
  }
  return true;
}

void Tfrm_option::Save() {
  for (const auto& check : kStoredChecks)
    registry_.WriteBool(check.name, (this->*check.box).Checked);
  registry_.WriteBool("Date", CheckBox10.Checked);
  registry_.WriteBool("BetweenRadioButton", RadioButton1.Checked);
  registry_.WriteBool("Days", RadioButton2.Checked);
  registry_.WriteInt("DaysAgoSpinEdit", StrToInt(Edit1.Text));
  registry_.WriteDate("MinDateTimePicker", DateTimePicker1.Date);
  registry_.WriteDate("MaxDateTimePicker", DateTimePicker2.Date);
  registry_.WriteBool("Size", CheckBox11.Checked);
  registry_.WriteBool("MinimumRadioButton", RadioButton3.Checked);
  registry_.WriteBool("MaximumRadioButton", RadioButton4.Checked);
  registry_.WriteInt("SizeSpinEdit", StrToInt(Edit2.Text));
  registry_.WriteInt("KBComboBox", ComboBox1.ItemIndex);
  registry_.WriteBool(kCrLfOption, CrLfCheckBox.Checked);
}

void Tfrm_option::ShowError(const std::string& text) {
  dialogs_.MessageBox(text, Caption, MsgKind::Error, MsgButtons::Ok);
}

}  // namespace velmora

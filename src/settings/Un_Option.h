#pragma once

// Tfrm_option: the Option dialog as a controller. It edits the search and modification
// options in the settings store: every control is loaded from the store when the dialog is
// shown and written back, in one save, when it closes. The enabling rules of the date and size
// groups hold after every handler. Opened modally from the main window's "Project" menu.

#include <string>

#include "app/Controls.h"
#include "app/Form.h"
#include "ports/Dialogs.h"
#include "ports/Locale.h"
#include "settings/Un_MyRegistry.h"

namespace velmora {

class Tfrm_option : public TForm {
 public:
  // The registry, dialogs and locale must outlive the dialog.
  Tfrm_option(TMy_Registry& registry, Dialogs& dialogs, const Locale& locale);

  TCheckBox CheckBox1;
  TCheckBox CheckBox2;
  TGroupBox GroupBox1;
  TCheckBox CheckBox3;
  TGroupBox GroupBox2;
  TCheckBox CheckBox4;
  TCheckBox CheckBox5;
  TGroupBox GroupBox3;
  TCheckBox CheckBox6;
  TCheckBox CheckBox7;
  TGroupBox GroupBox4;
  TCheckBox CheckBox9;
  TCheckBox CheckBox8;
  TGroupBox GroupBox5;
  TCheckBox CheckBox10;
  TLabel Label1;
  TRadioButton RadioButton1;
  TDateTimePicker DateTimePicker1;
  TLabel Label2;
  TDateTimePicker DateTimePicker2;
  TRadioButton RadioButton2;
  TEdit Edit1;
  TUpDown UpDown1;
  TLabel Label4;
  TGroupBox GroupBox6;
  TCheckBox CheckBox11;
  TLabel Label3;
  TRadioButton RadioButton3;
  TRadioButton RadioButton4;
  TEdit Edit2;
  TUpDown UpDown2;
  TDropDownList ComboBox1;
  // Modified files end every line with CR LF ("CrLfCheckBox"); off keeps each line's break.
  TCheckBox CrLfCheckBox;
  TButton Button1;
  TButton Button3;

  // Load: every control from the store.
  void FormShow() override;
  void CheckBox9Click();
  void CheckBox10Click();
  void CheckBox11Click();
  void RadioButton1Click();
  void RadioButton2Click();
  void RadioButton3Click();
  void RadioButton4Click();
  // "Default": the check boxes back to their first-run states; nothing else changes.
  void Button1Click();
  // "Exit": "Invalid Time Limit" when the upper date is before the lower one (whether or not
  // the date filter is on), else the dialog closes.
  void Button3Click();
  // Closing, by "Exit" or by the close box: Save. False keeps the dialog open: a number field
  // that does not hold a decimal integer stops the save there (what was written before it
  // stays written) and its conversion error is shown. A save the store cannot make is shown
  // too, and the dialog closes; the values stay in the store for its next save.
  bool FormCloseQuery() override;

 private:
  void SelectRadio(TRadioButton& button, TRadioButton& other, bool selected);
  void ApplyEnablingRules();
  void Save();
  void ShowError(const std::string& text);

  TMy_Registry& registry_;
  Dialogs& dialogs_;
};

}  // namespace velmora

#include "platform/SettingsViews.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

#include "platform/NumberSpinEdit.h"
#include "platform/QtForms.h"
#include "settings/Un_Option.h"
#include "settings/Un_Settings.h"
#include "settings/Un_ignore_file.h"
#include "settings/Un_ignore_path.h"
#include "ui_Frm_file_ignor.h"
#include "ui_frm_ignorepath.h"
#include "ui_frm_option.h"
#include "ui_frm_settings.h"

namespace velmora {

namespace {

// Every button of these dialogs may open a modal window or a message box, so its handler runs
// after the click has been answered.
template <class Form, class Handler>
void OnClick(Binder& b, QAbstractButton* button, Form& c, void (Handler::*handler)()) {
  b.OnQueued(button, &QAbstractButton::clicked, [&c, handler] { (c.*handler)(); });
}

// Check boxes and radio buttons answer every change of state, also one an assistive
// technology's toggle action makes; a radio button only when it is selected.
template <class Form>
void OnToggle(Binder& b, QAbstractButton* button, Form& c, void (Form::*handler)()) {
  b.OnQueued(button, &QAbstractButton::toggled, [&c, handler] { (c.*handler)(); });
}
void OnSelect(Binder& b, QRadioButton* button, Tfrm_option& c, TRadioButton& state,
              void (Tfrm_option::*handler)()) {
  b.OnQueued(button, &QAbstractButton::toggled, [&c, &state, handler] {
    if (state.Checked) (c.*handler)();
  });
}

// Hands the Delete key pressed in a list to the controller's key handler.
class DeleteKeyFilter : public QObject {
 public:
  DeleteKeyFilter(QObject* parent, Binder& binder, TIgnoreListForm& form)
      : QObject(parent), binder_(binder), form_(form) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress ||
        static_cast<QKeyEvent*>(event)->key() != Qt::Key_Delete)
      return false;
    binder_.Invoke([this] { form_.ListView1KeyDown(VK_DELETE); });
    return true;
  }

 private:
  Binder& binder_;
  TIgnoreListForm& form_;
};

// The one-column list of an ignore-list dialog, with its label, buttons and the Delete key.
template <class UiForm>
void BindIgnoreList(Binder& b, UiForm& ui, TIgnoreListForm& c) {
  static const TImageList noImages;
  b.Bind(ui.Label1, c.Label1);
  b.Bind(ui.ListView1, c.ListView1, noImages, [](const IconHandle&) { return QIcon(); });
  ui.ListView1->installEventFilter(new DeleteKeyFilter(ui.ListView1, b, c));
  NameAfter(b, ui.ListView1, c.Label1);
  b.Bind(ui.btn_ok, c.btn_ok);
  b.Bind(ui.btn_cancel, c.btn_cancel);
  OnClick(b, ui.btn_cancel, c, &TIgnoreListForm::btn_cancelClick);
}

void BindOption(Tfrm_option& c, Ui::frm_option& ui, Binder& b) {
  const std::pair<QCheckBox*, TCheckBox*> checks[] = {
      {ui.CheckBox1, &c.CheckBox1},   {ui.CheckBox2, &c.CheckBox2},
      {ui.CheckBox3, &c.CheckBox3},   {ui.CheckBox4, &c.CheckBox4},
      {ui.CheckBox5, &c.CheckBox5},   {ui.CheckBox6, &c.CheckBox6},
      {ui.CheckBox7, &c.CheckBox7},   {ui.CheckBox8, &c.CheckBox8},
      {ui.CheckBox9, &c.CheckBox9},   {ui.CheckBox10, &c.CheckBox10},
      {ui.CheckBox11, &c.CheckBox11}, {ui.CrLfCheckBox, &c.CrLfCheckBox}};
  for (const auto& [widget, state] : checks) b.Bind(widget, *state);
  const std::pair<QGroupBox*, TGroupBox*> groups[] = {
      {ui.GroupBox1, &c.GroupBox1}, {ui.GroupBox2, &c.GroupBox2}, {ui.GroupBox3, &c.GroupBox3},
      {ui.GroupBox4, &c.GroupBox4}, {ui.GroupBox5, &c.GroupBox5}, {ui.GroupBox6, &c.GroupBox6}};
  for (const auto& [widget, state] : groups) b.Bind(widget, *state);
  const std::pair<QLabel*, TLabel*> labels[] = {{ui.Label1, &c.Label1},
                                                {ui.Label2, &c.Label2},
                                                {ui.Label3, &c.Label3},
                                                {ui.Label4, &c.Label4}};
  for (const auto& [widget, state] : labels) b.Bind(widget, *state);
  const std::pair<QRadioButton*, TRadioButton*> radios[] = {{ui.RadioButton1, &c.RadioButton1},
                                                            {ui.RadioButton2, &c.RadioButton2},
                                                            {ui.RadioButton3, &c.RadioButton3},
                                                            {ui.RadioButton4, &c.RadioButton4}};
  for (const auto& [widget, state] : radios) b.Bind(widget, *state);
  b.Bind(ui.DateTimePicker1, c.DateTimePicker1);
  b.Bind(ui.DateTimePicker2, c.DateTimePicker2);
  b.Bind(ui.Edit1, c.Edit1, c.UpDown1);
  b.Bind(ui.Edit2, c.Edit2, c.UpDown2);
  b.Bind(ui.ComboBox1, c.ComboBox1);
  b.Bind(ui.Button1, c.Button1);
  b.Bind(ui.Button3, c.Button3);
  NameAfter(b, ui.DateTimePicker1, c.Label1);

  OnToggle(b, ui.CheckBox9, c, &Tfrm_option::CheckBox9Click);
  OnToggle(b, ui.CheckBox10, c, &Tfrm_option::CheckBox10Click);
  OnToggle(b, ui.CheckBox11, c, &Tfrm_option::CheckBox11Click);
  OnSelect(b, ui.RadioButton1, c, c.RadioButton1, &Tfrm_option::RadioButton1Click);
  OnSelect(b, ui.RadioButton2, c, c.RadioButton2, &Tfrm_option::RadioButton2Click);
  OnSelect(b, ui.RadioButton3, c, c.RadioButton3, &Tfrm_option::RadioButton3Click);
  OnSelect(b, ui.RadioButton4, c, c.RadioButton4, &Tfrm_option::RadioButton4Click);
  OnClick(b, ui.Button1, c, &Tfrm_option::Button1Click);
  OnClick(b, ui.Button3, c, &Tfrm_option::Button3Click);
}

void BindSettings(Tfrm_settings& c, Ui::frm_settings& ui, Binder& b) {
  b.Bind(ui.Label1, c.Label1);
  b.Bind(ui.edt_editor, c.edt_editor);
  b.Bind(ui.GroupBox1, c.GroupBox1);
  b.Bind(ui.is_ignoredir, c.is_ignoredir);
  b.Bind(ui.is_ignore_files, c.is_ignore_files);
  const std::pair<QPushButton*, TButton*> buttons[] = {{ui.btn_browse, &c.btn_browse},
                                                       {ui.btn_edt_lst, &c.btn_edt_lst},
                                                       {ui.btn_edit_list_1, &c.btn_edit_list_1},
                                                       {ui.btn_ok, &c.btn_ok},
                                                       {ui.btn_cancel, &c.btn_cancel}};
  for (const auto& [widget, state] : buttons) b.Bind(widget, *state);
  OnToggle(b, ui.is_ignoredir, c, &Tfrm_settings::is_ignoredirClick);
  OnToggle(b, ui.is_ignore_files, c, &Tfrm_settings::is_ignore_filesClick);
  OnClick(b, ui.btn_edt_lst, c, &Tfrm_settings::btn_edt_lstClick);
  OnClick(b, ui.btn_edit_list_1, c, &Tfrm_settings::btn_edit_list_1Click);
  OnClick(b, ui.btn_browse, c, &Tfrm_settings::btn_browseClick);
  OnClick(b, ui.btn_ok, c, &Tfrm_settings::btn_okClick);
  OnClick(b, ui.btn_cancel, c, &Tfrm_settings::btn_cancelClick);
}

void BindIgnorePath(Tfrm_ignorepath& c, Ui::frm_ignorepath& ui, Binder& b) {
  BindIgnoreList(b, ui, c);
  b.Bind(ui.CheckBox1, c.CheckBox1);
  b.Bind(ui.btn_browse, c.btn_browse);
  OnClick(b, ui.btn_browse, c, &Tfrm_ignorepath::btn_browseClick);
  OnClick(b, ui.btn_ok, c, &Tfrm_ignorepath::btn_okClick);
}

void BindIgnoreFile(TFrm_file_ignor& c, Ui::Frm_file_ignor& ui, Binder& b) {
  BindIgnoreList(b, ui, c);
  b.Bind(ui.btn_mask, c.btn_mask);
  OnClick(b, ui.btn_mask, c, &TFrm_file_ignor::btn_maskClick);
  OnClick(b, ui.btn_ok, c, &TFrm_file_ignor::btn_okClick);
}

}  // namespace

void RegisterSettingsViews(QtForms& forms) {
  forms.Register<Tfrm_option, Ui::frm_option>(BindOption);
  forms.Register<Tfrm_settings, Ui::frm_settings>(BindSettings);
  forms.Register<Tfrm_ignorepath, Ui::frm_ignorepath>(BindIgnorePath);
  forms.Register<TFrm_file_ignor, Ui::Frm_file_ignor>(BindIgnoreFile);
}

}  // namespace velmora

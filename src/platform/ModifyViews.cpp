#include "platform/ModifyViews.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>
#include <utility>

#include "modify/Un_BackUp_Manager.h"
#include "modify/Un_Copy_Msg.h"
#include "modify/Un_Mod.h"
#include "modify/Un_Rename_Files.h"
#include "platform/NumberSpinEdit.h"
#include "platform/QtForms.h"
#include "platform/QtShell.h"
#include "ui_Frm_BackUp_Manager.h"
#include "ui_Frm_Rename_msg.h"
#include "ui_frm_copy_msg.h"
#include "ui_frm_mod.h"
#include "ui_frm_ren_files.h"

namespace velmora {

namespace {

template <class Form>
void OnClick(Binder& b, QPushButton* button, TButton& state, Form& c, void (Form::*handler)()) {
  b.Bind(button, state);
  b.On(button, &QPushButton::clicked, [&c, handler] { (c.*handler)(); });
}

// A fixed dialog border: the dialog keeps its size and its title bar shows no button, or only
// the close button.
void FixBorder(QWidget* dialog, const TForm& form, bool closeButton) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (closeButton) flags |= Qt::WindowCloseButtonHint;
  dialog->setWindowFlags(flags);
  dialog->setFixedSize(form.Width, form.Height);
}

void BindCopyMsg(Tfrm_copy_msg& c, Ui::frm_copy_msg& ui, Binder& b) {
  FixBorder(ui.lbl_msg->window(), c, false);
  b.Bind(ui.lbl_msg, c.lbl_msg);
  b.Bind(ui.Label1, c.Label1);
  OnClick(b, ui.btn_yes, c.btn_yes, c, &Tfrm_copy_msg::btn_yesClick);
  OnClick(b, ui.btn_yestoall, c.btn_yestoall, c, &Tfrm_copy_msg::btn_yestoallClick);
  OnClick(b, ui.btn_skip, c.btn_skip, c, &Tfrm_copy_msg::btn_skipClick);
  OnClick(b, ui.btn_cancel, c.btn_cancel, c, &Tfrm_copy_msg::btn_cancelClick);
}

void BindRenameMsg(TFrm_Rename_msg& c, Ui::Frm_Rename_msg& ui, Binder& b) {
  FixBorder(ui.lbl_msg->window(), c, false);
  b.Bind(ui.lbl_msg, c.lbl_msg);
  OnClick(b, ui.btn_skip, c.btn_skip, c, &TFrm_Rename_msg::btn_skipClick);
  OnClick(b, ui.btn_cancel, c.btn_cancel, c, &TFrm_Rename_msg::btn_cancelClick);
}

void BindRenameFiles(Tfrm_ren_files& c, Ui::frm_ren_files& ui, Binder& b) {
  FixBorder(ui.Label1->window(), c, true);
  for (auto [label, state] : {std::pair{ui.Label1, &c.Label1},
                              {ui.Label2, &c.Label2},
                              {ui.Label3, &c.Label3},
                              {ui.Label4, &c.Label4}}) {
    b.Bind(label, *state);
  }
  b.Bind(ui.edt_prefix, c.edt_prefix);
  b.Bind(ui.edt_sufix, c.edt_sufix);
  b.Bind(ui.Edt_first, c.Edt_first, c.UpDown1);
  b.Bind(ui.Edt_num, c.Edt_num, c.UpDown2);
  b.Bind(ui.Edt_ext, c.Edt_ext);
  NameAfter(b, ui.edt_prefix, c.Label1);
  NameAfter(b, ui.edt_sufix, c.Label2);
  NameAfter(b, ui.Edt_first, c.Label3);
  NameAfter(b, ui.Edt_num, c.Label4);
  // The check box in front of the field is its label.
  b.Bind([&ui, &c] { ui.Edt_ext->setAccessibleName(ToQt(c.Check_ext.Caption)); });
  b.Bind(ui.Check_Rem, c.Check_Rem);
  b.On(ui.Check_Rem, &QCheckBox::toggled, [&c] { c.Check_RemClick(); });
  b.Bind(ui.Check_ext, c.Check_ext);
  b.On(ui.Check_ext, &QCheckBox::toggled, [&c] { c.Check_extClick(); });
  b.Bind(ui.Button1, c.Button1);
  // Rename may open message boxes: an accessibility action must not wait for them.
  b.Bind(ui.Button2, c.Button2);
  b.OnQueued(ui.Button2, &QPushButton::clicked, [&c] { c.Button2Click(); });
  OnClick(b, ui.Button3, c.Button3, c, &Tfrm_ren_files::Button3Click);
}

void BindModForm(Tfrm_mod& c, Ui::frm_mod& ui, Binder& b) {
  b.Bind(ui.SrcLabel, c.SrcLabel);
  b.Bind(ui.DstLabel, c.DstLabel);
  b.Bind(ui.SrcList, c.SrcList);
  b.Bind(ui.DstList, c.DstList);
  NameAfter(b, ui.SrcList, c.SrcLabel);
  NameAfter(b, ui.DstList, c.DstLabel);
  OnClick(b, ui.IncludeBtn, c.IncludeBtn, c, &Tfrm_mod::IncludeBtnClick);
  OnClick(b, ui.IncAllBtn, c.IncAllBtn, c, &Tfrm_mod::IncAllBtnClick);
  OnClick(b, ui.ExcludeBtn, c.ExcludeBtn, c, &Tfrm_mod::ExcludeBtnClick);
  OnClick(b, ui.ExAllBtn, c.ExAllBtn, c, &Tfrm_mod::ExcAllBtnClick);
  OnClick(b, ui.OKBtn, c.OKBtn, c, &Tfrm_mod::OKBtnClick);
  b.Bind(ui.CancelBtn, c.CancelBtn);
  b.On(ui.CancelBtn, &QPushButton::clicked, [&c] { c.CloseModal(ModalResult::Cancel); });
}

void BindBackupManager(TFrm_BackUp_Manager& c, Ui::Frm_BackUp_Manager& ui, Binder& b,
                       QtShell& shell) {
  b.Bind(ui.ListView1, c.ListView1, c.ImageList1,
         [&shell](const IconHandle& handle) { return shell.Icon(handle); });
  OnClick(b, ui.btn_select, c.btn_select, c, &TFrm_BackUp_Manager::btn_selectClick);
  OnClick(b, ui.btn_restore, c.btn_restore, c, &TFrm_BackUp_Manager::btn_restoreClick);
  // Opens the folder picker: an accessibility action must not wait for it to close.
  b.Bind(ui.btn_restore_to, c.btn_restore_to);
  b.OnQueued(ui.btn_restore_to, &QPushButton::clicked, [&c] { c.btn_restore_toClick(); });
  OnClick(b, ui.btn_delete, c.btn_delete, c, &TFrm_BackUp_Manager::btn_deleteClick);
}

}  // namespace

void RegisterModifyViews(QtForms& forms, QtShell& shell) {
  forms.Register<Tfrm_mod, Ui::frm_mod>(BindModForm);
  forms.Register<Tfrm_copy_msg, Ui::frm_copy_msg>(BindCopyMsg);
  forms.Register<Tfrm_ren_files, Ui::frm_ren_files>(BindRenameFiles);
  forms.Register<TFrm_Rename_msg, Ui::Frm_Rename_msg>(BindRenameMsg);
  forms.Register<TFrm_BackUp_Manager, Ui::Frm_BackUp_Manager>(
      [&shell](TFrm_BackUp_Manager& c, Ui::Frm_BackUp_Manager& ui, Binder& b) {
        BindBackupManager(c, ui, b, shell);
      });
}

}  // namespace velmora

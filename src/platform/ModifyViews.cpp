#include "platform/ModifyViews.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>
#include <utility>

#include "modify/Un_BackUp_Manager.h"
#include "modify/Un_Copy_Msg.h"
#include "modify/Un_Mod.h"
#include "platform/QtForms.h"
#include "platform/QtShell.h"
#include "ui_Frm_BackUp_Manager.h"
#include "ui_frm_copy_msg.h"
#include "ui_frm_mod.h"

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
  forms.Register<TFrm_BackUp_Manager, Ui::Frm_BackUp_Manager>(
      [&shell](TFrm_BackUp_Manager& c, Ui::Frm_BackUp_Manager& ui, Binder& b) {
        BindBackupManager(c, ui, b, shell);
      });
}

}  // namespace velmora

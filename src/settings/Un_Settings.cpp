#include "settings/Un_Settings.h"

#include "settings/Un_ignore_file.h"
#include "settings/Un_ignore_path.h"

namespace velmora {

namespace {
constexpr const char* kIgnorePaths = "IgnorePathXPCh";
constexpr const char* kIgnoreFiles = "IgnoreFileXPCh";
constexpr const char* kEditor = "Editor";
}  // namespace

Tfrm_settings::Tfrm_settings(TMy_Registry& registry, Dialogs& dialogs, Forms& forms,
                             KnownFolders& folders)
    : TForm("Settings", 0, 0),
      registry_(registry),
      dialogs_(dialogs),
      forms_(forms),
      folders_(folders) {
  Label1.Caption = "Editor:";
  btn_browse.Caption = "Browse";
  GroupBox1.Caption = "Ignore Lists";
  is_ignoredir.Caption = "Ignore Directories";
  btn_edt_lst.Caption = "Edit List";
  is_ignore_files.Caption = "Ignore Files";
  btn_edit_list_1.Caption = "Edit List";
  btn_ok.Caption = "Ok";
  btn_cancel.Caption = "Cancel";
  ApplyEnablingRules();
}

void Tfrm_settings::ApplyEnablingRules() {
  btn_edt_lst.Enabled = is_ignoredir.Checked;
  btn_edit_list_1.Enabled = is_ignore_files.Checked;
}

void Tfrm_settings::FormShow() {
  ModalAnswer = ModalResult::None;
  is_ignoredir.Checked = registry_.ReadBool(kIgnorePaths);
  is_ignore_files.Checked = registry_.ReadBool(kIgnoreFiles);
  edt_editor.Text = registry_.ReadStr(kEditor);
  ApplyEnablingRules();
}

void Tfrm_settings::is_ignoredirClick() {
  ApplyEnablingRules();
}

void Tfrm_settings::is_ignore_filesClick() {
  ApplyEnablingRules();
}

void Tfrm_settings::btn_edt_lstClick() {
  if (!btn_edt_lst.Enabled) return;
  Tfrm_ignorepath paths(registry_, dialogs_, folders_);
  forms_.ShowModal(paths);
}

void Tfrm_settings::btn_edit_list_1Click() {
  if (!btn_edit_list_1.Enabled) return;
  TFrm_file_ignor masks(registry_, dialogs_);
  forms_.ShowModal(masks);
}

void Tfrm_settings::btn_browseClick() {
  std::string program;
  if (dialogs_.OpenProgram("Open", folders_.ProgramsFolder(), program)) edt_editor.Text = program;
}

void Tfrm_settings::btn_okClick() {
  registry_.WriteTogether([this] {
    registry_.WriteBool(kIgnorePaths, is_ignoredir.Checked);
    registry_.WriteBool(kIgnoreFiles, is_ignore_files.Checked);
    registry_.WriteStr(kEditor, edt_editor.Text);
  });
  CloseModal(ModalResult::Ok);
}

void Tfrm_settings::btn_cancelClick() {
  CloseModal(ModalResult::Cancel);
}

}  // namespace velmora

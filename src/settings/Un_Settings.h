#pragma once

// Tfrm_settings: the Settings dialog as a controller. It edits the program that opens a
// listed file for "Edit File" and the two switches that apply the ignore lists; it is reloaded
// on every show and written, in one save, only by "Ok". The two list dialogs it opens write
// their lists on their own "Ok", whatever this dialog does afterwards. Opened modally from
// the main window's "File" menu.

#include <string>

#include "app/Controls.h"
#include "app/Form.h"
#include "ports/Dialogs.h"
#include "ports/KnownFolders.h"
#include "settings/Un_MyRegistry.h"

namespace velmora {

class Tfrm_settings : public TForm {
 public:
  // The registry, dialogs, forms and folders must outlive the dialog.
  Tfrm_settings(TMy_Registry& registry, Dialogs& dialogs, Forms& forms, KnownFolders& folders);

  TLabel Label1;
  TEdit edt_editor;
  TButton btn_browse;
  TGroupBox GroupBox1;
  TCheckBox is_ignoredir;
  TButton btn_edt_lst;
  TCheckBox is_ignore_files;
  TButton btn_edit_list_1;
  TButton btn_ok;
  TButton btn_cancel;

  void FormShow() override;
  void is_ignoredirClick();
  void is_ignore_filesClick();
  // The Directory and File Ignore List dialogs, shown modally.
  void btn_edt_lstClick();
  void btn_edit_list_1Click();
  // Picks the editor among the executable files, starting in a folder of programs; the full
  // name goes into edt_editor only.
  void btn_browseClick();
  // Writes the switches and the editor as typed.
  void btn_okClick();
  // Cancel and the close box write nothing.
  void btn_cancelClick();

 private:
  void ApplyEnablingRules();

  TMy_Registry& registry_;
  Dialogs& dialogs_;
  Forms& forms_;
  KnownFolders& folders_;
};

}  // namespace velmora

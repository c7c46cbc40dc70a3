#pragma once

// Tfrm_ignorepath: the Directory Ignore List dialog as a controller. It edits the folders a
// search skips and whether their subfolders are skipped too; the list and the switch are
// reloaded on every show and written, in one save, only by "Ok". Opened from the Settings
// dialog.

#include <string>

#include "app/Controls.h"
#include "ports/Dialogs.h"
#include "ports/KnownFolders.h"
#include "settings/Un_MyRegistry.h"

namespace velmora {

class Tfrm_ignorepath {
 public:
  // The registry, dialogs and folders must outlive the dialog.
  Tfrm_ignorepath(TMy_Registry& registry, Dialogs& dialogs, KnownFolders& folders);

  std::string Caption = "Directory Ignore List";
  TLabel Label1;
  TListView ListView1;
  TCheckBox CheckBox1;
  TButton btn_browse;
  TButton btn_ok;
  TButton btn_cancel;

  // How the dialog was closed; None while it is open.
  ModalResult Result = ModalResult::None;

  void FormShow();
  // Appends the picked folder with a trailing "/" (no duplicate check) and makes it the
  // current folder.
  void btn_browseClick();
  // The Delete key removes the selected row.
  void ListView1KeyDown(int key);
  void btn_okClick();
  // Cancel and the close box write nothing.
  void btn_cancelClick();

 private:
  TMy_Registry& registry_;
  Dialogs& dialogs_;
  KnownFolders& folders_;
};

}  // namespace velmora

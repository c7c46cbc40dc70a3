#pragma once

// TFrm_BackUp_Manager: the window listing every recorded backup, in which the user ticks rows
// and puts their backups back in place ("Restore"), copies them under their file's name into
// another folder ("Restore to..."), or deletes them. Every action ends with a purge of the
// records whose backup no longer exists.

#include <string>

#include "app/Controls.h"
#include "app/Form.h"
#include "ports/Dialogs.h"
#include "ports/KnownFolders.h"
#include "ports/Shell.h"
#include "settings/Un_MyRegistry.h"

namespace velmora {

struct TBackupManagerPorts {
  TMy_Registry& registry;
  Shell& shell;
  Dialogs& dialogs;
  KnownFolders& folders;
};

class TFrm_BackUp_Manager : public TForm {
 public:
  explicit TFrm_BackUp_Manager(TBackupManagerPorts ports);

  TListView ListView1;
  TImageList ImageList1;
  TButton btn_select;
  TButton btn_restore;
  TButton btn_restore_to;
  TButton btn_delete;

  void FormShow() override;
  void btn_selectClick();
  void btn_restoreClick();
  void btn_restore_toClick();
  void btn_deleteClick();

 private:
  // Calls action(folder, backup name, target name) for each ticked row, last to first, and
  // removes the row.
  template <typename Action>
  void ForTickedRows(Action action);
  void EnableRowButtons();

  TBackupManagerPorts ports_;
};

}  // namespace velmora

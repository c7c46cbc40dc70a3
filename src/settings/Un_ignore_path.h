#pragma once

// Tfrm_ignorepath: the Directory Ignore List dialog as a controller: the folders a search
// skips and whether their subfolders are skipped too. Opened from the Settings dialog.

#include "ports/Dialogs.h"
#include "ports/KnownFolders.h"
#include "settings/IgnoreListForm.h"

namespace velmora {

class Tfrm_ignorepath : public TIgnoreListForm {
 public:
  // The registry, dialogs and folders must outlive the dialog.
  Tfrm_ignorepath(TMy_Registry& registry, Dialogs& dialogs, KnownFolders& folders);

  TCheckBox CheckBox1;
  TButton btn_browse;

  // The stored list and switch, on every show.
  void FormShow() override;
  // Appends the picked folder with a trailing "/" (no duplicate check) and makes it the
  // current folder.
  void btn_browseClick();
  // Writes the list and the switch.
  void btn_okClick();

 private:
  Dialogs& dialogs_;
  KnownFolders& folders_;
};

}  // namespace velmora

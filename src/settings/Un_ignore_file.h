#pragma once

// TFrm_file_ignor: the File Ignore List dialog as a controller: the file masks a search skips.
// Opened from the Settings dialog.

#include "ports/Dialogs.h"
#include "settings/IgnoreListForm.h"

namespace velmora {

class TFrm_file_ignor : public TIgnoreListForm {
 public:
  // The registry and dialogs must outlive the dialog.
  TFrm_file_ignor(TMy_Registry& registry, Dialogs& dialogs);

  TButton btn_mask;

  // The stored list, on every show.
  void FormShow() override;
  // Asks for a mask (preset "*.*"); "*.*" or a cancel adds nothing, any other text (the
  // empty text too) is appended unchecked.
  void btn_maskClick();
  // Writes the list.
  void btn_okClick();

 private:
  Dialogs& dialogs_;
};

}  // namespace velmora

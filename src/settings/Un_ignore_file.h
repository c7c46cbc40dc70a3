#pragma once

// TFrm_file_ignor: the File Ignore List dialog as a controller. It edits the file masks a
// search skips; the list is reloaded on every show and written, in one save, only by "Ok".
// Opened from the Settings dialog.

#include <string>

#include "app/Controls.h"
#include "ports/Dialogs.h"
#include "settings/Un_MyRegistry.h"

namespace velmora {

class TFrm_file_ignor {
 public:
  // The registry and dialogs must outlive the dialog.
  TFrm_file_ignor(TMy_Registry& registry, Dialogs& dialogs);

  std::string Caption = "File Ignore List";
  TLabel Label1;
  TListView ListView1;
  TButton btn_mask;
  TButton btn_ok;
  TButton btn_cancel;

  // How the dialog was closed; None while it is open.
  ModalResult Result = ModalResult::None;

  void FormShow();
  // Asks for a mask (preset "*.*"); "*.*" or a cancel adds nothing, any other text (the
  // empty text too) is appended unchecked.
  void btn_maskClick();
  // The Delete key removes every selected row.
  void ListView1KeyDown(int key);
  void btn_okClick();
  // Cancel and the close box write nothing.
  void btn_cancelClick();

 private:
  TMy_Registry& registry_;
  Dialogs& dialogs_;
};

}  // namespace velmora

#pragma once

// TFrm_Rename_msg: shown by the rename loop when the new name is taken; "Skip" goes on with
// the next row, "Cancel" ends the loop. Each button sets its flag in the opener's answer.

#include "app/Controls.h"
#include "app/Form.h"

namespace velmora {

struct TRenameAnswer {
  bool skip = false;
  bool cancel = false;
};

class TFrm_Rename_msg : public TForm {
 public:
  explicit TFrm_Rename_msg(TRenameAnswer& answer);

  TLabel lbl_msg;
  TButton btn_skip;
  TButton btn_cancel;

  void btn_skipClick();
  void btn_cancelClick();

 private:
  TRenameAnswer& answer_;
};

}  // namespace velmora

#include "modify/Un_Rename_Msg.h"

namespace velmora {

TFrm_Rename_msg::TFrm_Rename_msg(TRenameAnswer& answer)
    : TForm("Error Renaming File", 428, 137), answer_(answer) {
  btn_skip.Caption = "Skip";
  btn_cancel.Caption = "Cancel";
}

void TFrm_Rename_msg::btn_skipClick() {
  answer_.skip = true;
  CloseModal(ModalResult::Ok);
}

void TFrm_Rename_msg::btn_cancelClick() {
  answer_.cancel = true;
  CloseModal(ModalResult::Cancel);
}

}  // namespace velmora

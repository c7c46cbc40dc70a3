#include "modify/Un_Copy_Msg.h"

namespace velmora {

Tfrm_copy_msg::Tfrm_copy_msg(TCopyAnswer& answer) : TForm("Copy Files", 428, 115), answer_(answer) {
  Label1.Caption = "Do you want to replace it ?";
  btn_yes.Caption = "Yes";
  btn_yestoall.Caption = "Yes to All";
  btn_skip.Caption = "Skip";
  btn_cancel.Caption = "Cancel";
}

void Tfrm_copy_msg::Answer(bool& flag) {
  flag = true;
  CloseModal(ModalResult::Ok);
}

}  // namespace velmora

#pragma once

// Tfrm_copy_msg: asked by "Copy Files" when the target folder already holds a file of the
// same name. Each button sets its flag in the opener's answer and closes the window.

#include "app/Controls.h"
#include "app/Form.h"

namespace velmora {

// The user's answer to one question of the copy loop.
struct TCopyAnswer {
  bool yes = false;
  bool skip = false;
  bool yestoall = false;
  bool cancel = false;
};

class Tfrm_copy_msg : public TForm {
 public:
  explicit Tfrm_copy_msg(TCopyAnswer& answer);

  TLabel lbl_msg;
  TLabel Label1;
  TButton btn_yes;
  TButton btn_yestoall;
  TButton btn_skip;
  TButton btn_cancel;

  void btn_yesClick() { Answer(answer_.yes); }
  void btn_yestoallClick() { Answer(answer_.yestoall); }
  void btn_skipClick() { Answer(answer_.skip); }
  void btn_cancelClick() { Answer(answer_.cancel); }

 private:
  void Answer(bool& flag);

  TCopyAnswer& answer_;
};

}  // namespace velmora

#include "settings/Un_ignore_file.h"

namespace velmora {

namespace {
constexpr const char* kAllFiles = "*.*";
}  // namespace

TFrm_file_ignor::TFrm_file_ignor(TMy_Registry& registry, Dialogs& dialogs)
    : TIgnoreListForm("File Ignore List", registry, "Mask", true), dialogs_(dialogs) {
  Label1.Caption = "Enter one mask per line";
  btn_mask.Caption = " Mask";
}

void TFrm_file_ignor::FormShow() {
  ModalAnswer = ModalResult::None;
  LoadRows();
}

void TFrm_file_ignor::btn_maskClick() {
  std::string mask = kAllFiles;
  // A cancelled input box answers with its preset text.
  if (!dialogs_.InputQuery("Mask", "Please specify the mask", mask)) mask = kAllFiles;
  if (mask != kAllFiles) AppendRow(mask);
}

void TFrm_file_ignor::btn_okClick() {
  WriteAndClose();
}

}  // namespace velmora

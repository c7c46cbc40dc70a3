#include "settings/Un_ignore_file.h"

#include "settings/IgnoreListRows.h"

namespace velmora {

namespace {
constexpr const char* kMaskList = "Mask";
constexpr const char* kAllFiles = "*.*";
}  // namespace

TFrm_file_ignor::TFrm_file_ignor(TMy_Registry& registry, Dialogs& dialogs)
    : registry_(registry), dialogs_(dialogs) {
  Label1.Caption = "Enter one mask per line";
  ListView1.Columns = {{"Mask", 300}};
  ListView1.MultiSelect = true;
  btn_mask.Caption = " Mask";
  btn_ok.Caption = "Ok";
  btn_cancel.Caption = "Cancel";
}

void TFrm_file_ignor::FormShow() {
  Result = ModalResult::None;
  ListView1.Clear();
  std::vector<std::string> masks;
  registry_.ReadIgnoreList(kMaskList, masks);
  SetRowCaptions(ListView1, masks);
}

void TFrm_file_ignor::btn_maskClick() {
  std::string mask = kAllFiles;
  // A cancelled input box answers with its preset text.
  if (!dialogs_.InputQuery("Mask", "Please specify the mask", mask)) mask = kAllFiles;
  if (mask != kAllFiles) AppendRow(ListView1, mask);
}

void TFrm_file_ignor::ListView1KeyDown(int key) {
  if (key == VK_DELETE) DeleteSelectedRows(ListView1);
}

void TFrm_file_ignor::btn_okClick() {
  registry_.WriteIgnoreList(kMaskList, RowCaptions(ListView1));
  Result = ModalResult::Ok;
}

void TFrm_file_ignor::btn_cancelClick() {
  Result = ModalResult::Cancel;
}

}  // namespace velmora

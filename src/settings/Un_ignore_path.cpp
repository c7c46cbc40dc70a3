#include "settings/Un_ignore_path.h"

#include "settings/IgnoreListRows.h"

namespace velmora {

namespace {
constexpr const char* kPathList = "Path";
constexpr const char* kSubfolders = "IgnoreSubFoldXPCh";
constexpr char kFolderDelim = '/';
}  // namespace

Tfrm_ignorepath::Tfrm_ignorepath(TMy_Registry& registry, Dialogs& dialogs, KnownFolders& folders)
    : registry_(registry), dialogs_(dialogs), folders_(folders) {
  Label1.Caption = "Input one ful path perline.";
  ListView1.Columns = {{"Path", 300}};
  ListView1.MultiSelect = false;
  CheckBox1.Caption = "Ignore Subfolder Too";
  btn_browse.Caption = "Browse";
  btn_ok.Caption = "Ok";
  btn_cancel.Caption = "Cancel";
}

void Tfrm_ignorepath::FormShow() {
  Result = ModalResult::None;
  ListView1.Clear();
  std::vector<std::string> folders;
  registry_.ReadIgnoreList(kPathList, folders);
  SetRowCaptions(ListView1, folders);
  CheckBox1.Checked = registry_.ReadBool(kSubfolders);
}

void Tfrm_ignorepath::btn_browseClick() {
  std::string folder;
  if (!dialogs_.PickFolder("Select the directory", folders_.CurrentFolder(), folder)) return;
  folders_.SetCurrentFolder(folder);
  if (folder.empty() || folder.back() != kFolderDelim) folder += kFolderDelim;
  AppendRow(ListView1, folder);
}

void Tfrm_ignorepath::ListView1KeyDown(int key) {
  if (key == VK_DELETE) DeleteSelectedRows(ListView1);
}

void Tfrm_ignorepath::btn_okClick() {
  const auto folders = RowCaptions(ListView1);
  registry_.WriteTogether([&] {
    registry_.WriteIgnoreList(kPathList, folders);
    registry_.WriteBool(kSubfolders, CheckBox1.Checked);
  });
  Result = ModalResult::Ok;
}

void Tfrm_ignorepath::btn_cancelClick() {
  Result = ModalResult::Cancel;
}

}  // namespace velmora

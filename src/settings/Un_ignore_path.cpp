#include "settings/Un_ignore_path.h"

namespace velmora {

namespace {
constexpr const char* kSubfolders = "IgnoreSubFoldXPCh";
constexpr char kFolderDelim = '/';
}  // namespace

Tfrm_ignorepath::Tfrm_ignorepath(TMy_Registry& registry, Dialogs& dialogs, KnownFolders& folders)
    : TIgnoreListForm("Directory Ignore List", registry, "Path", false),
      dialogs_(dialogs),
      folders_(folders) {
  Label1.Caption = "Input one ful path perline.";
  CheckBox1.Caption = "Ignore Subfolder Too";
  btn_browse.Caption = "Browse";
}

void Tfrm_ignorepath::FormShow() {
  ModalAnswer = ModalResult::None;
  LoadRows();
  CheckBox1.Checked = registry_.ReadBool(kSubfolders);
}

void Tfrm_ignorepath::btn_browseClick() {
  std::string folder;
  if (!dialogs_.PickFolder("Select the directory", folders_.CurrentFolder(), folder)) return;
  folders_.SetCurrentFolder(folder);
  if (folder.empty() || folder.back() != kFolderDelim) folder += kFolderDelim;
  AppendRow(folder);
}

void Tfrm_ignorepath::btn_okClick() {
  WriteAndClose([this] { registry_.WriteBool(kSubfolders, CheckBox1.Checked); });
}

}  // namespace velmora

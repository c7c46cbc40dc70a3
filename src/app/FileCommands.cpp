// The main window's commands on the files of the selected rows: copy into a folder, rename by
// rules, send to the trash.

#include "app/Un_Utama.h"
#include "base/Paths.h"
#include "modify/BackupFiles.h"
#include "modify/FileOperations.h"

namespace velmora {

bool Tfrm_utama::MayReplace(const std::string& src, bool& replace) {
  copy_answer.yes = copy_answer.skip = copy_answer.cancel = false;
  if (!copy_answer.yestoall) {
    frm_copy_msg->lbl_msg.Caption = ShortPath(src) + "\n\r" + "already exist !!!";
    ports_.forms.ShowModal(*frm_copy_msg);
    // Closed without a button: nothing was agreed to, so the loop stops.
    if (!copy_answer.yes && !copy_answer.skip && !copy_answer.yestoall) copy_answer.cancel = true;
  }
  replace = copy_answer.yes || copy_answer.yestoall;
  return !copy_answer.cancel;
}

void Tfrm_utama::CopyFiles1Click() {
  if (CommandsBusy() || !frm_copy_msg) return;
  std::string chosen;
  if (!ports_.dialogs.PickFolder("Select the directory", ports_.folders.CurrentFolder(), chosen))
    return;
  ports_.folders.SetCurrentFolder(chosen);
  copy_answer = TCopyAnswer{};
  const std::string target = WithTrailingDelim(chosen);
  for (const TListItem& row : ListView1.Items) {
    if (!row.Selected) continue;
    const std::string src = FullName(row);
    const std::string dst = target + row.Caption;
    // The folder of the file itself: copying would only put the file over itself.
    if (SameFile(src, dst)) continue;
    bool replace = true;
    if (FileExists(dst) && !MayReplace(src, replace)) break;
    // A complete copy replaces the target in one step (a read-only or hidden one too), so a
    // failing copy leaves it as it was. Failures are not reported.
    if (replace) CopyFileOver(src, dst);
  }
}

void Tfrm_utama::RenameFiles1Click() {
  if (CommandsBusy() || !frm_ren_files) return;
  frm_ren_files->Source = {&ListView1, &ImageList1, [this] {
                             if (ListView1.Sorted) SortRows();
                           }};
  ports_.forms.ShowModal(*frm_ren_files);
}

}  // namespace velmora

// The main window's commands on the files of the selected rows: copy into a folder, rename by
// rules, send to the trash.

#include <vector>

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

void Tfrm_utama::DeleteFiles1Click() {
  if (CommandsBusy()) return;
  auto& rows = ListView1.Items;
  std::vector<std::size_t> selected;  // last row first, so removing one keeps the others' place
  for (auto i = rows.size(); i-- > 0;)
    if (rows[i].Selected) selected.push_back(i);
  const std::string text =
      selected.size() == 1
          ? "Are you sure you want to send\n\r\n\r" + ShortPath(FullName(rows[selected[0]])) +
                "\n\r\n\rto the Recycle Bin ?"
          : "Are you sure you want to send these " + std::to_string(selected.size()) +
                " items to the Recycle Bin ?";
  const char* caption =
      selected.size() == 1 ? "Confirm File Delete" : "Confirm Multiple File Delete";
  if (ports_.dialogs.MessageBox(text, caption, MsgKind::Confirmation, MsgButtons::OkCancel) ==
      ModalResult::Ok) {
    std::string failed;
    for (const std::size_t index : selected) {
      const std::string name = FullName(rows[index]);
      if (ports_.shell.MoveToTrash(name)) {
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(index));
      } else {
        failed += "\n" + ShortPath(name);
      }
    }
    ListView1.Touch();
    if (rows.empty()) {
      commands_.deleteItems = false;
      UpdateCommands();
    }
    if (!failed.empty()) {
      ports_.dialogs.MessageBox("Cannot move to the trash:" + failed, Caption, MsgKind::Error,
                                MsgButtons::Ok);
    }
  }
  ports_.viewer.Navigate(kAboutBlank);
}

}  // namespace velmora

#include "modify/Un_BackUp_Manager.h"

#include <cstdio>
#include <vector>

#include "base/Paths.h"
#include "engines/Un_Tambahan.h"
#include "modify/BackupFiles.h"

namespace velmora {

TFrm_BackUp_Manager::TFrm_BackUp_Manager(TBackupManagerPorts ports)
    : TForm("BackUp Manager", 623, 540), ports_(ports) {
  ListView1.Columns = {{"Name", 150}, {"Path", 200}, {"Time", 150}};
  ListView1.Checkboxes = true;
  btn_select.Caption = "Select All";
  btn_restore.Caption = "Restore";
  btn_restore_to.Caption = "Restore to...";
  btn_delete.Caption = "Delete";
}

void TFrm_BackUp_Manager::FormShow() {
  std::vector<std::string> backups;
  ports_.registry.ReadBackups(backups);
  ListView1.Clear();
  ImageList1.Clear();
  for (const std::string& backup : backups) {
    TListItem row;
    row.Caption = NameOf(backup);
    row.SubItems = {FolderOf(backup), ""};
    row.ImageIndex = ImageList1.Add(GetFileIcon(ports_.shell, backup, true));
    ListView1.Items.push_back(std::move(row));
  }
  EnableRowButtons();
}

void TFrm_BackUp_Manager::EnableRowButtons() {
  btn_select.Enabled = btn_restore.Enabled = btn_restore_to.Enabled = !ListView1.Items.empty();
}

void TFrm_BackUp_Manager::btn_selectClick() {
  for (auto& row : ListView1.Items) row.Checked = true;
  ListView1.Touch();
}

template <typename Action>
void TFrm_BackUp_Manager::ForTickedRows(Action action) {
  auto& rows = ListView1.Items;
  for (auto i = rows.size(); i-- > 0;) {
    if (!rows[i].Checked) continue;
    const std::string folder =
        WithTrailingDelim(rows[i].SubItems.empty() ? "" : rows[i].SubItems[0]);
    const std::string backup = rows[i].Caption;
    action(folder, backup, BackupTarget(backup));
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i));
  }
  ListView1.Touch();
}

void TFrm_BackUp_Manager::btn_restoreClick() {
  ForTickedRows(
      [](const std::string& folder, const std::string& backup, const std::string& target) {
        // One rename over the file: a failure leaves the file and keeps the backup (and its
        // record).
        if (FileExists(folder + backup)) PutBackupInPlace(folder + backup, folder + target);
      });
  ports_.registry.PurgeBackups();
  EnableRowButtons();
}

void TFrm_BackUp_Manager::btn_restore_toClick() {
  std::string chosen;
  if (ports_.dialogs.PickFolder("Select the directory", ports_.folders.CurrentFolder(), chosen)) {
    ports_.folders.SetCurrentFolder(chosen);
    chosen = WithTrailingDelim(chosen);
    ForTickedRows(
        [&](const std::string& folder, const std::string& backup, const std::string& target) {
          // The file in the chosen folder is replaced only by a complete copy; the backup goes
          // only once that copy is in place.
          if (FileExists(folder + backup) && CopyFileOver(folder + backup, chosen + target))
            std::remove((folder + backup).c_str());
        });
    ports_.registry.PurgeBackups();
  }
  EnableRowButtons();
}

void TFrm_BackUp_Manager::btn_deleteClick() {
  ForTickedRows([](const std::string& folder, const std::string& backup, const std::string&) {
    if (FileExists(folder + backup)) std::remove((folder + backup).c_str());
  });
  ports_.registry.PurgeBackups();
}

}  // namespace velmora

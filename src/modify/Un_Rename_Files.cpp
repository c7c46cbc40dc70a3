#include "modify/Un_Rename_Files.h"

#include <sys/stat.h>

#include <vector>

#include "base/Convert.h"
#include "base/Paths.h"
#include "engines/Un_Tambahan.h"
#include "modify/BackupFiles.h"
#include "modify/FileOperations.h"

namespace velmora {

namespace {

constexpr const char* kErrorCaption = "Error renaming file";

bool NameTaken(const std::string& fullName) {
  struct stat info {};
  return ::lstat(fullName.c_str(), &info) == 0;
}

// Calls the list's re-sort when the run ends, however it ends.
class AfterRun {
 public:
  explicit AfterRun(const TRenameSource& source) : source_(source) {}
  ~AfterRun() {
    source_.Results->Touch();
    if (source_.RowsRenamed) source_.RowsRenamed();
  }
  AfterRun(const AfterRun&) = delete;
  AfterRun& operator=(const AfterRun&) = delete;

 private:
  const TRenameSource& source_;
};

}  // namespace

Tfrm_ren_files::Tfrm_ren_files(TRenameFilesPorts ports)
    : TForm("Rename Files", 330, 202), ports_(ports) {
  Label1.Caption = "Add Prefix :";
  Label2.Caption = "Add Sufix :";
  Label3.Caption = "First Position :";
  Label4.Caption = "Number :";
  Check_Rem.Caption = "Remove :";
  Edt_first.Text = Edt_num.Text = "1";
  UpDown1.Min = UpDown2.Min = 1;
  UpDown1.Max = UpDown2.Max = 100;
  Check_ext.Caption = "New Extension :";
  Button1.Caption = "Clear Commands";
  Button2.Caption = "Rename";
  Button3.Caption = "Exit";
  Check_RemClick();
  Check_extClick();
}

void Tfrm_ren_files::Check_RemClick() {
  Edt_first.Enabled = Edt_num.Enabled = Check_Rem.Checked;
  UpDown1.Enabled = UpDown2.Enabled = Check_Rem.Checked;
}

void Tfrm_ren_files::Check_extClick() {
  Edt_ext.Enabled = Check_ext.Checked;
}

void Tfrm_ren_files::Button3Click() {
  CloseModal(ModalResult::Ok);
}

void Tfrm_ren_files::Button2Click() {
  if (Source.Results == nullptr) return;
  // The rows are taken once, by index: the list is re-sorted only after the run, so every
  // selected row is handled exactly once.
  std::vector<std::size_t> selected;
  for (std::size_t i = 0; i < Source.Results->Items.size(); ++i)
    if (Source.Results->Items[i].Selected) selected.push_back(i);
  const AfterRun afterRun(Source);
  for (const std::size_t index : selected) {
    if (!RenameRow(Source.Results->Items[index])) break;
  }
}

void Tfrm_ren_files::ShowError(const std::string& text) {
  ports_.dialogs.MessageBox(text, kErrorCaption, MsgKind::Error, MsgButtons::Ok);
}

bool Tfrm_ren_files::RenameRow(TListItem& row) {
  const std::string folder = WithTrailingDelim(row.SubItems.empty() ? "" : row.SubItems[0]);
  const std::string& name = row.Caption;
  const auto dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
  std::string base = name.substr(0, dot == std::string::npos ? name.size() : dot);
  if (!FileExists(folder + name)) {
    ShowError("Cannot rename " + ShortPath(folder + name) + ": Cannot find the specified file.");
    return true;
  }
  if (Check_Rem.Checked) {
    const int first = StrToInt(Edt_first.Text);
    const int count = StrToInt(Edt_num.Text);
    if (first >= 1 && count > 0 && static_cast<std::size_t>(first) <= base.size())
      base.erase(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(count));
  }
  if (!edt_prefix.Text.empty() && !base.empty()) base = edt_prefix.Text + base;
  if (!edt_sufix.Text.empty() && !base.empty()) base += edt_sufix.Text;
  const bool newExtension = Check_ext.Checked && !Edt_ext.Text.empty();
  if (newExtension) ext = "." + Edt_ext.Text;
  if (base.empty()) {
    ShowError("Cannot rename \"" + ShortPath(folder + ext) + "\" to \"" + ext + "\"");
    return true;
  }
  const std::string newName = base + ext;
  if (newName == name) return true;  // nothing to change
  const std::string newFullName = folder + newName;
  if (!RenameNoReplace(folder + name, newFullName)) return AskAboutTakenName(newFullName, newName);
  if (newExtension && Source.Images != nullptr)
    row.ImageIndex = Source.Images->Add(GetFileIcon(ports_.shell, newFullName, true));
  row.Caption = newName;
  return true;
}

bool Tfrm_ren_files::AskAboutTakenName(const std::string& newFullName, const std::string& newName) {
  rename_answer = TRenameAnswer{};
  if (NameTaken(newFullName)) {
    Frm_Rename_msg.lbl_msg.Caption = "Cannot rename " + ShortPath(newFullName) + ":" + "\n\r\n\r" +
                                     "A file with the name you specified (" + newName +
                                     ") already exist.";
    ports_.forms.ShowModal(Frm_Rename_msg);
  } else {
    ShowError("Cannot rename \"" + ShortPath(newFullName) + "\" to \"" + newName + "\"");
  }
  return !rename_answer.cancel;
}

}  // namespace velmora

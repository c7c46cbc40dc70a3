#pragma once

// Tfrm_ren_files: renames the files of the result list's selected rows by rules (a prefix and
// a suffix around the base name, characters removed from it, a new extension). The dialog
// stays open between runs, and its fields keep their values for the life of the program. A
// new name never replaces an existing file.

#include <functional>
#include <string>

#include "app/Controls.h"
#include "app/Form.h"
#include "modify/Un_Rename_Msg.h"
#include "ports/Dialogs.h"
#include "ports/Shell.h"

namespace velmora {

struct TRenameFilesPorts {
  Shell& shell;
  Dialogs& dialogs;
  Forms& forms;
};

// The result list the dialog renames in; the opener fills it before each show.
struct TRenameSource {
  TListView* Results = nullptr;
  TImageList* Images = nullptr;       // receives the icon of a row given a new extension
  std::function<void()> RowsRenamed;  // after a run that renamed rows (the list re-sorts)
};

class Tfrm_ren_files : public TForm {
 public:
  explicit Tfrm_ren_files(TRenameFilesPorts ports);

  TLabel Label1;
  TLabel Label2;
  TLabel Label3;
  TLabel Label4;
  TEdit edt_prefix;
  TEdit edt_sufix;
  TCheckBox Check_Rem;
  TEdit Edt_first;
  TUpDown UpDown1;
  TEdit Edt_num;
  TUpDown UpDown2;
  TCheckBox Check_ext;
  TEdit Edt_ext;
  TButton Button1;
  TButton Button2;
  TButton Button3;

  TRenameAnswer rename_answer;
  TFrm_Rename_msg Frm_Rename_msg{rename_answer};
  TRenameSource Source;

  void Check_RemClick();
  void Check_extClick();
  // Renames the selected rows' files, each row once, in list order.
  void Button2Click();
  void Button3Click();

 private:
  // Renames one row's file; false when the run is to stop.
  bool RenameRow(TListItem& row);
  void ShowError(const std::string& text);
  // Asks about a taken name; false when the run is to stop.
  bool AskAboutTakenName(const std::string& newFullName, const std::string& newName);

  TRenameFilesPorts ports_;
};

}  // namespace velmora

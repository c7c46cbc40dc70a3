#pragma once

// What the two ignore-list dialogs share: a label, a one-column list whose rows hold one entry
// each (in the order loaded or added, never edited in place), the Delete key that removes the
// selected rows, and "Ok" / "Cancel". Only "Ok" writes, in one save.

#include <functional>
#include <string>
#include <vector>

#include "app/Controls.h"
#include "app/Form.h"
#include "settings/Un_MyRegistry.h"

namespace velmora {

class TIgnoreListForm : public TForm {
 public:
  TLabel Label1;
  TListView ListView1;
  TButton btn_ok;
  TButton btn_cancel;

  // The Delete key removes the selected rows.
  void ListView1KeyDown(int key);
  // Cancel (like the close box) writes nothing.
  void btn_cancelClick();

  // The row captions, in row order.
  std::vector<std::string> Entries() const;

 protected:
  // `which` names the stored list ("Path" or "Mask"), shown in a column of that name.
  TIgnoreListForm(std::string caption, TMy_Registry& registry, std::string which, bool multiSelect);
  // The rows of the stored list.
  void LoadRows();
  void AppendRow(const std::string& entry);
  // Writes the rows, and whatever `alsoWrite` writes, in one save; then closes with Ok.
  void WriteAndClose(const std::function<void()>& alsoWrite = {});

  TMy_Registry& registry_;

 private:
  std::string which_;
};

}  // namespace velmora

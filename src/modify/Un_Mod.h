#pragma once

// Tfrm_mod: the chooser of the lines a modification run changes in one listed file. It shows
// the lines the engine listed, split into "Found On :" (not chosen, kept in the locale's text
// order without case) and "Marked To Change :" (chosen, in arrival order), and on OK writes the
// chosen 0-based indexes as the "Mod" text of the result list's first selected row. The main
// window lends it the engine's lists and its result list before each show.

#include <cstddef>
#include <string>
#include <vector>

#include "app/Controls.h"
#include "app/Form.h"
#include "ports/Dialogs.h"
#include "ports/Locale.h"

namespace velmora {

// What the chooser reads and writes outside itself; the opener fills it before each show.
struct TModSource {
  bool HasIntervals = false;             // the search type has intervals ("Phrase", "Reg Expr")
  std::vector<std::size_t> LineNumbers;  // the 0-based lines the engine listed, in file order
  std::vector<std::size_t> Intervals;    // those a run would change
  TListView* Results = nullptr;          // its first selected row receives the "Mod" text
};

class Tfrm_mod : public TForm {
 public:
  explicit Tfrm_mod(const Locale& locale);

  TLabel SrcLabel;
  TLabel DstLabel;
  TListBox SrcList;
  TListBox DstList;
  TButton IncludeBtn;
  TButton IncAllBtn;
  TButton ExcludeBtn;
  TButton ExAllBtn;
  TButton OKBtn;
  TButton CancelBtn;

  TModSource Source;

  void FormShow() override;
  void IncludeBtnClick();
  void IncAllBtnClick();
  void ExcludeBtnClick();
  void ExcAllBtnClick();
  // Writes the "Mod" text and closes with OK. Cancel closes without a handler of its own.
  void OKBtnClick();

  // The "Mod" text of DstList: its 0-based indexes in list order, joined by ",".
  std::string ModText() const;

 private:
  void MoveSelected(TListBox& from, TListBox& to);
  void MoveAll(TListBox& from, TListBox& to);
  // Adds the item unselected; SrcList keeps its order.
  void Add(TListBox& list, TListBoxItem item);
  void Focus(TListBox& list);
  void UpdateButtons();

  const Locale& locale_;
};

}  // namespace velmora

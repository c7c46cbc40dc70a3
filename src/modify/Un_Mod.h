#pragma once

// Tfrm_mod: the chooser of the lines a modification run changes in one listed file. It shows
// the lines the engine listed, split into "Found On :" (not chosen, kept in the locale's text
// order without case) and "Marked To Change :" (chosen, in arrival order), and on OK writes the
// chosen 0-based indexes as the "Mod" text of the result list's first selected row. The main
// window lends it the engine's lists and its result list before each show.

#include <string>
#include <vector>

#include "app/Controls.h"
#include "ports/Dialogs.h"
#include "ports/Locale.h"

namespace velmora {

// What the chooser reads and writes outside itself; the opener fills it before each show.
struct TModSource {
  bool HasIntervals = false;  // the search type has intervals ("Phrase", "Reg Expr")
  const std::vector<std::string>* LineNumbers = nullptr;  // 0-based indexes, as text
  const std::vector<std::string>* Intervals = nullptr;    // the indexes a run would change
  TListView* Results = nullptr;  // its first selected row receives the "Mod" text
};

class Tfrm_mod {
 public:
  explicit Tfrm_mod(const Locale& locale);

  std::string Caption = "Choices Dialog";
  int ClientWidth = 345;
  int ClientHeight = 252;
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
  ModalResult Result = ModalResult::None;

  TModSource Source;

  void FormShow();
  void IncludeBtnClick();
  void IncAllBtnClick();
  void ExcludeBtnClick();
  void ExcAllBtnClick();
  void OKBtnClick();

  // The "Mod" text of DstList: its 0-based indexes in list order, joined by ",".
  std::string ModText() const;

 private:
  void MoveSelected(TListBox& from, TListBox& to);
  void MoveAll(TListBox& from, TListBox& to);
  void Add(TListBox& list, std::string text);
  void Focus(TListBox& list);
  void UpdateButtons();

  const Locale& locale_;
};

}  // namespace velmora

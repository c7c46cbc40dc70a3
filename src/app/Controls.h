#pragma once

// The state of a window's controls as plain values. A controller holds one member per control,
// named like the control; the view copies these values to its widgets after every handler and
// writes user input back before calling one. Nothing here draws or knows a toolkit.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "ports/Shell.h"

namespace velmora {

// Position and size inside the parent, in pixels. A view applies only what a controller
// set (values below zero are "as laid out").
struct TBounds {
  int Left = -1;
  int Top = -1;
  int Width = -1;
  int Height = -1;
};

struct TControl {
  bool Enabled = true;
  bool Visible = true;
  TBounds Bounds;
};

struct TButton : TControl {
  std::string Caption;
};

struct TLabel : TControl {
  std::string Caption;
};

struct TCheckBox : TControl {
  std::string Caption;
  bool Checked = false;
};

// Editable combo box: the edit text and the drop-down list of recently used entries.
struct TComboBox : TControl {
  std::string Text;
  std::vector<std::string> Items;
  bool InactiveColor = false;  // drawn with the inactive-border colour instead of the window's
};

// Multi-line edit; its text is its lines joined by LF, and a final line break when the text
// typed ends with one (a memo holding only a line break holds one blank line, not nothing).
struct TMemo : TControl {
  std::vector<std::string> Lines;
  bool FinalBreak = false;
  bool InactiveColor = false;

  std::string Text() const;
  void SetText(const std::string& text);  // splits at CR LF, lone CR and lone LF
};

struct TRadioGroup : TControl {
  std::string Caption;
  std::vector<std::string> Items;
  int ItemIndex = -1;  // -1: no item chosen
};

// A group of buttons (the regular-expression examples); only its place and visibility change.
struct TGroupBox : TControl {
  std::string Caption;
};

struct TPanel : TControl {};

// A bar between two panes; Position is the width of the first pane, -1 as laid out.
struct TSplitter : TControl {
  int Position = -1;
};

struct TMenuItem {
  std::string Caption;
  bool Enabled = true;
  bool Visible = true;
};

struct TTabSheet {
  std::string Caption;
  bool TabVisible = true;
};

struct TStatusPanel {
  std::string Text;
  int Width = 50;
};

struct TStatusBar {
  std::vector<TStatusPanel> Panels;
};

struct TListColumn {
  std::string Caption;
  int Width = 50;
};

// One row of a report-view list: the caption is the first column, the sub-items the others.
struct TListItem {
  std::string Caption;
  std::vector<std::string> SubItems;
  int ImageIndex = -1;
  bool Selected = false;
  bool Checked = false;  // the row's check box, in lists that show them
};

// A report-view list over plain rows. Generation changes whenever rows are removed, reordered
// or replaced wholesale, so a view can tell "rows were appended" (same generation, more rows)
// from "start again" without comparing rows.
struct TListView : TControl {
  std::vector<TListColumn> Columns;
  std::vector<TListItem> Items;
  bool MultiSelect = true;
  bool Sorted = false;
  bool Checkboxes = false;  // each row shows a check box (its Checked)
  bool Focused = false;     // the list asked for the keyboard focus
  std::uint64_t Generation = 0;

  // Index of the first selected row, -1 when none.
  int SelectedIndex() const;
  int SelectedCount() const;
  void Clear();
  // Rows changed in place (captions, sub-items): a view redraws them.
  void Touch() { ++Generation; }
};

// One entry of a list box.
struct TListBoxItem {
  std::string Text;
  bool Selected = false;
  std::size_t Tag = 0;  // a number the owner keeps with the item; the view ignores it
};

// A list box of texts. The controller keeps the order (a sorted list box inserts in its
// collation order); the view only shows it, its selection and the focus request.
struct TListBox : TControl {
  std::vector<TListBoxItem> Items;
  bool MultiSelect = true;
  bool Focused = false;  // the list asked for the keyboard focus
};

// A one-line text field.
struct TEdit : TControl {
  std::string Text;
};

// Spin buttons beside a number field: they step the field's number within Min..Max and
// bound nothing else, so a typed or stored number outside the range stays as it is.
struct TUpDown : TControl {
  int Min = 0;
  int Max = 100;
};

// A radio button; the controller keeps the buttons of one group exclusive.
struct TRadioButton : TControl {
  std::string Caption;
  bool Checked = false;
};

// A date picker: the date (midnight of the day) shown in Format (pattern letters of Locale).
struct TDateTimePicker : TControl {
  TDateTime Date = 0;
  std::string Format = "yyyy-MM-dd";
};

// A drop-down list without an edit field: the chosen item's index, -1 when none.
struct TDropDownList : TControl {
  std::vector<std::string> Items;
  int ItemIndex = -1;
};

// Key codes a controller's key handlers are given.
inline constexpr int VK_DELETE = 46;

// The icons of a list's rows, one entry per added row.
struct TImageList {
  std::vector<IconHandle> Icons;
  int Add(const IconHandle& icon) {
    Icons.push_back(icon);
    return static_cast<int>(Icons.size()) - 1;
  }
  void Clear() { Icons.clear(); }
};

}  // namespace velmora

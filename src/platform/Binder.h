#pragma once

// Keeps widgets and a controller's control state in step. Each Bind call records how one
// widget shows one control (Push: state to widget, with the widget's signals blocked) and how
// user input goes back (Pull: widget to state). On() wires a widget's signal to a handler.
// Handlers run through Invoke: pull, call, push, and an error that escapes the handler is
// shown in a message box, which ends that command only. Lists are bound as well: the result
// list's rows (a table model, so 100,000 rows cost no widget per row) with their selection and
// check boxes, and list boxes with theirs.

#include <QIcon>
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/Controls.h"
#include "app/Form.h"
#include "ports/Dialogs.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QStatusBar;
class QTreeView;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace velmora {

class NumberSpinEdit;
class RadioGroup;
class ResultModel;

// Bytes as shown: UTF-8 decoded, every byte that is not part of valid UTF-8 as "\xHH". Shown
// text is never used to reach a file.
QString ToQt(const std::string& bytes);
std::string FromQt(const QString& text);

// How a report list answers the user: a row's selection changed (once per user action, for
// the last row that changed), a row's check box was toggled.
struct ListEvents {
  std::function<void(int row, bool selected)> selectItem;
  std::function<void(int row)> checkItem;
};

class Binder {
 public:
  using IconLookup = std::function<QIcon(const IconHandle&)>;

  Binder(Dialogs& dialogs, TForm& form) : dialogs_(dialogs), form_(form) {}

  void Bind(QWidget* widget, TControl& state);  // enabled, visible, bounds set by the state
  void Bind(QAbstractButton* widget, TButton& state);
  void Bind(QCheckBox* widget, TCheckBox& state);
  void Bind(QComboBox* widget, TComboBox& state);
  void Bind(QPlainTextEdit* widget, TMemo& state);
  void Bind(RadioGroup* widget, TRadioGroup& state);
  void Bind(QLabel* widget, TLabel& state);
  // The items of one menu or of the menu bar (a sub-menu by its menuAction()): each caption
  // gets a mnemonic that no other item of the same menu has.
  void BindMenu(std::vector<std::pair<QAction*, TMenuItem*>> items);
  void Bind(QStatusBar* bar, TStatusBar& state);  // one label per panel
  // A report list over the rows; returns its model.
  ResultModel* Bind(QTreeView* view, TListView& list, const TImageList& images, IconLookup icons,
                    ListEvents events = {});
  void Bind(QListWidget* widget, TListBox& state, std::function<void()> selectionChanged = {});
  void Bind(QLineEdit* widget, TEdit& state);
  void Bind(NumberSpinEdit* widget, TEdit& state, const TUpDown& range);
  void Bind(QRadioButton* widget, TRadioButton& state);
  void Bind(QDateEdit* widget, TDateTimePicker& state);
  void Bind(QComboBox* widget, TDropDownList& state);
  void Bind(QGroupBox* widget, TGroupBox& state);
  // Anything else: a pair of functions.
  void Bind(std::function<void()> push, std::function<void()> pull = {});

  // Runs `handler` whenever `sender` emits `signal` (the signal's arguments are not used).
  template <class Sender, class Signal>
  void On(Sender* sender, Signal signal, std::function<void()> handler) {
    QObject::connect(sender, signal, sender, [this, handler] { Invoke(handler); });
  }

  // Like On, but the handler runs once the event that raised the signal has been answered: a
  // handler that opens a modal window must not hold up an assistive technology's request
  // (an accessibility action waits for its reply until the window closes).
  template <class Sender, class Signal>
  void OnQueued(Sender* sender, Signal signal, std::function<void()> handler) {
    QObject::connect(
        sender, signal, sender, [this, handler] { Invoke(handler); }, Qt::QueuedConnection);
  }

  // Runs `handler` when an item of the group becomes checked, however that happened (mouse,
  // keyboard, an accessibility action).
  void OnChosen(RadioGroup* group, std::function<void()> handler);

  void Push();
  void Pull();

  // Runs a handler as the answer to user input, then whatever the form deferred meanwhile.
  void Invoke(const std::function<void()>& handler);

 private:
  Dialogs& dialogs_;
  TForm& form_;
  std::vector<std::function<void()>> push_;
  std::vector<std::function<void()>> pull_;
};

// A widget without a caption of its own is announced under the text of the label beside it.
void NameAfter(Binder& b, QWidget* widget, const TLabel& label);

}  // namespace velmora

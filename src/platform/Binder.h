#pragma once

// Keeps widgets and a controller's control state in step. Each Bind call records how one
// widget shows one control (Push: state to widget, with the widget's signals blocked) and how
// user input goes back (Pull: widget to state). Handlers run through Invoke: pull, call,
// push, and an error that escapes the handler is shown in a message box, which ends that
// command only.

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/Controls.h"
#include "ports/Dialogs.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace velmora {

class RadioGroup;

// Bytes as shown: UTF-8 decoded, every byte that is not part of valid UTF-8 as "\xHH". Shown
// text is never used to reach a file.
QString ToQt(const std::string& bytes);
std::string FromQt(const QString& text);

class Binder {
 public:
  explicit Binder(Dialogs& dialogs, std::string caption)
      : dialogs_(dialogs), caption_(std::move(caption)) {}

  void Bind(QWidget* widget, TControl& state);  // enabled, visible, bounds set by the state
  void Bind(QAbstractButton* widget, TButton& state);
  void Bind(QCheckBox* widget, TCheckBox& state);
  void Bind(QComboBox* widget, TComboBox& state);
  void Bind(QPlainTextEdit* widget, TMemo& state);
  void Bind(RadioGroup* widget, TRadioGroup& state);
  void Bind(QLabel* widget, TLabel& state);
  void Bind(QAction* action, TMenuItem& state);
  // Anything else: a pair of functions.
  void Bind(std::function<void()> push, std::function<void()> pull = {});

  void Push();
  void Pull();

  // Runs a handler as the answer to user input.
  void Invoke(const std::function<void()>& handler);

 private:
  Dialogs& dialogs_;
  std::string caption_;
  std::vector<std::function<void()>> push_;
  std::vector<std::function<void()>> pull_;
};

}  // namespace velmora

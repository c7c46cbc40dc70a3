#pragma once

// The program's modal windows: a registry of views by controller type. Each view is the form's
// Designer file (compiled by AUTOUIC into a Ui class whose members carry the controls' names)
// and one function that binds its widgets to the controller and wires its events.

#include <QDialog>
#include <functional>
#include <map>
#include <typeindex>
#include <utility>

#include "app/Form.h"
#include "platform/Binder.h"

namespace velmora {

// A modal window over one controller: shows it, runs FormShow and FormClose, closes when the
// controller asks to, and answers with the controller's ModalAnswer (Cancel when the user
// closed it otherwise).
class ModalView : public QDialog {
 public:
  ModalView(TForm& form, Dialogs& dialogs);
  ~ModalView() override;
  ModalResult Run();
  Binder& Bindings() { return binder_; }

 protected:
  void done(int result) override;

 private:
  TForm& form_;
  Binder binder_;
  bool closed_ = false;
};

template <class Ui>
class FormDialog : public ModalView {
 public:
  FormDialog(TForm& form, Dialogs& dialogs) : ModalView(form, dialogs) { ui.setupUi(this); }
  Ui ui;
};

class QtForms : public Forms {
 public:
  explicit QtForms(Dialogs& dialogs) : dialogs_(dialogs) {}

  // Views of the controller type `Form` are made from the form file's `Ui` class and bound by
  // `bind`.
  template <class Form, class Ui>
  void Register(std::function<void(Form&, Ui&, Binder&)> bind) {
    views_[std::type_index(typeid(Form))] = [this, bind = std::move(bind)](TForm& form) {
      FormDialog<Ui> view(form, dialogs_);
      bind(static_cast<Form&>(form), view.ui, view.Bindings());
      return view.Run();
    };
  }

  // A controller without a registered view is a programming error: it throws.
  ModalResult ShowModal(TForm& form) override;

 private:
  Dialogs& dialogs_;
  std::map<std::type_index, std::function<ModalResult(TForm&)>> views_;
};

}  // namespace velmora

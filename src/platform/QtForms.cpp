#include "platform/QtForms.h"

#include <QApplication>
#include <stdexcept>
#include <string>

namespace velmora {

ModalView::ModalView(TForm& form, Dialogs& dialogs)
    : QDialog(QApplication::activeWindow()), form_(form), binder_(dialogs, form) {
  form_.OnCloseRequest = [this] { done(QDialog::Accepted); };
}

ModalView::~ModalView() {
  form_.OnCloseRequest = nullptr;
}

ModalResult ModalView::Run() {
  setWindowTitle(ToQt(form_.Caption));
  if (form_.Width > 0 && form_.Height > 0) resize(form_.Width, form_.Height);
  binder_.Push();
  binder_.Invoke([this] { form_.FormShow(); });
  exec();
  return form_.ModalAnswer;
}

void ModalView::done(int result) {
  if (!closed_) {
    bool mayClose = true;
    binder_.Invoke([this, &mayClose] { mayClose = form_.FormCloseQuery(); });
    if (!mayClose) {
      form_.ModalAnswer = ModalResult::None;
      return;
    }
    closed_ = true;
    if (form_.ModalAnswer == ModalResult::None) form_.ModalAnswer = ModalResult::Cancel;
    binder_.Invoke([this] { form_.FormClose(); });
  }
  QDialog::done(result);
}

ModalResult QtForms::ShowModal(TForm& form) {
  const auto found = views_.find(std::type_index(typeid(form)));
  if (found == views_.end())
    throw std::logic_error("No view is registered for the window \"" + form.Caption + "\"");
  return found->second(form);
}

}  // namespace velmora

#pragma once

// The standard dialogs through Qt: QFileDialog, QInputDialog, QMessageBox, and the program's
// own modal windows, registered by form name.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "ports/Dialogs.h"

namespace velmora {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  bool PickFolder(const std::string& title, const std::string& initial,
                  std::string& chosen) override;
  bool OpenFile(const std::string& title, const std::string& filter,
                const std::string& initialFolder, std::string& chosen) override;
  bool OpenProgram(const std::string& title, const std::string& initialFolder,
                   std::string& chosen) override;
  bool SaveFile(const std::string& title, const std::string& filter,
                const std::string& initialFolder, const std::string& defaultExt,
                std::string& chosen) override;
  bool InputQuery(const std::string& caption, const std::string& prompt,
                  std::string& value) override;
  ModalResult MessageBox(const std::string& text, const std::string& caption, MsgKind kind,
                         MsgButtons buttons) override;
  ModalResult ShowModal(const std::string& formName) override;

  // Registers how a modal window of the program is shown; the function returns its result.
  void Register(const std::string& formName, std::function<ModalResult()> show) {
    forms_[formName] = std::move(show);
  }

 private:
  QPointer<QWidget> parent_;
  std::map<std::string, std::function<ModalResult()>> forms_;
};

}  // namespace velmora

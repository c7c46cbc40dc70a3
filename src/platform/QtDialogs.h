#pragma once

// The standard dialogs through Qt: QFileDialog, QInputDialog, QMessageBox, over the window
// that is active when they open.

#include <string>

#include "ports/Dialogs.h"

namespace velmora {

class QtDialogs : public Dialogs {
 public:
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
  // Windows are shown by controller through QtForms; a name finds none.
};

}  // namespace velmora

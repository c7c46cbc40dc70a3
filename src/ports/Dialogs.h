#pragma once

// The standard dialogs a controller may open: folder picker, open and save file, a text input
// box and message boxes. The program's own modal windows are shown through Forms (app/Form.h).

#include <string>

namespace velmora {

enum class MsgKind { Information, Warning, Error, Confirmation };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class ModalResult { None, Ok, Cancel, Yes, No };

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Folder picker titled `title`, starting at `initial`. True and `chosen` set on confirm.
  virtual bool PickFolder(const std::string& title, const std::string& initial,
                          std::string& chosen) = 0;
  // `filter` lists patterns such as "List files (*.lst)". True and `chosen` set on confirm.
  virtual bool OpenFile(const std::string& title, const std::string& filter,
                        const std::string& initialFolder, std::string& chosen) = 0;
  // An open-file dialog that lists executable files only (and folders to walk through).
  virtual bool OpenProgram(const std::string& title, const std::string& initialFolder,
                           std::string& chosen) = 0;
  virtual bool SaveFile(const std::string& title, const std::string& filter,
                        const std::string& initialFolder, const std::string& defaultExt,
                        std::string& chosen) = 0;
  // Text input box; `value` holds the initial text and, on confirm (true), the answer.
  virtual bool InputQuery(const std::string& caption, const std::string& prompt,
                          std::string& value) = 0;
  virtual ModalResult MessageBox(const std::string& text, const std::string& caption, MsgKind kind,
                                 MsgButtons buttons) = 0;
};

}  // namespace velmora

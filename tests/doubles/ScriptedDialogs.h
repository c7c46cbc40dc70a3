#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ports/Dialogs.h"

namespace velmora::testing {

// Answers dialogs from queues filled by the test and records every message box. An empty answer
// queue means the user cancelled.
class ScriptedDialogs : public Dialogs {
 public:
  struct Message {
    std::string text;
    std::string caption;
    MsgKind kind;
    MsgButtons buttons;
  };

  bool PickFolder(const std::string& title, const std::string& initial,
                  std::string& chosen) override {
    pickTitles.push_back(title);
    pickInitials.push_back(initial);
    return Take(folders, chosen);
  }
  bool OpenFile(const std::string&, const std::string&, const std::string&,
                std::string& chosen) override {
    return Take(files, chosen);
  }
  bool OpenProgram(const std::string&, const std::string& initialFolder,
                   std::string& chosen) override {
    programInitials.push_back(initialFolder);
    return Take(files, chosen);
  }
  bool SaveFile(const std::string&, const std::string&, const std::string&, const std::string&,
                std::string& chosen) override {
    return Take(files, chosen);
  }
  bool InputQuery(const std::string&, const std::string&, std::string& value) override {
    return Take(inputs, value);
  }
  ModalResult MessageBox(const std::string& text, const std::string& caption, MsgKind kind,
                         MsgButtons buttons) override {
    messages.push_back({text, caption, kind, buttons});
    if (answers.empty()) return buttons == MsgButtons::Ok ? ModalResult::Ok : ModalResult::Cancel;
    ModalResult r = answers.front();
    answers.pop_front();
    return r;
  }

  std::deque<std::string> folders, files, inputs;
  std::deque<ModalResult> answers;
  std::vector<Message> messages;
  std::vector<std::string> pickTitles, pickInitials, programInitials;

 private:
  static bool Take(std::deque<std::string>& queue, std::string& out) {
    if (queue.empty()) return false;
    out = queue.front();
    queue.pop_front();
    return true;
  }
};

}  // namespace velmora::testing

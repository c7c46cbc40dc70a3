#pragma once

// What every window controller shares: caption and size, the show and close handlers, the
// close request the view answers, and one busy guard. A synchronous command (a search walk)
// lets window messages run while it works, so handlers can arrive while it is on the stack;
// a handler that must not run on top of it is deferred until the command has returned.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ports/Dialogs.h"

namespace velmora {

class TForm {
 public:
  TForm(std::string caption, int width, int height)
      : Caption(std::move(caption)), Width(width), Height(height) {}
  virtual ~TForm() = default;
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  std::string Caption;
  int Width;
  int Height;
  // The window's place on the desktop; -1: centred.
  int Left = -1;
  int Top = -1;
  // The answer of a modal window, set before it asks to be closed.
  ModalResult ModalAnswer = ModalResult::None;

  virtual void FormShow() {}
  // Asked before the window closes, whatever closes it; false keeps the window open.
  virtual bool FormCloseQuery() { return true; }
  virtual void FormClose() {}

  // Set by the view: closes the window through the view's close path (which runs FormClose).
  std::function<void()> OnCloseRequest;
  // Closes the window; without a view FormCloseQuery and FormClose run at once.
  void Close();
  // Closes a modal window with an answer; the answer stays None when FormCloseQuery refused.
  void CloseModal(ModalResult answer);

  // True while a synchronous command of the window is on the stack.
  bool Busy() const { return busy_ > 0; }
  // Runs `handler` now when the window is not busy, else once the busy command has returned.
  // A handler deferred twice under the same name runs once.
  void WhenIdle(const std::string& name, std::function<void()> handler);
  // Runs the deferred handlers when the window is no longer busy; views call it after each
  // handler.
  void RunDeferred();

 protected:
  // Marks the window busy for the life of the scope, also when the command throws.
  class BusyScope {
   public:
    explicit BusyScope(TForm& form) : form_(form) { ++form_.busy_; }
    ~BusyScope() { --form_.busy_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    TForm& form_;
  };

 private:
  int busy_ = 0;
  std::vector<std::pair<std::string, std::function<void()>>> deferred_;
};

// Shows the program's modal windows: a view is made for the controller's type and shown until
// the controller asks to be closed. Returns the controller's answer.
class Forms {
 public:
  virtual ~Forms() = default;
  virtual ModalResult ShowModal(TForm& form) = 0;
};

}  // namespace velmora

#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/Form.h"

namespace velmora::testing {

// Records the caption of every modal window shown; `answer` plays the user (it may call the
// form's handlers) before the window returns its answer.
class RecordingForms : public Forms {
 public:
  ModalResult ShowModal(TForm& form) override {
    shown.push_back(form.Caption);
    form.FormShow();
    if (answer) answer(form);
    form.FormClose();
    return form.ModalAnswer;
  }
  std::vector<std::string> shown;
  std::function<void(TForm&)> answer;
};

}  // namespace velmora::testing

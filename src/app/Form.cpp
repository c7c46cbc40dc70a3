#include "app/Form.h"

#include <algorithm>

namespace velmora {

void TForm::Close() {
  if (OnCloseRequest) {
    OnCloseRequest();
  } else if (FormCloseQuery()) {
    FormClose();
  } else {
    ModalAnswer = ModalResult::None;
  }
}

void TForm::CloseModal(ModalResult answer) {
  ModalAnswer = answer;
  Close();
}

void TForm::WhenIdle(const std::string& name, std::function<void()> handler) {
  if (!Busy()) {
    handler();
    return;
  }
  const bool queued = std::any_of(deferred_.begin(), deferred_.end(),
                                  [&name](const auto& entry) { return entry.first == name; });
  if (!queued) deferred_.emplace_back(name, std::move(handler));
}

void TForm::RunDeferred() {
  while (!Busy() && !deferred_.empty()) {
    auto handler = std::move(deferred_.front().second);
    deferred_.erase(deferred_.begin());
    handler();
  }
}

}  // namespace velmora

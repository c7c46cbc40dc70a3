#pragma once

#include <cstddef>
#include <functional>
#include <map>

#include "ports/EventPump.h"

namespace velmora::testing {

// Counts pump calls and runs the action scripted for a given call number (1-based), as if the
// user had clicked something while messages ran. `every` runs on each call.
class ScriptedEventPump : public EventPump {
 public:
  void ProcessPending() override {
    ++calls;
    if (every) every(calls);
    auto it = at.find(calls);
    if (it != at.end()) {
      auto action = it->second;
      at.erase(it);
      action();
    }
  }
  std::size_t calls = 0;
  std::map<std::size_t, std::function<void()>> at;
  std::function<void(std::size_t)> every;
};

}  // namespace velmora::testing

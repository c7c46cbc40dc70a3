#pragma once

// Lets the Qt event loop run from inside a synchronous command, at most once every ~15 ms
// however often it is called: the clock is read only every 16th call, so a call
// costs a counter increment most of the time. Before events run, `before` lets the view
// catch up with the controller (new rows, status texts).

#include <chrono>
#include <functional>

#include "ports/EventPump.h"

namespace velmora {

class QtEventPump : public EventPump {
 public:
  static constexpr int kCallsPerClockRead = 16;
  static constexpr std::chrono::milliseconds kInterval{15};

  void ProcessPending() override;
  // Runs events now, whatever the interval.
  void PumpNow();

  std::function<void()> before;

 private:
  int calls_ = 0;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace velmora

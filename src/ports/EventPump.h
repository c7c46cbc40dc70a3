#pragma once

// Lets pending window messages run in the middle of a synchronous command (a search run), so
// that Stop, a row click or closing the window reach it. Called once per reported file and once
// per examined line, so an adapter must make most calls nearly free.

namespace velmora {

class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void ProcessPending() = 0;
};

}  // namespace velmora

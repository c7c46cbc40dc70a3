#pragma once

// --timeout SECONDS for find, lines and modify: once the time is up, the engines' progress
// event sets their Stop flag, so the run ends as the window's Stop ends it; the command then
// reports the stop and exits with status 2.

#include <chrono>
#include <optional>

#include "cli/Args.h"
#include "engines/ActiveEngine.h"

namespace velmora::cli {

class RunDeadline {
 public:
  // The option as ParsedArgs::Parse knows it.
  static constexpr OptionSpec kOption{"timeout", true};

  // Reads --timeout (a positive number of seconds); without it the run has no deadline.
  // Throws UsageError for any other value.
  explicit RunDeadline(const ParsedArgs& parsed);

  // Binds every engine's progress event to the deadline.
  void Watch(EngineSet& engines);
  // Whether the time is up; once it is, the run has been told to stop.
  bool Stopped();
  // Throws the stop message when the deadline stopped the run.
  void ReportStop() const;

 private:
  std::optional<std::chrono::steady_clock::time_point> deadline_;
  std::optional<double> seconds_;
  bool stopped_ = false;
};

}  // namespace velmora::cli

#include "cli/RunDeadline.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace velmora::cli {

RunDeadline::RunDeadline(const ParsedArgs& parsed) {
  const auto text = parsed.Value(kOption.name);
  if (!text) return;
  char* end = nullptr;
  const double seconds = std::strtod(text->c_str(), &end);
  if (text->empty() || *end != '\0' || !std::isfinite(seconds) || seconds <= 0) {
    throw UsageError("--timeout needs a positive number of seconds, not \"" + *text + "\"");
  }
  seconds_ = seconds;
  deadline_ = std::chrono::steady_clock::now() +
              std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                  std::chrono::duration<double>(seconds));
}

void RunDeadline::Watch(EngineSet& engines) {
  if (!deadline_) return;
  engines.SetProgressEvent([this](void*, bool& stop) { stop = stop || Stopped(); });
}

bool RunDeadline::Stopped() {
  if (!stopped_ && deadline_ && std::chrono::steady_clock::now() >= *deadline_) stopped_ = true;
  return stopped_;
}

void RunDeadline::ReportStop() const {
  if (!stopped_) return;
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%g", *seconds_);
  throw std::runtime_error(std::string("Stopped: the time limit of ") + seconds +
                           " seconds was reached");
}

}  // namespace velmora::cli

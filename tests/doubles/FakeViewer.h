#pragma once

#include <string>
#include <vector>

#include "ports/Viewer.h"

namespace velmora::testing {

// Records every navigation; the last one is what the viewer shows.
class FakeViewer : public Viewer {
 public:
  void Navigate(const std::string& target) override { targets.push_back(target); }
  std::string Last() const { return targets.empty() ? std::string() : targets.back(); }
  std::vector<std::string> targets;
};

}  // namespace velmora::testing

#pragma once

// The embedded HTML viewer of a window (the main window's preview). It shows either a local
// page file or nothing at all ("about:blank").

#include <string>

namespace velmora {

// The one target that clears the viewer.
inline constexpr const char* kAboutBlank = "about:blank";

class Viewer {
 public:
  virtual ~Viewer() = default;
  // Shows the page file `target`, read afresh even when it is the page shown already;
  // kAboutBlank clears the viewer.
  virtual void Navigate(const std::string& target) = 0;
};

}  // namespace velmora

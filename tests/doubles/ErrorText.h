#pragma once

#include <functional>
#include <string>

namespace velmora::testing {

// The text of the `Error` the action throws, or "(no error)".
template <typename Error>
std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "(no error)";
}

}  // namespace velmora::testing

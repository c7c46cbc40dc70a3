#pragma once

// Registry surroundings with a fixed home, a clock late in the day and the given programs.

#include <map>
#include <string>

#include "base/DateTime.h"
#include "settings/Un_MyRegistry.h"

namespace velmora::testing {

inline RegistryEnvironment TestEnvironment(std::map<std::string, std::string> programs = {},
                                           std::string home = "/home/tester") {
  RegistryEnvironment environment;
  environment.home_folder = std::move(home);
  environment.find_program = [programs](const std::string& name) {
    const auto found = programs.find(name);
    return found == programs.end() ? std::string() : found->second;
  };
  environment.now = [] { return EncodeDate(2026, 12, 6) + EncodeTime(23, 59, 0); };
  return environment;
}

}  // namespace velmora::testing

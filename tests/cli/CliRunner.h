#pragma once

// Runs the built velmora-cli with arguments and collects its exit status, stdout and stderr.

#include <stdexcept>
#include <string>
#include <vector>

#include "doubles/TempFolder.h"

namespace velmora::testing {

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the executable directly (no shell), with stdin empty. Standard output goes to
// stdoutTo when given (result.out then stays empty).
CliResult RunCli(const std::vector<std::string>& args, const std::string& stdoutTo = "");

// Runs it so that permission bits bind even when the tests run as root (a file of mode 000
// cannot be read). Throws CannotDropOverride where that cannot be arranged.
struct CannotDropOverride : std::runtime_error {
  CannotDropOverride() : std::runtime_error("cannot drop the permission overrides") {}
};
CliResult RunCliWithoutAccessOverride(const std::vector<std::string>& args);

// The lines of a program's output, each ended by '\n'.
std::vector<std::string> OutputLines(const std::string& text);

}  // namespace velmora::testing

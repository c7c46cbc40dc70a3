#pragma once

// velmora-cli as a function: the executable's main only wires it to the process streams.

#include <ostream>
#include <span>
#include <string>

namespace velmora::cli {

// Where a command writes. flushEachLine makes found files appear at once (a terminal);
// otherwise output is buffered like grep's and find's.
struct Io {
  std::ostream& out;
  std::ostream& err;
  bool flushEachLine = false;
};

// Exit statuses shared by the commands.
inline constexpr int kExitFound = 0;
inline constexpr int kExitNotFound = 1;
inline constexpr int kExitError = 2;
inline constexpr int kExitRegexError = 3;

// Runs one command line (the arguments after the program name) and returns the exit status.
int RunCli(std::span<const std::string> args, Io& io);

// The usage text printed by --help and after bad arguments.
const char* UsageText();

}  // namespace velmora::cli

// velmora-cli: the headless front end over the finder and the engines.

#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  velmora::cli::Io io{std::cout, std::cerr, isatty(STDOUT_FILENO) != 0};
  const int status = velmora::cli::RunCli(args, io);
  std::cout.flush();
  if (!std::cout) {
    // A full disk or a closed pipe must not pass for a complete listing.
    std::cerr << "velmora-cli: write error on standard output\n";
    return velmora::cli::kExitError;
  }
  return status;
}

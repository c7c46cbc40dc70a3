#pragma once

// One function per velmora-cli command; each gets the arguments after the command word and
// throws UsageError for bad arguments. Other exceptions end the command with exit status 2.

#include <span>
#include <string>

#include "cli/Cli.h"

namespace velmora::cli {

int RunFind(std::span<const std::string> args, Io& io);
int RunLines(std::span<const std::string> args, Io& io);
int RunModify(std::span<const std::string> args, Io& io);
int RunRegex(std::span<const std::string> args, Io& io);
int RunMask(std::span<const std::string> args, Io& io);

}  // namespace velmora::cli

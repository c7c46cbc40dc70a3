#pragma once

// Starting a program detached from this process with byte-exact arguments. Qt's own starter
// takes QString arguments and re-encodes them, which turns a file name that is not valid
// UTF-8 into one that does not exist; here every argument reaches execve unchanged.

#include <string>
#include <vector>

namespace velmora {

// The program's full name: `program` itself when it holds a "/", else the first executable
// regular file of that name in a folder of PATH; empty when there is none.
std::string FindExecutable(const std::string& program);

// Starts `program` (looked up as FindExecutable does) with `arguments` as argv[1..], in a new
// session, never through a shell, and without waiting for it. True when it was executed.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace velmora

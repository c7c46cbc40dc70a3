#pragma once

// Runs the built velmora-cli with arguments and collects its exit status, stdout and stderr;
// and makes throw-away folder trees for it to work on.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

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

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  // Root-relative name as a string, e.g. Path("a/b.txt").
  std::string Path(const std::string& relative) const;
  // Writes bytes to a root-relative file, creating its folders.
  std::string Write(const std::string& relative, const std::string& bytes) const;

 private:
  std::filesystem::path root_;
};

std::string ReadFile(const std::string& fileName);

// The lines of a program's output, each ended by '\n'.
std::vector<std::string> OutputLines(const std::string& text);

}  // namespace velmora::testing

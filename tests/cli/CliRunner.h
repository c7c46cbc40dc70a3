#pragma once

// Runs the built velmora-cli with arguments and collects its exit status, stdout and stderr;
// and makes throw-away folder trees for it to work on.

#include <filesystem>
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

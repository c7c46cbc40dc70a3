#include "cli/CliRunner.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace velmora::testing {

std::vector<std::string> OutputLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

namespace {

// Exit status of a child that could not give up the permission overrides.
constexpr int kCannotDropOverride = 125;

// In the child, before exec: root keeps the overrides across exec unless they leave the
// bounding set.
void DropAccessOverride() {
  if (::geteuid() != 0) return;
  if (::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE) != 0 ||
      ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH) != 0) {
    _exit(kCannotDropOverride);
  }
}

CliResult Run(const std::vector<std::string>& args, const std::string& stdoutTo,
              bool withoutAccessOverride) {
  const TempFolder capture;
  const std::string outName = stdoutTo.empty() ? capture / "out" : stdoutTo;
  const std::string errName = capture / "err";

  std::vector<std::string> argv{VELMORA_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargv;
  for (std::string& arg : argv) cargv.push_back(arg.data());
  cargv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("cannot start " + argv[0]);
  if (pid == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
        ::dup2(err, 2) < 0) {
      _exit(127);
    }
    if (withoutAccessOverride) DropAccessOverride();
    ::execv(cargv[0], cargv.data());
    _exit(127);
  }
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);

  CliResult result;
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  if (result.status == kCannotDropOverride) throw CannotDropOverride();
  if (stdoutTo.empty()) result.out = ReadWholeFile(outName);
  result.err = ReadWholeFile(errName);
  return result;
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::string& stdoutTo) {
  return Run(args, stdoutTo, false);
}

CliResult RunCliWithoutAccessOverride(const std::vector<std::string>& args) {
  return Run(args, "", true);
}

}  // namespace velmora::testing

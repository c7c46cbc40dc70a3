#include "platform/DetachedProcess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace velmora {

namespace {

bool IsExecutableFile(const std::string& name) {
  struct stat info {};
  return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(name.c_str(), X_OK) == 0;
}

void CloseQuietly(int fd) {
  if (fd >= 0) ::close(fd);
}

// In the forked child only: async-signal-safe calls, then _exit.
[[noreturn]] void RunGrandchild(const std::string& path, std::vector<char*>& argv, int report) {
  ::setsid();
  const pid_t grandchild = ::fork();
  if (grandchild == 0) {
    ::execve(path.c_str(), argv.data(), environ);
    const int error = errno;
    (void)!::write(report, &error, sizeof error);
    ::_exit(127);
  }
  if (grandchild < 0) {
    const int error = errno;
    (void)!::write(report, &error, sizeof error);
  }
  ::_exit(0);
}

}  // namespace

std::string FindExecutable(const std::string& program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : "";
  const char* path = std::getenv("PATH");
  const std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::string::size_type begin = 0;
  while (begin <= folders.size()) {
    auto end = folders.find(':', begin);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > begin ? folders.substr(begin, end - begin) : ".";
    const std::string candidate = folder + "/" + program;
    if (IsExecutableFile(candidate)) return candidate;
    begin = end + 1;
  }
  return {};
}

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
  const std::string path = FindExecutable(program);
  if (path.empty()) return false;
  // Everything the child needs is built before fork: after it only async-signal-safe calls.
  std::vector<std::string> strings{program};
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);

  // The grandchild reports a failed execve through this pipe; a successful one closes it.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = ::fork();
  if (child < 0) {
    CloseQuietly(report[0]);
    CloseQuietly(report[1]);
    return false;
  }
  if (child == 0) {
    ::close(report[0]);
    RunGrandchild(path, argv, report[1]);
  }
  ::close(report[1]);
  int error = 0;
  ssize_t got = 0;
  do {
    got = ::read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return got == 0;
}

}  // namespace velmora

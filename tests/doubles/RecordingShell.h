#pragma once

// Test double of the shell port: records every request, answers from its members, and
// gives each extension a distinct icon so tests can tell icons apart.

#include <string>
#include <vector>

#include "ports/Shell.h"

namespace velmora::testing {

class RecordingShell : public Shell {
 public:
  struct Start {
    std::string program;
    std::string argument;
  };

  std::vector<std::string> opened;
  std::vector<Start> started;
  std::vector<std::string> trashed;
  std::vector<std::string> iconRequests;

  bool openResult = true;
  bool startResult = true;
  bool trashResult = true;  // a refused move records nothing in trashed

  bool OpenFile(const std::string& fileName) override {
    opened.push_back(fileName);
    return openResult;
  }

  bool StartProgram(const std::string& program, const std::string& argument) override {
    started.push_back({program, argument});
    return startResult;
  }

  bool MoveToTrash(const std::string& fileName) override {
    if (trashResult) trashed.push_back(fileName);
    return trashResult;
  }

  // "small:txt", "large:" (no extension) and so on.
  IconHandle FileIcon(const std::string& fileName, bool small) override {
    iconRequests.push_back(fileName);
    return std::string(small ? "small:" : "large:") + ExtensionOf(fileName);
  }

  static std::string ExtensionOf(const std::string& fileName) {
    const auto slash = fileName.find_last_of('/');
    const auto dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return fileName.substr(dot + 1);
  }
};

}  // namespace velmora::testing

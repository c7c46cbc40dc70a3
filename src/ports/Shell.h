#pragma once

// The desktop shell as the core sees it: opening documents, starting programs, the trash and
// file-type icons. The Qt adapter lives in platform/; tests use a recording double.

#include <string>

namespace velmora {

// An icon the view can resolve (an icon name or cache key); empty means "no icon".
using IconHandle = std::string;

class Shell {
 public:
  virtual ~Shell() = default;

  // Opens the file with the program associated with its type. True when the request was
  // handed over; callers that do not care may ignore the result.
  virtual bool OpenFile(const std::string& fileName) = 0;

  // Starts program with argument as one argv element (never through a shell, never quoted).
  // True when the program was started.
  virtual bool StartProgram(const std::string& program, const std::string& argument) = 0;

  // Moves the file to the desktop trash. True only when it was moved there.
  virtual bool MoveToTrash(const std::string& fileName) = 0;

  // The icon of the file's type, chosen by the extension of the name alone: the file is
  // neither opened nor required to exist. small picks the list-sized icon.
  virtual IconHandle FileIcon(const std::string& fileName, bool small) = 0;
};

}  // namespace velmora

#pragma once

// The desktop shell through Qt: documents open with their associated program (the desktop's
// opener, xdg-open, started with the file name as its argument), programs start with their
// argument as one argv element, files go to the freedesktop trash, and file-type icons come
// from the icon theme by the MIME type of the name's extension, once per extension. File
// names reach the programs as the exact bytes the finder reported.

#include <QHash>
#include <QIcon>
#include <QString>
#include <string>
#include <unordered_map>

#include "ports/Shell.h"

namespace velmora {

class QtShell : public Shell {
 public:
  // `opener` opens a document given as its one argument.
  explicit QtShell(std::string opener = "xdg-open") : opener_(std::move(opener)) {}

  bool OpenFile(const std::string& fileName) override;
  bool StartProgram(const std::string& program, const std::string& argument) override;
  bool MoveToTrash(const std::string& fileName) override;
  IconHandle FileIcon(const std::string& fileName, bool small) override;

  // The icon a handle names (a theme icon name); a generic file icon when the theme has none.
  QIcon Icon(const IconHandle& handle);

  // Makes theme icons resolvable on any platform plugin: adds /usr/share/icons to the search
  // path and falls back to Adwaita when the current theme has no MIME icons. Call once after
  // the application object exists.
  static void PrepareIconTheme();

 private:
  std::string opener_;
  std::unordered_map<std::string, IconHandle> byExtension_;
  QHash<QString, QIcon> icons_;
};

}  // namespace velmora

#pragma once

// The modification run and Undo of the main window, without the window: which files go to
// the engine, in which order, with which intervals, which backup names are kept, and how a
// backup is put back. The window collects the rows and options, calls these, and then updates
// its own controls.

#include <string>
#include <vector>

#include "engines/ActiveEngine.h"
#include "modify/ListedFiles.h"

namespace velmora {

// One row handed to a run: the file's full name and its "Mod" text.
struct TModificationRow {
  std::string FileName;
  std::string Mod;
};

// "No": the row's file is changed at every line the engine lists.
inline constexpr const char* kAllLines = "No";

class TModificationDriver {
 public:
  // Files as they were when their lines were listed; the window notes them.
  TListedFiles Listed;

  // Hands each row's file to the engine in order: fills it with the modification, lets it list
  // the file's lines, applies the row's chosen lines and modifies the file. Each backup name
  // goes to lastBackups before its file is handled. The first error ends the run (files
  // already handled stay modified); a row with chosen lines whose file changed since it was
  // listed is refused with such an error.
  void Run(ActiveEngine engine, const ModificationOptions& modification,
           const std::vector<TModificationRow>& rows, std::vector<std::string>& lastBackups);

  // Puts each existing backup back in place of its file with one rename. A backup that cannot
  // be put back stays where it is; nothing is reported.
  void Undo(const std::vector<std::string>& lastBackups);
};

}  // namespace velmora

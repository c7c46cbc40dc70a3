#pragma once

// What the six search engines share. The unit's parts live in files by role, included here:
// reading a file into lines (TextBuffer.h), the "Lines Viewer" page (LinesPage.h), the literal
// pre-check (LiteralScanner.h) and the safe rewrite with the backup rule (modify/SafeWrite.h).
// This file keeps the progress call, the busy flag, the word pattern and the file-type icon.

#include <functional>
#include <string>

#include "engines/LinesPage.h"
#include "engines/LiteralScanner.h"
#include "engines/TextBuffer.h"
#include "modify/SafeWrite.h"
#include "ports/Shell.h"

namespace velmora {

// Progress callback of an engine: the engine itself and a reference to its own Stop flag.
using TProgressEvent = std::function<void(void* sender, bool& stop)>;

// Tells that a file could not be read: it then counts as no match (or its page keeps what
// was collected), and a caller that lists files may still want to say so.
using TFileErrorEvent = std::function<void(const EFileError& error)>;

// The pattern that finds word literally; with wholeWords it may not touch a word character
// on a side where the word itself has one (\b), or must touch a non-word character (\B).
std::string WordPattern(const std::string& word, bool wholeWords);

// The icon of the file's type, by the name's extension alone.
IconHandle GetFileIcon(Shell& shell, const std::string& path, bool small);

// Calls the progress event when assigned and tells whether a stop was requested.
inline bool ProgressSaysStop(const TProgressEvent& onProgress, void* sender, bool& stop) {
  if (onProgress) onProgress(sender, stop);
  return stop;
}

// Keeps an engine's Idle false for the lifetime of the guard, then puts back what it was
// (an operation nested in another leaves Idle false for the outer one).
class BusyScope {
 public:
  explicit BusyScope(bool& idle) : idle_(idle), before_(idle) { idle_ = false; }
  ~BusyScope() { idle_ = before_; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& idle_;
  bool before_;
};

}  // namespace velmora

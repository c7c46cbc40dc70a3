#pragma once

// The engine of one search type, filled from the command line's engine options, behind one
// interface, so that find, lines and modify drive it the way the window and the modification
// driver do. The six engine classes share no base class; the slots below bridge them.

#include <memory>
#include <string>
#include <vector>

#include "cli/EngineOptions.h"

namespace velmora::cli {

class ActiveEngine {
 public:
  virtual ~ActiveEngine() = default;

  // "Search Engine": parses the query and tells whether its quotes are closed. The other
  // types have nothing to check.
  virtual bool CheckQuery() = 0;
  virtual bool Search(const std::string& fileName) = 0;
  virtual void BuildLines(const std::string& fileName) = 0;
  virtual void WriteLinesView(const std::string& pageFileName, const std::string& fileName) = 0;

  // Phrase and regex only (the callers check with HasIntervals first).
  virtual bool HasIntervals() const = 0;
  virtual void SetUseIntervals(bool on) = 0;
  virtual void SetIntervals(const std::vector<std::string>& intervals) = 0;

  // Phrase, multiline and regex only (the callers check with CanModify first). The
  // replacement is the raw text: multiline takes its lines.
  virtual bool CanModify() const = 0;
  virtual void SetModification(bool makeBackup, const std::string& replacement, int modType) = 0;
  virtual void Modify(const std::string& fileName) = 0;
};

// Throws the window's warning text, "Missing" and a double quote, when a "Search Engine" query
// has an unclosed quote; and the compile error of a regex query, which the engine would turn
// into "no file matches" (a script must not take a typo for an empty result).
void CheckQueryOrThrow(ActiveEngine& engine, const EngineOptions& options);

// A fresh engine of options.type with the query and the options filled in.
std::unique_ptr<ActiveEngine> MakeEngine(const EngineOptions& options);

}  // namespace velmora::cli

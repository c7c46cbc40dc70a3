// velmora-cli find: the window's search run without the window. The finder walks the folder
// breadth first and the engine of the chosen type decides each file; no ignore list, size or
// date filter applies, since nothing is read from the settings store.

#include <sys/stat.h>

#include <cstring>
#include <stdexcept>

#include "base/Paths.h"
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/EngineOptions.h"
#include "cli/EngineSetup.h"
#include "cli/FoundPrinter.h"
#include "cli/RunDeadline.h"
#include "cli/TextFiles.h"
#include "find/Un_MyFindFile.h"

namespace velmora::cli {

namespace {

constexpr OptionSpec kFindOptions[] = {
    {"mask", true},
    {"no-subfolders"},
    {"in-list", true},
    {"sort"},
};

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A folder as grep names it: without the walk's trailing delimiter ("/" stays "/").
std::string WithoutTrailingDelim(std::string folder) {
  if (folder.size() > 1 && folder.back() == PathDelim) folder.pop_back();
  return folder;
}

}  // namespace

int RunFind(std::span<const std::string> args, Io& io) {
  const ParsedArgs parsed = ParsedArgs::Parse(args, {EngineOptionSpecs(), kFindOptions});
  if (parsed.Positional().size() != 1) throw UsageError("find needs exactly one FOLDER");
  const std::string& folder = parsed.Positional().front();
  const EngineOptions options = ReadEngineOptions(parsed);

  TMyFindFile finder;
  finder.Path = folder;
  finder.Mask = parsed.Value("mask").value_or("*.*");
  finder.Recursive = !parsed.Has("no-subfolders");
  if (const auto listFile = parsed.Value("in-list")) {
    finder.SearchInList = true;
    finder.SetFileList(SplitLines(ReadWholeFile(*listFile)));
  } else if (!folder.empty() && !IsFolder(folder)) {
    // A mistyped folder is an error, not "nothing found".
    throw std::runtime_error("Folder not found: " + folder);
  }

  EngineSet engines;
  ActiveEngine engine = PrepareEngine(engines, options);
  const bool listOnly = options.QueryEmpty();
  RunDeadline deadline(parsed);
  deadline.Watch(engines);

  FoundPrinter printer(io, parsed.Has("sort"));
  finder.OnFolderError = [&](TMyFindFile&, const std::string& path, int error) {
    printer.Unreadable(WithoutTrailingDelim(path), std::strerror(error));
  };
  engines.SetFileErrorEvent(
      [&](const EFileError& error) { printer.Unreadable(error.FileName, error.Reason); });
  finder.OnFileFound = [&](TMyFindFile&, const std::string& path, const TSearchRec& rec,
                           bool& stop) {
    // path ends with the delimiter; an empty query lists the file without reading it.
    if (listOnly || engine.Search(path + rec.Name)) printer.Add(path, rec.Name);
    stop = stop || deadline.Stopped();
  };
  finder.Execute();
  printer.Finish();
  deadline.ReportStop();
  // Like grep: what could not be read makes the result unsure, whatever was found.
  if (printer.UnreadableCount() > 0) return kExitError;
  return printer.Count() > 0 ? kExitFound : kExitNotFound;
}

}  // namespace velmora::cli

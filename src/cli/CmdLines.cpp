// velmora-cli lines: the "Lines Viewer" page of one file, written as the preview writes it.

#include <sys/stat.h>

#include <stdexcept>

#include "base/Descriptor.h"

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/EngineSetup.h"
#include "cli/RunDeadline.h"
#include "cli/TextFiles.h"

namespace velmora::cli {

namespace {

constexpr OptionSpec kLinesOptions[] = {
    {"use-intervals"},
    {"intervals", true},
    {"page", true},
};

// BuildLines turns an unreadable file into an empty page; a script must hear about it. Only a
// regular file is read (a FIFO would hang, a device never end), and the page may not be the
// file itself, whatever name either goes by.
void ExpectReadable(const std::string& fileName, const std::string& pageName) {
  struct stat file {};
  const Descriptor fd(OpenRegularFile(fileName, file));
  struct stat page {};
  if (::stat(pageName.c_str(), &page) == 0 && page.st_dev == file.st_dev &&
      page.st_ino == file.st_ino) {
    throw std::runtime_error("The page \"" + pageName + "\" is the file \"" + fileName +
                             "\" itself");
  }
}

}  // namespace

int RunLines(std::span<const std::string> args, Io&) {
  const ParsedArgs parsed = ParsedArgs::Parse(args, {EngineOptionSpecs(), kLinesOptions});
  if (parsed.Positional().size() != 1) throw UsageError("lines needs exactly one FILE");
  const auto page = parsed.Value("page");
  if (!page) throw UsageError("lines needs --page OUT");
  const std::string& fileName = parsed.Positional().front();
  const EngineOptions options = ReadEngineOptions(parsed);

  EngineSet engines;
  ActiveEngine engine = engines.Select(options.type);
  if ((parsed.Has("intervals") || parsed.Has("use-intervals")) && !engine.HasIntervals()) {
    throw UsageError(std::string("--intervals and --use-intervals do not apply to type ") +
                     TypeName(options.type));
  }
  PrepareEngine(engines, options);
  ExpectReadable(fileName, *page);
  RunDeadline deadline(parsed);
  deadline.Watch(engines);
  // Read once more by the engine: a file that became unreadable meanwhile is still an error.
  engines.SetFileErrorEvent([](const EFileError& error) { throw error; });

  engine.SetUseIntervals(parsed.Has("use-intervals"));
  engine.BuildLines(fileName);
  deadline.ReportStop();  // a stopped page would be incomplete
  if (const auto list = parsed.Value("intervals")) engine.SetIntervals(ParseIntervals(*list));
  engine.WriteLinesView(*page, fileName);
  return kExitFound;
}

}  // namespace velmora::cli

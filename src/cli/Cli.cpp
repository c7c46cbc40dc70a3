#include "cli/Cli.h"

#include <exception>
#include <string_view>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "velmora_version.h"

namespace velmora::cli {

namespace {

struct Command {
  std::string_view name;
  int (*run)(std::span<const std::string>, Io&);
};

constexpr Command kCommands[] = {
    {"find", RunFind},   {"lines", RunLines}, {"modify", RunModify},
    {"regex", RunRegex}, {"mask", RunMask},
};

bool IsHelp(const std::string& arg) {
  return arg == "--help" || arg == "-h";
}

int Usage(Io& io, const std::string& problem) {
  io.err << "velmora-cli: " << problem << "\n" << UsageText();
  return kExitError;
}

}  // namespace

const char* UsageText() {
  return R"(Usage: velmora-cli COMMAND [OPTIONS] ARGUMENTS
       velmora-cli --help | --version

Commands:
  find   [ENGINE OPTIONS] [--mask MASK] [--no-subfolders] [--in-list FILE] [--sort] FOLDER
         Prints the full name of every file below FOLDER that matches (all files the mask
         lets through when the query is empty).
  lines  [ENGINE OPTIONS] [--use-intervals] [--intervals LIST] --page OUT FILE
         Writes the "Lines Viewer" page of FILE to OUT.
  modify [ENGINE OPTIONS] --mod none|replace|insert-before|insert-after|delete|clear
         [--replacement TEXT | --replacement-file FILE] [--backup] [--intervals LIST] [--crlf]
         FILE...
         Modifies each FILE in order (types phrase, multiline and regex). Each line keeps its
         own line break; --crlf ends every line with CR LF instead.
  regex  (--expr TEXT | --expr-file FILE) [--modifiers SPEC] (--input TEXT | --input-file FILE)
         [--all] [--replace TEMPLATE | --expand TEMPLATE]
         Runs one regular expression; SPEC is letter-digit pairs such as i1s0g1m0x0r1.
  mask   MASK NAME...
         Prints 1 or 0 for each NAME.

Engine options:
  --type phrase|word-or|word-and|query|multiline|regex   search type (default phrase)
  --query TEXT | --query-file FILE   the query (from a file: multiline its lines, regex its
                                     whole text, the others its first line)
  --case-sensitive  --whole-words  --dot-all  --ignore-space  --no-trim-left  --no-trim-right
  --timeout SECONDS   stops the run once SECONDS have passed, as Stop does (exit status 2)

LIST is a comma-separated list of 0-based line indexes.
Exit status: 0 found or done, 1 nothing found, 2 error or bad arguments, 3 regex error.
)";
}

int RunCli(std::span<const std::string> args, Io& io) {
  if (args.empty()) return Usage(io, "no command given");
  const std::string& first = args.front();
  if (first == "--version") {
    io.out << "velmora-cli " << VersionString() << "\n";
    return kExitFound;
  }
  // "velmora-cli --help" and "velmora-cli COMMAND --help".
  if (IsHelp(first) || (args.size() > 1 && IsHelp(args[1]))) {
    io.out << UsageText();
    return kExitFound;
  }
  for (const Command& command : kCommands) {
    if (command.name != first) continue;
    try {
      return command.run(args.subspan(1), io);
    } catch (const UsageError& e) {
      return Usage(io, e.what());
    } catch (const std::exception& e) {
      io.out.flush();
      io.err << e.what() << "\n";
      return kExitError;
    }
  }
  return Usage(io, "unknown command \"" + first + "\"");
}

}  // namespace velmora::cli

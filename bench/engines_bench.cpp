// Times Search of each engine over a generated tree and compares with GNU grep -c on the same
// files in the same run. Single-threaded; the page cache is warmed first. Times are CPU time
// (user + system), the best of five runs.
//
// Usage: engines_bench [FOLDER]   (the tree is generated there, default a temporary folder,
// and removed afterwards unless FOLDER was given)

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engines/Un_Multiline.h"
#include "engines/Un_MyRegExpr.h"
#include "engines/Un_Phrase.h"
#include "engines/Un_SearchEngine.h"
#include "engines/Un_wordand.h"
#include "engines/Un_wordor.h"

namespace {

namespace fs = std::filesystem;

const char* const kWords[] = {
    "alpha",  "beta",   "gamma",  "delta",  "signal", "buffer", "queue",  "thread", "socket",
    "parser", "token",  "window", "layout", "widget", "render", "pixel",  "vector", "matrix",
    "kernel", "module", "driver", "packet", "stream", "cursor", "record", "column", "index",
    "table",  "schema", "query",  "filter", "branch", "commit", "merge",  "return", "switch",
    "error",  "notice", "debug",  "trace",  "level",  "limit",  "bound",  "range",  "offset"};

// xorshift64*: the same tree on every run.
struct Random {
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  std::uint64_t Next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 0x2545F4914F6CDD1Dull;
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
};

std::string TextOf(Random& random, std::size_t bytes, std::size_t lineWords) {
  std::string text;
  text.reserve(bytes + 200);
  std::size_t inLine = 0;
  while (text.size() < bytes) {
    text += kWords[random.Below(std::size(kWords))];
    if (++inLine == lineWords) {
      text += random.Below(4) == 0 ? "\r\n" : "\n";
      inLine = 0;
    } else {
      text += ' ';
    }
  }
  text += '\n';
  return text;
}

void WriteFile(const fs::path& name, const std::string& text) {
  std::ofstream(name, std::ios::binary) << text;
}

// A few thousand small files, one 50 MB file, a file of very long lines. Rare words are
// planted in a few files only, as a typical search meets them.
std::vector<std::string> MakeTree(const fs::path& root, std::uint64_t& totalBytes) {
  Random random;
  std::vector<std::string> files;
  fs::create_directories(root);
  for (int folder = 0; folder < 40; ++folder) {
    const fs::path dir = root / ("dir" + std::to_string(folder));
    fs::create_directories(dir);
    for (int i = 0; i < 100; ++i) {
      std::string text = TextOf(random, 2000 + random.Below(30000), 4 + random.Below(12));
      if (random.Below(100) == 0) text += "the rare zephyrine appears here\n";
      if (random.Below(50) == 0) text += "a rare Hummingbird passes\n";
      const fs::path name = dir / ("file" + std::to_string(i) + ".txt");
      WriteFile(name, text);
      files.push_back(name.string());
    }
  }
  std::string big = TextOf(random, 50u * 1024 * 1024, 10);
  big += "zephyrine at the very end\n";
  WriteFile(root / "big.log", big);
  files.push_back((root / "big.log").string());
  WriteFile(root / "long.txt", TextOf(random, 8u * 1024 * 1024, 200000));
  files.push_back((root / "long.txt").string());
  totalBytes = 0;
  for (const auto& f : files) totalBytes += fs::file_size(f);
  return files;
}

// CPU seconds (user + system) of this process or of its finished children: steadier than wall
// time on a machine shared with other work.
double CpuSeconds(int who) {
  rusage usage{};
  ::getrusage(who, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The best of several runs; children selects the CPU time of the commands run.
double Seconds(const std::function<void()>& run, int repeats, bool children = false) {
  const int who = children ? RUSAGE_CHILDREN : RUSAGE_SELF;
  double best = 1e100;
  for (int i = 0; i < repeats; ++i) {
    const double start = CpuSeconds(who);
    run();
    best = std::min(best, CpuSeconds(who) - start);
  }
  return best;
}

// grep over the same list of files, single process, counting lines.
double GrepSeconds(const std::string& listFile, const std::string& arguments, int repeats) {
  const std::string command =
      "LC_ALL=C xargs -0 grep -c " + arguments + " -- < '" + listFile + "' > /dev/null 2>&1";
  return Seconds([&] { (void)std::system(command.c_str()); }, repeats, true);
}

struct Row {
  std::string name;
  std::function<bool(const std::string&)> search;
  std::string grepArguments;  // empty: no grep equivalent
};

}  // namespace

int main(int argc, char** argv) {
  using namespace velmora;
  const bool keep = argc > 1;
  const fs::path root =
      keep ? fs::path(argv[1]) : fs::temp_directory_path() / "velmora-engines-bench";
  std::uint64_t totalBytes = 0;
  const auto files = MakeTree(root, totalBytes);
  const std::string listFile = (root / "files.lst").string();
  {
    std::ofstream list(listFile, std::ios::binary);
    for (const auto& f : files) list << f << '\0';
  }
  const double megabytes = static_cast<double>(totalBytes) / (1024.0 * 1024.0);
  std::printf("tree: %zu files, %.1f MB (one 50 MB file, one file of 8 MB in ~40 long lines)\n",
              files.size(), megabytes);
  (void)GrepSeconds(listFile, "-F zzzz", 1);  // warm the page cache

  Tmy_phrase phrase;
  Tmy_phrase phraseCase;
  phraseCase.CaseSensitive = true;
  Tmy_phrase phrasePumped;  // with a progress event, as the window binds one
  std::uint64_t progressCalls = 0;
  phrasePumped.OnProgress = [&progressCalls](void*, bool&) { ++progressCalls; };
  Tmy_phrase phraseWhole;
  phraseWhole.WholeWords = true;
  Tmy_wordor wordOr;
  Tmy_wordand wordAnd;
  Tmy_searchengine query;
  Tmy_regexpr regex;
  Tmy_multiline multiline;
  multiline.TrimLeft = multiline.TrimRight = true;

  const auto bind = [](auto& engine, const std::string& q) {
    return [&engine, q](const std::string& f) {
      engine.Query = q;
      return engine.Search(f);
    };
  };
  std::vector<Row> rows = {
      {"phrase, rare word (case-insensitive)", bind(phrase, "zephyrine"), "-i -F zephyrine"},
      {"phrase, rare word (case-sensitive)", bind(phraseCase, "zephyrine"), "-F zephyrine"},
      {"phrase, rare word, progress per line", bind(phrasePumped, "zephyrine"), "-i -F zephyrine"},
      {"phrase, two words (case-insensitive)", bind(phrase, "rare zephyrine"),
       "-i -F 'rare zephyrine'"},
      {"phrase, whole word (case-insensitive)", bind(phraseWhole, "hummingbird"),
       "-i -w -F hummingbird"},
      {"phrase, common word", bind(phrase, "matrix"), "-i -F matrix"},
      {"word: or, two rare words", bind(wordOr, "zephyrine hummingbird"),
       "-i -F -e zephyrine -e hummingbird"},
      {"word: and, two rare words", bind(wordAnd, "zephyrine hummingbird"),
       "-i -F -e zephyrine -e hummingbird"},
      {"search engine, +rare -common", nullptr, "-i -F -e zephyrine -e offset"},
      {"reg expr, literal", bind(regex, "zephyrine"), "-i zephyrine"},
      {"reg expr, z[a-z]+ine", bind(regex, "z[a-z]+ine"), "-i -E 'z[a-z]+ine'"},
      {"reg expr, \\d+-\\d+", bind(regex, "\\d+-\\d+"), "-E '[0-9]+-[0-9]+'"},
      {"multiline, two lines", nullptr, ""},
  };
  rows[8].search = [&query](const std::string& f) { return query.Search(f); };
  query.CheckQuery("+zephyrine -offset");
  query.Query = "+zephyrine -offset";
  multiline.SetLines({"alpha beta", "gamma"});
  rows[12].search = [&multiline](const std::string& f) { return multiline.Search(f); };

  std::printf("\n%-40s %9s %9s %9s %8s %7s\n", "search", "files", "MB/s", "grep MB/s", "ratio",
              "found");
  for (const auto& row : rows) {
    std::size_t found = 0;
    const double ours = Seconds(
        [&] {
          found = 0;
          for (const auto& f : files) found += row.search(f);
        },
        5);
    const double ourRate = megabytes / ours;
    if (row.grepArguments.empty()) {
      std::printf("%-40s %9zu %9.0f %9s %8s %7zu\n", row.name.c_str(), files.size(), ourRate, "-",
                  "-", found);
      continue;
    }
    const double grep = GrepSeconds(listFile, row.grepArguments, 5);
    const double grepRate = megabytes / grep;
    std::printf("%-40s %9zu %9.0f %9.0f %8.2f %7zu\n", row.name.c_str(), files.size(), ourRate,
                grepRate, ourRate / grepRate, found);
  }
  if (!keep) fs::remove_all(root);
  return 0;
}

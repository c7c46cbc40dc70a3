// Which failures count as "no match": only a file that cannot be read (told through the
// engine's OnFileError) and a pattern that does not compile. Anything else, running out of
// memory first of all, reaches the caller naming the file.

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "engines/ActiveEngine.h"
#include "engines/EngineFixture.h"

namespace velmora {
namespace {

using testing::TempFolder;

// A query of each type that needs the file's text (multiline: its lines).
struct TypeCase {
  SearchType type;
  std::string query;
  std::vector<std::string> lines = {};
};
const TypeCase kTypes[] = {
    {SearchType::Phrase, "needle"},
    {SearchType::WordOr, "needle hay"},
    {SearchType::WordAnd, "needle x"},
    {SearchType::Query, "+needle"},
    {SearchType::Multiline, "needle x hay", {"needle x hay", "end"}},
    {SearchType::Regex, "ne+dle"},
};

ActiveEngine Filled(EngineSet& engines, const TypeCase& c) {
  EngineOptions options;
  options.type = c.type;
  options.query = c.query;
  options.queryLines = c.lines;
  ActiveEngine engine = engines.Select(c.type);
  engine.Fill(options);
  EXPECT_TRUE(engine.CheckQuery(c.query));
  return engine;
}

TEST(EngineFailures, AnUnreadableFileIsNoMatchAndIsTold) {
  TempFolder dir;
  const std::string missing = dir / "missing.txt";
  for (const auto& c : kTypes) {
    EngineSet engines;
    std::vector<std::string> told;
    engines.SetFileErrorEvent(
        [&](const EFileError& e) { told.push_back(e.FileName + ": " + e.Reason); });
    ActiveEngine engine = Filled(engines, c);
    EXPECT_FALSE(engine.Search(missing)) << c.query;
    EXPECT_FALSE(engine.Search(dir.Root())) << c.query;  // a folder is no file to read
    engine.BuildLines(missing);
    EXPECT_EQ(told, (std::vector<std::string>{missing + ": No such file or directory",
                                              dir.Root() + ": Is a directory",
                                              missing + ": No such file or directory"}))
        << c.query;
  }
}

TEST(EngineFailures, OutOfMemoryEndsTheFileWithAnErrorNamingIt) {
  // The progress call stands in for any allocation made while a file is examined.
  TempFolder dir;
  const std::string name = dir.Write("f.txt", "hay\nhay\nneedle x hay\nend\n");
  for (const auto& c : kTypes) {
    EngineSet engines;
    ActiveEngine engine = Filled(engines, c);
    engines.SetProgressEvent([](void*, bool&) { throw std::bad_alloc(); });
    const auto expectError = [&](auto job, const std::string& what) {
      try {
        job();
        ADD_FAILURE() << what << " gave no error for " << c.query;
      } catch (const EEngineError& e) {
        EXPECT_EQ(e.what(), what + " \"" + name + "\": Out of memory");
      }
      EXPECT_TRUE(engine.Idle());
    };
    expectError([&] { engine.Search(name); }, "Cannot search");
    expectError([&] { engine.BuildLines(name); }, "Cannot list the lines of");
  }
}

TEST(EngineFailures, OnlyAPatternThatDoesNotCompileIsNoMatch) {
  TempFolder dir;
  const std::string name = dir.Write("f.txt", "aaaa\n");
  EngineSet engines;
  ActiveEngine engine = engines.Select(SearchType::Regex);
  EngineOptions options;
  options.type = SearchType::Regex;
  options.query = "(a";
  engine.Fill(options);
  EXPECT_FALSE(engine.Search(name));
  // Eleven nested counted groups overrun the matcher's loop stack while matching.
  options.query = "a";
  for (int i = 0; i < 11; ++i) options.query = "(" + options.query + "){1,2}";
  engine.Fill(options);
  try {
    engine.Search(name);
    ADD_FAILURE() << "a matcher error counted as no match";
  } catch (const EEngineError& e) {
    EXPECT_EQ(e.what(), "Cannot search \"" + name + "\": Regex(exec): Loop Stack Exceeded");
  }
}

}  // namespace
}  // namespace velmora

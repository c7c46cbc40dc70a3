// A rewrite leaves a file alone that is no longer the one that was read, and cleans up the
// temporary files of killed runs; a modification reads each file once.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "base/RewriteTemporary.h"
#include "doubles/ErrorText.h"
#include "engines/ActiveEngine.h"
#include "engines/EngineFixture.h"
#include "modify/ModificationDriver.h"
#include "modify/SafeWrite.h"

namespace velmora::testing {
namespace {

// Sets the rewrite seam for one test and clears it afterwards.
class RewriteHook {
 public:
  explicit RewriteHook(std::function<void(const std::string&)> hook) {
    SetRewriteCheckHook(std::move(hook));
  }
  ~RewriteHook() { SetRewriteCheckHook(nullptr); }
  RewriteHook(const RewriteHook&) = delete;
  RewriteHook& operator=(const RewriteHook&) = delete;
};

void SetAge(const std::string& name, std::time_t seconds) {
  const std::time_t when = std::time(nullptr) - seconds;
  const timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, name.c_str(), times, 0), 0);
}

// Each way a file can change after it was read, on a file with one name and on one with two.
TEST(Rewrite, AFileChangedSinceItWasReadIsLeftAlone) {
  const struct {
    const char* change;
    std::function<void(TempFolder&, const std::string&)> apply;
    std::string after;  // the file's text once changed
  } cases[] = {
      {"none", [](TempFolder&, const std::string&) {}, "new"},
      {"replaced",
       [](TempFolder& dir, const std::string& name) {
         ASSERT_EQ(std::rename(dir.Write("other", "other!").c_str(), name.c_str()), 0);
       },
       "other!"},
      {"grown", [](TempFolder& dir, const std::string&) { dir.Write("f.txt", "old text+"); },
       "old text+"},
      {"touched", [](TempFolder&, const std::string& name) { SetAge(name, 7200); }, "old text"},
  };
  for (const auto& c : cases) {
    for (const bool hardLinked : {false, true}) {
      TempFolder dir;
      const std::string name = dir.Write("f.txt", "old text");
      if (hardLinked) {
        ASSERT_EQ(::link(name.c_str(), (dir / "link").c_str()), 0);
      }
      const TextBuffer file(name);
      const RewriteHook hook([&](const std::string&) { c.apply(dir, name); });
      const std::string label = std::string(c.change) + (hardLinked ? ", hard-linked" : "");
      const std::string error =
          ErrorText<EFileError>([&] { WriteFileSafely(name, "new", &file.Identity()); });
      EXPECT_EQ(error.find("changed while being modified") != std::string::npos,
                std::string(c.change) != "none")
          << label << ": " << error;
      EXPECT_EQ(TempFolder::Read(name), c.after) << label;
      EXPECT_EQ(dir.EntryCount(), hardLinked ? 2u : 1u) << label;  // no temporary file left
    }
  }
}

// A modification lists and changes the same bytes: a file replaced while its lines are being
// listed is refused, not rewritten with the old file's line numbers.
TEST(Rewrite, AFileReplacedWhileItsLinesAreListedIsRefused) {
  TempFolder dir;
  const std::string name = dir.Write("f.txt", "cat\ndog\n");
  EngineSet engines;
  bool replaced = false;
  engines.phrase.OnProgress = [&](void*, bool&) {
    if (!std::exchange(replaced, true)) {
      ASSERT_EQ(std::rename(dir.Write("new", "new first\ncat\n").c_str(), name.c_str()), 0);
    }
  };
  engines.phrase.Query = "cat";
  TModificationDriver driver;
  std::vector<std::string> backups;
  ModificationOptions modification;
  modification.modType = 1;
  modification.replacement = "cow";
  const std::string error = ErrorText<EFileError>([&] {
    driver.Run(engines.Select(SearchType::Phrase), modification, {{name, "0"}}, backups);
  });
  EXPECT_NE(error.find("changed while being modified"), std::string::npos) << error;
  EXPECT_TRUE(replaced);
  EXPECT_EQ(TempFolder::Read(name), "new first\ncat\n");
}

// Content written piece by piece, more than the write buffer holds, with one name and with
// two: it arrives whole; a writer that fails halfway leaves the file as it was and no
// temporary file behind.
TEST(Rewrite, ContentWrittenInPiecesArrivesWholeOrNotAtAll) {
  const std::string piece(300000, 'p');
  const std::string big(3 * 1024 * 1024, 'b');
  std::string whole;
  for (int i = 0; i < 5; ++i) whole += piece;
  whole += big + "end";
  for (const bool hardLinked : {false, true}) {
    for (const bool fails : {false, true}) {
      TempFolder dir;
      const std::string name = dir.Write("f.txt", "old text");
      if (hardLinked) {
        ASSERT_EQ(::link(name.c_str(), (dir / "link").c_str()), 0);
      }
      const std::string label =
          std::string(hardLinked ? "hard-linked" : "one name") + (fails ? ", failing" : "");
      const auto write = [&](ContentSink& sink) {
        for (int i = 0; i < 5; ++i) sink.Append(piece);
        sink.Append(big);
        if (fails) throw EListError("halfway");
        sink.Append("end");
      };
      if (fails) {
        EXPECT_THROW(WriteFileSafely(name, write), EListError) << label;
      } else {
        WriteFileSafely(name, write);
      }
      const std::string expected = fails ? "old text" : whole;
      EXPECT_TRUE(TempFolder::Read(name) == expected) << label;
      if (hardLinked) {
        EXPECT_TRUE(TempFolder::Read(dir / "link") == expected) << label;
      }
      EXPECT_EQ(dir.EntryCount(), hardLinked ? 2u : 1u) << label;
    }
  }
}

// Temporary files of a killed run: a stale one of the same file goes before a new rewrite; a
// young one, another file's one and names that only look alike stay.
TEST(Rewrite, StaleTemporaryFilesOfTheSameFileAreRemoved) {
  const struct {
    std::string entry;
    std::time_t age;
    bool removed;
  } cases[] = {
      {".f.txt.velmora-Ab12Cd", 7200, true},  {".f.txt.velmora-Ab12Cd", 600, false},
      {".g.txt.velmora-Ab12Cd", 7200, false}, {".f.txt.velmora-Ab12Cd7", 7200, false},
      {"f.txt.velmora-Ab12Cd", 7200, false},
  };
  for (const auto& c : cases) {
    TempFolder dir;
    const std::string name = dir.Write("f.txt", "old");
    const std::string temporary = dir.Write(c.entry, "half");
    SetAge(temporary, c.age);
    WriteFileSafely(name, "new");
    EXPECT_EQ(::access(temporary.c_str(), F_OK) != 0, c.removed) << c.entry << " " << c.age;
    EXPECT_EQ(IsRewriteTemporaryOf(c.entry, "f.txt"), c.removed || c.age < 3600) << c.entry;
  }
}

}  // namespace
}  // namespace velmora::testing

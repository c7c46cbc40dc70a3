#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doubles/FileSizeLimit.h"
#include "engines/EngineFixture.h"
#include "engines/Un_Tambahan.h"
#include "regex/Regex.h"

namespace velmora {
namespace {

using testing::ExpectedPage;
using testing::TempFolder;

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> out;
  for (const auto line : SplitLines(text)) out.emplace_back(line);
  return out;
}

TEST(SplitLines, BreaksAtEveryKindOfLineEnd) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},  // a final break gives no extra line
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},  // lone CR
      {"a\n\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\r\r\nb", {"a", "", "b"}},            // CR, then CR LF
      {"\n\r", {"", ""}},                      // LF CR is two breaks, not one
      {"\xEF\xBB\xBFx\n", {"\xEF\xBB\xBFx"}},  // a byte-order mark stays in the line
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Lines(c.text), c.lines) << "text: " << c.text;
    EXPECT_EQ(CountLines(c.text), c.lines.size()) << "text: " << c.text;
  }
}

// The count must be exactly the number of lines walked, also across the counter's 255-byte
// chunks, with CR LF split over a chunk edge, and for texts of every break style (the short
// texts are counted in SplitLines' table).
TEST(CountLines, AgreesWithTheLinesWalked) {
  std::mt19937 random(11);
  const std::string alphabets[] = {"ab\n", "ab\r\n\r", "\r\n", "x\xFF\x80\r\n\n"};
  for (int round = 0; round < 400; ++round) {
    const std::string& alphabet = alphabets[round % 4];
    std::string text;
    const auto length = random() % 1200;
    for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    ASSERT_EQ(CountLines(text), SplitLines(text).size()) << "round " << round;
  }
  // A CR LF whose CR is the last byte of a chunk.
  const std::string edge = std::string(254, 'a') + "\r\n" + std::string(300, 'b');
  EXPECT_EQ(CountLines(edge), 2u);
  EXPECT_EQ(CountLines(std::string(600, '\n')), 600u);
}

TEST(TextBuffer, NulEndsTheTextAndOnlyRegularFilesAreRead) {
  TempFolder dir;
  const TextBuffer file(dir.Write("n.txt", std::string("ab\ncd\0ef\ngh", 11)));
  EXPECT_EQ(file.Text(), "ab\ncd");
  EXPECT_EQ(file.Tail(), std::string_view("\0ef\ngh", 6));
  const std::string big(3 * 1024 * 1024 + 7, 'x');
  EXPECT_EQ(TextBuffer(dir.Write("big.txt", big)).Text().size(), big.size());
  EXPECT_THROW(TextBuffer(dir / "missing.txt"), EFileError);
  EXPECT_THROW(TextBuffer(dir.Root()), EFileError);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_THROW(TextBuffer(dir / "fifo"), EFileError);  // and no hang
}

TEST(WriteFileSafely, KeepsModeAndLinksAndLeavesNoTemporaryFile) {
  TempFolder dir;
  const auto name = dir.Write("p.txt", "old content that is longer");
  ::chmod(name.c_str(), 0640);
  ASSERT_EQ(::link(name.c_str(), (dir / "hard.txt").c_str()), 0);
  ASSERT_EQ(::symlink("p.txt", (dir / "link.txt").c_str()), 0);
  WriteFileSafely(dir / "link.txt", "new");
  struct stat info {};
  ASSERT_EQ(::lstat((dir / "link.txt").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));  // the link stays a link
  EXPECT_EQ(TempFolder::Read(name), "new");
  EXPECT_EQ(TempFolder::Read(dir / "hard.txt"), "new");  // both names share the file
  EXPECT_EQ(TempFolder::Mode(name), 0640u);
  EXPECT_EQ(dir.EntryCount(), 3u);
}

// A file its user may not write stays as it is, although the folder would allow a rename.
TEST(WriteFileSafely, ReadOnlyFileIsRefused) {
  TempFolder dir;
  const auto readOnly = dir.Write("ro.txt", "keep");
  ::chmod(readOnly.c_str(), 0444);
  ::chmod(dir.Root().c_str(), 0777);
  const pid_t child = ::fork();
  if (child == 0) {
    // Root may write anything: the child becomes an ordinary user first.
    if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
    try {
      WriteFileSafely(readOnly, "new");
    } catch (const EFileError&) {
      ::_exit(0);
    }
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(TempFolder::Read(readOnly), "keep");
}

// A failed write or copy leaves the file and its old backup as they were, and no temporary file.
TEST(WriteFileSafely, AFailedWriteOrBackupLeavesTheOldBytes) {
  TempFolder dir;
  const auto name = dir.Write("x.txt", std::string(4096, 'y') + std::string("\0z", 2));
  ::chmod(name.c_str(), 0600);
  dir.Write("x.txt.bak", "older");
  {
    const testing::ScopedFileSizeLimit limit(64);
    EXPECT_THROW(WriteFileSafely(name, std::string(4096, 'x')), EFileError);
    EXPECT_THROW(BackupFile(name), EFileError);
  }
  EXPECT_EQ(TempFolder::Read(name), std::string(4096, 'y') + std::string("\0z", 2));
  EXPECT_EQ(TempFolder::Read(name + ".bak"), "older");
  BackupFile(name);
  EXPECT_EQ(TempFolder::Read(name + ".bak"), TempFolder::Read(name));
  EXPECT_EQ(TempFolder::Mode(name + ".bak"), 0600u);
  EXPECT_EQ(dir.EntryCount(), 2u);
  EXPECT_THROW(BackupFile(dir / "missing.txt"), EFileError);
}

TEST(WordPattern, EscapesTheWordAndAddsTheRightBoundaries) {
  struct Case {
    std::string word;
    bool whole;
    std::string pattern;
  } cases[] = {
      {"(foo", true, "\\B\\(foo\\b"},
      {"a.b", false, "a\\.b"},
      {"x)", true, "\\bx\\)\\B"},
      {"\xE9t\xE9", true, "\\B\xE9t\xE9\\B"},  // bytes above 127 are no word characters
  };
  for (const auto& c : cases) EXPECT_EQ(WordPattern(c.word, c.whole), c.pattern) << c.word;
}

// The engines' pages pin the body lines; here the escaped name and two-digit numbers.
TEST(LinesPage, EscapesTheFileName) {
  TempFolder dir;
  const auto page = dir / "page.html";
  LinesPage marked(dir / "<b>&\"q\".txt");
  marked.AddLine(9, "<i>", LinesPage::Mark::Chosen);
  marked.AddLine(10, "", LinesPage::Mark::NotChosen);
  marked.Save(page);
  EXPECT_EQ(TempFolder::Read(page),
            ExpectedPage("&lt;b&gt;&amp;&quot;q&quot;.txt", dir,
                         "<font color=\"#FF0000\">+</font>line 10 : <i>\r\n line 11 : \r\n"));
}

}  // namespace
}  // namespace velmora

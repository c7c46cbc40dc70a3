#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "find/Masks.h"
#include "find/Un_MyFindFile.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// A fresh folder per test, removed afterwards (permissions restored first).
class TempTree {
 public:
  TempTree() {
    std::string pattern = (fs::temp_directory_path() / "velmora-find-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
  }
  ~TempTree() {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root_, ec); it != fs::end(it);
         it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0755);
    }
    fs::remove_all(root_, ec);
  }
  const std::string& Root() const { return root_; }
  std::string operator/(const std::string& rel) const { return root_ + "/" + rel; }
  void File(const std::string& rel, const std::string& content = "x") const {
    fs::create_directories(fs::path(*this / rel).parent_path());
    std::ofstream(*this / rel, std::ios::binary) << content;
  }

 private:
  std::string root_;
};

// A temporary tree and a finder pointed at it, its events recorded.
class FinderTest : public ::testing::Test {
 protected:
  FinderTest() {
    finder.Path = tree.Root();
    finder.OnStart = [this](TMyFindFile&) { ++starts; };
    finder.OnFinish = [this](TMyFindFile&) { ++finishes; };
    finder.OnFileFound = [this](TMyFindFile&, const std::string& path, const TSearchRec& rec,
                                bool&) {
      names.push_back(path + rec.Name);
      attrs.push_back(rec.Attr);
    };
  }
  Names Walk(const std::string& mask, bool recursive) {
    names.clear();
    attrs.clear();
    finder.Mask = mask;
    finder.Recursive = recursive;
    finder.Execute();
    return names;
  }
  TempTree tree;
  TMyFindFile finder;
  Names names;
  std::vector<std::int32_t> attrs;
  int starts = 0;
  int finishes = 0;
};

TEST(WalkMask, WholeNameWithDotStarMatchingNoExtension) {
  const struct {
    const char* mask;
    const char* name;
    bool matches;
  } rows[] = {
      {"*.*", "README", true},
      {"readme.*", "README", true},
      {"*.txt", "a.txt.bak", false},
      {"*.t", "a.txt", false},
      {"", "a", false},
      {"*a*b*", "xbxxax", false},
      {"[a]", "[a]", true},
      {"[a]", "a", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(WalkMaskMatches(row.name, row.mask), row.matches) << row.mask << " " << row.name;
  }
}

TEST_F(FinderTest, TreeIsWalkedBreadthFirst) {
  for (const char* rel : {"r1.txt", "r2.txt", "A/a.txt", "A/A1/a1.txt", "B/b.txt", "B/B1/b1.txt",
                          "A/A1/deeper/d.txt"}) {
    tree.File(rel);
  }
  const std::string root = tree.Root() + "/";
  const Names expected = {root + "r1.txt",           root + "r2.txt",      root + "A/a.txt",
                          root + "B/b.txt",          root + "A/A1/a1.txt", root + "B/B1/b1.txt",
                          root + "A/A1/deeper/d.txt"};
  EXPECT_EQ(Walk("*.txt", true), expected);  // no folder matches, all are walked
  EXPECT_EQ(finder.FileList, expected);
  EXPECT_EQ(finder.FileCount, 7);
  EXPECT_EQ(finder.TotalSize, 7);
  EXPECT_EQ(Walk("*.txt", false), (Names{root + "r1.txt", root + "r2.txt"}));
  finder.Path = tree / "missing";
  EXPECT_TRUE(Walk("*", true).empty());
  EXPECT_EQ(finishes, 3);
}

TEST_F(FinderTest, StopInFirstEventEndsTheWalk) {
  tree.File("a.txt");
  tree.File("b.txt");
  tree.File("sub/c.txt");
  std::vector<std::string> events;
  finder.OnFileFound = [&](TMyFindFile&, const std::string&, const TSearchRec& rec, bool& stop) {
    events.push_back(rec.Name);
    stop = true;
  };
  finder.OnFinish = [&](TMyFindFile& sender) {
    events.push_back(sender.Stop ? "finish, stopped" : "finish");
  };
  Walk("*", true);
  EXPECT_EQ(events, (Names{"a.txt", "finish, stopped"}));
  EXPECT_EQ(finder.FileList.size(), 1u);
  // Execute leaves Stop alone; the caller clears it for the next run.
  finder.Stop = false;
  events.clear();
  finder.OnFileFound = [&](TMyFindFile&, const std::string&, const TSearchRec& rec, bool&) {
    events.push_back(rec.Name);
  };
  Walk("*", true);
  EXPECT_EQ(events, (Names{"a.txt", "b.txt", "c.txt", "finish"}));
  EXPECT_EQ(finder.FileList.size(), 3u);  // emptied before the walk, not appended to
}

TEST_F(FinderTest, HiddenFilesAreReportedFoldersAreNot) {
  tree.File(".hidden.txt");
  tree.File("plain.txt");
  fs::create_directories(tree / "folder.txt");
  fs::create_directories(tree / ".hdir.txt");
  EXPECT_EQ(Walk("*", false), (Names{tree / ".hidden.txt", tree / "plain.txt"}));
  EXPECT_EQ(attrs, (std::vector<std::int32_t>{kAttrArchive | kAttrHidden, kAttrArchive}));
  finder.Attributes.Include(TFileAttr::Directory);
  EXPECT_EQ(Walk("*", false), (Names{tree / ".hdir.txt", tree / ".hidden.txt", tree / "folder.txt",
                                     tree / "plain.txt"}));
  EXPECT_EQ(attrs[0], kAttrDirectory | kAttrHidden);
  EXPECT_EQ(finder.DirCount, 1);
  finder.Attributes.Exclude(TFileAttr::Hidden);
  EXPECT_EQ(Walk("*", false), (Names{tree / "folder.txt", tree / "plain.txt"}));
}

TEST_F(FinderTest, ListModeReportsExistingMatchingNames) {
  for (const char* rel : {"a.txt", "b.txt", "sub/c.txt", "notes.doc", ".hidden.txt"}) {
    tree.File(rel);
  }
  fs::create_directories(tree / "dir.txt");
  const Names list = {tree / "a.txt",     tree / "b.txt",   tree / "notes.doc",
                      tree / "sub/c.txt", tree / "dir.txt", tree / ".hidden.txt"};
  ASSERT_TRUE(fs::remove(tree / "b.txt"));
  finder.SearchInList = true;
  finder.SetFileList(list);
  EXPECT_EQ(Walk("*.txt", true), (Names{tree / "a.txt", tree / "sub/c.txt", tree / ".hidden.txt"}));
  EXPECT_EQ(finder.FileList, list);
  EXPECT_TRUE(Walk("a*.txt", false).empty()) << "the mask covers the whole name";
}

TEST_F(FinderTest, SpecialFilesAndLinkLoopsAreSafe) {
  tree.File("a.txt");
  tree.File("sub/b.txt");
  ASSERT_EQ(mkfifo((tree / "fifo.txt").c_str(), 0644), 0);
  fs::create_directory_symlink("..", tree / "sub/up");
  fs::create_directory_symlink(".", tree / "self");
  fs::create_symlink(tree / "sub/b.txt", tree / "link.txt");
  fs::create_symlink(tree / "nowhere", tree / "dangling.txt");
  fs::create_symlink("fifo.txt", tree / "fifolink.txt");
  EXPECT_EQ(Walk("*", true), (Names{tree / "a.txt", tree / "link.txt", tree / "sub/b.txt"}));
  // Links to folders are reported as folders but never entered.
  finder.Attributes.Include(TFileAttr::Directory);
  EXPECT_EQ(Walk("*", true), (Names{tree / "a.txt", tree / "link.txt", tree / "self", tree / "sub",
                                    tree / "sub/b.txt", tree / "sub/up"}));
}

TEST_F(FinderTest, DeepChainIsWalkedToTheBottom) {
  std::string rel;
  for (int level = 0; level < 200; ++level) {
    rel += "d" + std::to_string(level % 10) + "/";
    tree.File(rel + "f.txt");
  }
  ASSERT_EQ(Walk("*.*", true).size(), 200u);
  EXPECT_EQ(names.back(), tree / (rel + "f.txt"));
}

TEST_F(FinderTest, ErrorsLeaveAtOnceAndReleaseEverything) {
  for (int i = 0; i < 20; ++i) tree.File("d" + std::to_string(i) + "/f.txt");
  const auto open_descriptors = [] {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
  };
  const auto before = open_descriptors();
  int reported = 0;
  finder.OnFileFound = [&](TMyFindFile&, const std::string&, const TSearchRec&, bool&) {
    if (++reported == 3) throw std::runtime_error("handler failed");
  };
  for (int round = 0; round < 50; ++round) {
    reported = 0;
    EXPECT_THROW(Walk("*", true), std::runtime_error);
    EXPECT_EQ(reported, 3);
  }
  EXPECT_EQ(open_descriptors(), before);
  EXPECT_EQ(finishes, 0);
  // A bad mask is raised in list mode too, after OnStart and without OnFinish.
  finder.SearchInList = true;
  finder.SetFileList({tree / "d0/f.txt"});
  try {
    Walk("[a", false);
    ADD_FAILURE() << "no mask error";
  } catch (const EMaskError& e) {
    EXPECT_STREQ(e.what(), "'[a' is an invalid mask at (3)");
  }
  EXPECT_EQ(starts, 51);
  EXPECT_EQ(finishes, 0);
}

// A folder that cannot be read is passed over, and its siblings are not. Root reads every
// folder whatever its mode, so then the walk runs in a child process that has given up root.
TEST_F(FinderTest, UnreadableFolderIsSkipped) {
  tree.File("a.txt");
  tree.File("locked/inner/deep.txt");
  tree.File("open/b.txt");
  ASSERT_EQ(chmod(tree.Root().c_str(), 0755), 0);
  ASSERT_EQ(chmod((tree / "locked").c_str(), 0), 0);
  const std::string want = tree / "a.txt\n" + tree / "open/b.txt\n";
  const auto walked = [this] {
    std::string out;
    for (const std::string& name : Walk("*", true)) out += name + "\n";
    return out;
  };
  if (geteuid() != 0) {
    EXPECT_EQ(walked(), want);
    return;
  }
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipe_fds[0]);
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    const std::string out = walked();
    _exit(write(pipe_fds[1], out.data(), out.size()) == ssize_t(out.size()) ? 0 : 3);
  }
  close(pipe_fds[1]);
  std::string out;
  char buffer[4096];
  for (ssize_t n; (n = read(pipe_fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, n);
  close(pipe_fds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child could not drop root";
  EXPECT_EQ(out, want);
}

}  // namespace
}  // namespace velmora

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "find/DosDateTime.h"
#include "find/Masks.h"
#include "find/Un_MyFindFile.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

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
  void Dir(const std::string& rel) const { fs::create_directories(*this / rel); }

 private:
  std::string root_;
};

struct Found {
  std::string path;
  std::string name;
  std::int32_t attr;
  std::int64_t size;
  std::int32_t time;
};

// Records every event of a finder.
struct Recorder {
  std::vector<Found> found;
  int starts = 0;
  int finishes = 0;

  void Attach(TMyFindFile& finder) {
    finder.OnStart = [this](TMyFindFile&) { ++starts; };
    finder.OnFinish = [this](TMyFindFile&) { ++finishes; };
    finder.OnFileFound = [this](TMyFindFile&, const std::string& path, const TSearchRec& rec,
                                bool&) {
      found.push_back({path, rec.Name, rec.Attr, rec.Size, rec.Time});
    };
  }
  std::vector<std::string> FullNames() const {
    std::vector<std::string> names;
    for (const Found& f : found) names.push_back(f.path + f.name);
    return names;
  }
};

std::vector<std::string> Walk(const std::string& path, const std::string& mask, bool recursive,
                              TFileAttrs attributes = TMyFindFile().Attributes) {
  TMyFindFile finder;
  Recorder recorder;
  recorder.Attach(finder);
  finder.Path = path;
  finder.Mask = mask;
  finder.Recursive = recursive;
  finder.Attributes = attributes;
  finder.Execute();
  return recorder.FullNames();
}

// A temporary tree and a finder pointed at it, its events recorded.
class FinderTest : public ::testing::Test {
 protected:
  FinderTest() {
    recorder.Attach(finder);
    finder.Path = tree.Root();
  }
  TempTree tree;
  TMyFindFile finder;
  Recorder recorder;
};

TEST(FinderAttrs, DefaultSetIsThirtyNine) {
  EXPECT_EQ(TMyFindFile().Attributes.ToMask(), 39);
  TFileAttrs all{TFileAttr::ReadOnly,    TFileAttr::Hidden,    TFileAttr::System,
                 TFileAttr::VolumeLabel, TFileAttr::Directory, TFileAttr::Archive};
  EXPECT_EQ(all.ToMask(), 63);
  all.Exclude(TFileAttr::Hidden);
  EXPECT_FALSE(all.Contains(TFileAttr::Hidden));
  EXPECT_EQ(all.ToMask(), 61);
}

TEST(WalkMask, Table) {
  const struct {
    const char* mask;
    const char* name;
    bool matches;
  } rows[] = {
      {"*.*", "README", true},
      {"*.*", "a.b.c", true},
      {"*", ".profile", true},
      {"*.txt", "A.TXT", true},
      {"*.txt", "a.txt.bak", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"readme.*", "README", true},
      {"readme.*", "readme.md", true},
      {"*.t", "a.txt", false},
      {"", "a", false},
      {"*a*b*", "xaxxbx", true},
      {"*a*b*", "xbxxax", false},
      {"[a]", "[a]", true},
      {"[a]", "a", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(WalkMaskMatches(row.name, row.mask), row.matches) << row.mask << " " << row.name;
  }
}

TEST_F(FinderTest, TrailingDelimiterGivesTheSameWalk) {
  tree.File("a.txt");
  tree.File("sub/b.txt");
  const auto without = Walk(tree.Root(), "*.*", true);
  const auto with = Walk(tree.Root() + "/", "*.*", true);
  EXPECT_EQ(without, with);
  EXPECT_EQ(without, (std::vector<std::string>{tree / "a.txt", tree / "sub/b.txt"}));
}

TEST(Finder, EmptyPathReportsNothingButRaisesStartAndFinish) {
  TMyFindFile finder;
  Recorder recorder;
  recorder.Attach(finder);
  finder.FileList = {"kept"};
  finder.Execute();
  EXPECT_TRUE(recorder.found.empty());
  EXPECT_EQ(recorder.starts, 1);
  EXPECT_EQ(recorder.finishes, 1);
  EXPECT_EQ(finder.FileList, std::vector<std::string>{"kept"});
}

TEST_F(FinderTest, MissingStartFolderReportsNothing) {
  finder.Path = tree / "missing";
  finder.Recursive = true;
  finder.Execute();
  EXPECT_TRUE(recorder.found.empty());
  EXPECT_EQ(recorder.finishes, 1);
}

TEST_F(FinderTest, TreeIsWalkedBreadthFirst) {
  tree.File("r1.txt");
  tree.File("r2.txt");
  tree.File("A/a.txt");
  tree.File("A/A1/a1.txt");
  tree.File("B/b.txt");
  tree.File("B/B1/b1.txt");
  tree.File("A/A1/deeper/d.txt");
  const std::string root = tree.Root() + "/";

  finder.Mask = "*.txt";  // no folder matches it, every folder is still walked
  finder.Recursive = true;
  finder.Execute();

  const std::vector<std::string> expected = {
      root + "r1.txt",      root + "r2.txt",      root + "A/a.txt",          root + "B/b.txt",
      root + "A/A1/a1.txt", root + "B/B1/b1.txt", root + "A/A1/deeper/d.txt"};
  EXPECT_EQ(recorder.FullNames(), expected);
  EXPECT_EQ(finder.FileList, expected);
  EXPECT_EQ(recorder.found[2].path, root + "A/");
  EXPECT_EQ(finder.FileCount, 7);
  EXPECT_EQ(finder.DirCount, 0);
  EXPECT_EQ(finder.TotalSize, 7);

  // Without Recursive only the start folder.
  EXPECT_EQ(Walk(tree.Root(), "*.txt", false),
            (std::vector<std::string>{root + "r1.txt", root + "r2.txt"}));
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
  finder.Recursive = true;
  finder.Execute();
  EXPECT_EQ(events, (std::vector<std::string>{"a.txt", "finish, stopped"}));
  EXPECT_EQ(finder.FileList.size(), 1u);

  // Execute leaves Stop alone; the caller clears it for the next run.
  finder.Stop = false;
  events.clear();
  finder.OnFileFound = [&](TMyFindFile&, const std::string&, const TSearchRec& rec, bool&) {
    events.push_back(rec.Name);
  };
  finder.Execute();
  EXPECT_EQ(events, (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "finish"}));
  EXPECT_EQ(finder.FileList.size(), 3u);  // emptied before the walk, not appended to
}

TEST_F(FinderTest, HiddenFilesAreReportedFoldersAreNot) {
  tree.File(".hidden.txt", "12345");
  tree.File("plain.txt");
  tree.Dir("folder.txt");
  tree.Dir(".hdir.txt");

  finder.Execute();
  ASSERT_EQ(recorder.found.size(), 2u);
  EXPECT_EQ(recorder.found[0].name, ".hidden.txt");
  EXPECT_EQ(recorder.found[0].attr, kAttrArchive | kAttrHidden);
  EXPECT_EQ(recorder.found[0].size, 5);
  EXPECT_EQ(recorder.found[1].attr, kAttrArchive);

  // Folders come in once Directory is allowed; only a plain folder counts as a folder.
  finder.Attributes.Include(TFileAttr::Directory);
  recorder.found.clear();
  finder.Execute();
  std::vector<std::pair<std::string, std::int32_t>> seen;
  for (const Found& f : recorder.found) seen.emplace_back(f.name, f.attr);
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, std::int32_t>>{
                      {".hdir.txt", kAttrDirectory | kAttrHidden},
                      {".hidden.txt", kAttrArchive | kAttrHidden},
                      {"folder.txt", kAttrDirectory},
                      {"plain.txt", kAttrArchive}}));
  EXPECT_EQ(finder.DirCount, 1);
  EXPECT_EQ(finder.FileCount, 3);
  EXPECT_EQ(recorder.found[2].size, 0);

  // Without Hidden, names beginning with "." are left out.
  finder.Attributes.Exclude(TFileAttr::Hidden);
  EXPECT_EQ(Walk(tree.Root(), "*", false, finder.Attributes),
            (std::vector<std::string>{tree / "folder.txt", tree / "plain.txt"}));
}

TEST_F(FinderTest, RecordCarriesReadOnlyTrueSizeAndLocalTime) {
  tree.File("ro.txt");
  ASSERT_EQ(chmod((tree / "ro.txt").c_str(), 0444), 0);
  // A sparse file past 4 GiB shows its true size.
  {
    const int fd = open((tree / "big.bin").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, (std::int64_t{5} << 30) + 7), 0);
    close(fd);
  }
  std::tm local{};
  local.tm_year = 2020 - 1900;
  local.tm_mon = 4;
  local.tm_mday = 17;
  local.tm_hour = 13;
  local.tm_min = 45;
  local.tm_sec = 31;
  local.tm_isdst = -1;
  const timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (tree / "big.bin").c_str(), times, 0), 0);

  finder.Execute();
  ASSERT_EQ(recorder.found.size(), 2u);
  EXPECT_EQ(recorder.found[0].name, "big.bin");
  EXPECT_EQ(recorder.found[0].size, (std::int64_t{5} << 30) + 7);
  EXPECT_DOUBLE_EQ(FileDateToDateTime(recorder.found[0].time),
                   EncodeDate(2020, 5, 17) + EncodeTime(13, 45, 30));
  EXPECT_EQ(recorder.found[1].attr, kAttrArchive | kAttrReadOnly);
  EXPECT_EQ(finder.TotalSize, (std::int64_t{5} << 30) + 8);
}

TEST_F(FinderTest, ListModeReportsExistingMatchingNames) {
  tree.File("a.txt");
  tree.File("b.txt");
  tree.File("sub/c.txt", "abc");
  tree.File("notes.doc");
  tree.File(".hidden.txt");
  tree.Dir("dir.txt");
  const std::vector<std::string> list = {tree / "a.txt",     tree / "b.txt",
                                         tree / "notes.doc", tree / "sub/c.txt",
                                         tree / "dir.txt",   tree / ".hidden.txt"};
  ASSERT_EQ(std::remove((tree / "b.txt").c_str()), 0);

  finder.Mask = "*.txt";
  finder.SearchInList = true;
  finder.Recursive = true;  // has no say in list mode
  finder.SetFileList(list);
  finder.Execute();
  EXPECT_EQ(recorder.FullNames(),
            (std::vector<std::string>{tree / "a.txt", tree / "sub/c.txt", tree / ".hidden.txt"}));
  EXPECT_EQ(recorder.found[1].path, tree / "sub/");
  EXPECT_EQ(recorder.found[1].size, 3);
  EXPECT_EQ(finder.FileList, list);
  EXPECT_EQ(finder.FileCount, 3);
  EXPECT_EQ(recorder.finishes, 1);

  // The mask covers the whole name: a mask for the bare file name matches nothing.
  recorder.found.clear();
  finder.Mask = "a*.txt";
  finder.Execute();
  EXPECT_TRUE(recorder.found.empty());
}

TEST_F(FinderTest, ListModeStopsAndRaisesMaskErrors) {
  tree.File("a.txt");
  tree.File("b.txt");
  finder.SearchInList = true;
  finder.SetFileList({tree / "a.txt", tree / "b.txt"});
  finder.OnFileFound = [&](TMyFindFile&, const std::string&, const TSearchRec& rec, bool& stop) {
    recorder.found.push_back({"", rec.Name, 0, 0, 0});
    stop = true;
  };
  finder.Execute();
  EXPECT_EQ(recorder.found.size(), 1u);
  EXPECT_EQ(recorder.finishes, 1);

  finder.Stop = false;
  finder.Mask = "[a";
  try {
    finder.Execute();
    ADD_FAILURE() << "no mask error";
  } catch (const EMaskError& e) {
    EXPECT_STREQ(e.what(), "'[a' is an invalid mask at (3)");
  }
  EXPECT_EQ(recorder.found.size(), 1u);
  EXPECT_EQ(recorder.starts, 2);
  EXPECT_EQ(recorder.finishes, 1);  // no OnFinish after the error
}

TEST_F(FinderTest, EmptyMaskReportsNothingInEitherMode) {
  tree.File("a.txt");
  tree.File("sub/b");
  EXPECT_TRUE(Walk(tree.Root(), "", true).empty());
  finder.Mask = "";
  finder.SearchInList = true;
  finder.SetFileList({tree / "a.txt", tree / "sub/b"});
  finder.Execute();
  EXPECT_TRUE(recorder.found.empty());
  EXPECT_EQ(recorder.finishes, 1);
}

// Binds a unix socket at path; the bound file stays after the descriptor is closed.
bool MakeSocketFile(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof(addr.sun_path)) return close(fd), false;
  path.copy(addr.sun_path, path.size());
  const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
  close(fd);
  return ok;
}

TEST_F(FinderTest, SpecialFilesAndLinkLoopsAreSafe) {
  tree.File("a.txt");
  tree.File("sub/b.txt");
  ASSERT_EQ(mkfifo((tree / "fifo.txt").c_str(), 0644), 0);
  ASSERT_EQ(mkfifo((tree / "sub/fifo2.txt").c_str(), 0644), 0);
  ASSERT_TRUE(MakeSocketFile(tree / "s.txt"));
  // A device file needs privileges a container may lack; the rest of the test stands alone.
  const bool have_device = mknod((tree / "null.txt").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  fs::create_directory_symlink("..", tree / "sub/up");
  fs::create_directory_symlink(".", tree / "self");
  fs::create_directory_symlink(tree / "sub", tree / "sublink.txt");
  fs::create_symlink(tree / "sub/b.txt", tree / "link.txt");
  fs::create_symlink(tree / "nowhere", tree / "dangling.txt");
  fs::create_symlink("fifo.txt", tree / "fifolink.txt");

  const auto found = Walk(tree.Root(), "*", true);
  EXPECT_EQ(found,
            (std::vector<std::string>{tree / "a.txt", tree / "link.txt", tree / "sub/b.txt"}))
      << "device file made: " << have_device;

  // With folders allowed, links to folders are reported as folders but never entered.
  TFileAttrs with_dirs = TMyFindFile().Attributes;
  with_dirs.Include(TFileAttr::Directory);
  const auto with_folders = Walk(tree.Root(), "*", true, with_dirs);
  EXPECT_EQ(with_folders, (std::vector<std::string>{
                              tree / "a.txt", tree / "link.txt", tree / "self", tree / "sub",
                              tree / "sublink.txt", tree / "sub/b.txt", tree / "sub/up"}));
}

TEST_F(FinderTest, NamesArePassedThroughAsBytes) {
  const std::string odd = "\xff\xfe name\x01.TXT";
  tree.File(odd);
  EXPECT_EQ(Walk(tree.Root(), "*.txt", false), std::vector<std::string>{tree / odd});
  finder.SearchInList = true;
  finder.SetFileList({tree / odd});
  finder.Execute();
  ASSERT_EQ(recorder.found.size(), 1u);
  EXPECT_EQ(recorder.found[0].name, odd);
}

TEST_F(FinderTest, DeepChainIsWalkedToTheBottom) {
  std::string rel;
  for (int level = 0; level < 200; ++level) {
    rel += "d" + std::to_string(level % 10) + "/";
    tree.File(rel + "f.txt");
  }
  const auto found = Walk(tree.Root(), "*.*", true);
  ASSERT_EQ(found.size(), 200u);
  EXPECT_EQ(found.back(), tree / (rel + "f.txt"));
}

TEST_F(FinderTest, ErrorFromHandlerLeavesAtOnceAndReleasesEverything) {
  for (int i = 0; i < 20; ++i) tree.File("d" + std::to_string(i) + "/f.txt");
  const auto open_descriptors = [] {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
  };
  const auto before = open_descriptors();

  int reported = 0;
  int finishes = 0;
  finder.OnFinish = [&](TMyFindFile&) { ++finishes; };
  finder.OnFileFound = [&](TMyFindFile&, const std::string&, const TSearchRec&, bool&) {
    if (++reported == 3) throw std::runtime_error("handler failed");
  };
  finder.Recursive = true;
  for (int round = 0; round < 50; ++round) {
    reported = 0;
    EXPECT_THROW(finder.Execute(), std::runtime_error);
    EXPECT_EQ(reported, 3);
  }
  EXPECT_EQ(finishes, 0);
  EXPECT_EQ(open_descriptors(), before);

  // The same finder runs normally afterwards.
  finder.OnFileFound = [&](TMyFindFile&, const std::string&, const TSearchRec&, bool&) {
    ++reported;
  };
  reported = 0;
  finder.Execute();
  EXPECT_EQ(reported, 20);
  EXPECT_EQ(finishes, 1);
}

// A folder that cannot be read is passed over, and its siblings are not. Root reads every
// folder whatever its mode, so then the walk runs in a child process that has given up root.
TEST_F(FinderTest, UnreadableFolderIsSkipped) {
  tree.File("a.txt");
  tree.File("locked/secret.txt");
  tree.File("locked/inner/deep.txt");
  tree.File("open/b.txt");
  ASSERT_EQ(chmod(tree.Root().c_str(), 0755), 0);
  ASSERT_EQ(chmod((tree / "locked").c_str(), 0), 0);
  const std::vector<std::string> expected = {tree / "a.txt", tree / "open/b.txt"};

  if (geteuid() != 0) {
    EXPECT_EQ(Walk(tree.Root(), "*", true), expected);
    return;
  }
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipe_fds[0]);
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    std::string out;
    for (const std::string& name : Walk(tree.Root(), "*", true)) out += name + "\n";
    const bool written = write(pipe_fds[1], out.data(), out.size()) == ssize_t(out.size());
    _exit(written ? 0 : 3);
  }
  close(pipe_fds[1]);
  std::string out;
  char buffer[4096];
  for (ssize_t n; (n = read(pipe_fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, n);
  close(pipe_fds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "child could not drop root or write its result";
  std::string want;
  for (const std::string& name : expected) want += name + "\n";
  EXPECT_EQ(out, want);
}

}  // namespace
}  // namespace velmora

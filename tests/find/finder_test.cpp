#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "doubles/NoAccessOverride.h"
#include "doubles/TempFolder.h"
#include "find/DosDateTime.h"
#include "find/Masks.h"
#include "find/Un_MyFindFile.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

using TempTree = testing::TempFolder;

struct Found {
  std::string path;
  TSearchRec rec;
};

// A temporary tree and a finder pointed at it, its events recorded.
class FinderTest : public ::testing::Test {
 protected:
  FinderTest() {
    finder.OnStart = [this](TMyFindFile&) { ++starts; };
    finder.OnFinish = [this](TMyFindFile&) { ++finishes; };
    finder.OnFileFound = [this](TMyFindFile&, const std::string& path, const TSearchRec& rec,
                                bool&) {
      found.push_back({path, rec});
    };
    finder.Path = tree.Root();
  }
  Names Run() {
    found.clear();
    finder.Execute();
    Names names;
    for (const Found& f : found) names.push_back(f.path + f.rec.Name);
    return names;
  }
  TempTree tree;
  TMyFindFile finder;
  std::vector<Found> found;
  int starts = 0;
  int finishes = 0;
};

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

const std::string kOdd = "\xff\xfe name\x01.TXT";  // names are bytes, passed through

// Names separated by blanks; "~" stands for kOdd.
Names Split(const std::string& text) {
  Names names;
  std::istringstream in(text);
  for (std::string name; in >> name;) names.push_back(name == "~" ? kOdd : name);
  return names;
}

// Files, hidden entries, folders, special files and links of every kind, in one tree.
void MakeMixedTree(const TempTree& tree) {
  for (const char* rel : {"r1.txt", "r2.txt", "README", "A/a.txt", "A/A1/a1.txt",
                          "A/A1/deeper/d.txt", "B/b.txt", "B/B1/b1.txt"}) {
    tree.File(rel);
  }
  tree.File(".hidden.txt", "12345");
  // Temporary files of rewrites (a killed run leaves them): never reported.
  tree.File(".r1.txt.velmora-Ab12Cd");
  tree.File("A/.a.txt.velmora-x1Y2z3");
  tree.File(kOdd);
  tree.Dir("folder.txt");
  tree.Dir(".hdir.txt");
  ASSERT_EQ(mkfifo((tree / "fifo.txt").c_str(), 0644), 0);
  ASSERT_EQ(mkfifo((tree / "B/fifo2.txt").c_str(), 0644), 0);
  ASSERT_TRUE(MakeSocketFile(tree / "s.txt"));
  fs::create_directory_symlink("..", tree / "B/up.txt");
  fs::create_directory_symlink(".", tree / "self");
  fs::create_directory_symlink(tree / "B", tree / "sublink.txt");
  fs::create_symlink(tree / "B/b.txt", tree / "link.txt");
  fs::create_symlink(tree / "nowhere", tree / "dangling.txt");
  fs::create_symlink("fifo.txt", tree / "fifolink.txt");
}

// Walks are breadth first in byte order; only regular files, folders (when allowed) and links
// to them are reported, and links to folders are never entered.
TEST_F(FinderTest, WalkTable) {
  MakeMixedTree(tree);
  const struct {
    const char* start;  // appended to the tree's root
    const char* mask;
    std::string flags;  // r: recursive, f: folders allowed, h: hidden entries allowed
    int dirs;
    const char* names;
  } rows[] = {
      {"", "*.txt", "rh", 0,
       ".hidden.txt link.txt r1.txt r2.txt ~ A/a.txt B/b.txt A/A1/a1.txt B/B1/b1.txt "
       "A/A1/deeper/d.txt"},
      {"/", "*.txt", "h", 0, ".hidden.txt link.txt r1.txt r2.txt ~"},
      {"", "*", "", 0, "README link.txt r1.txt r2.txt ~"},
      {"", "*", "fh", 5,
       ".hdir.txt .hidden.txt A B README folder.txt link.txt r1.txt r2.txt self sublink.txt ~"},
      {"", "*", "rf", 9,
       "A B README folder.txt link.txt r1.txt r2.txt self sublink.txt ~ A/A1 A/a.txt B/B1 "
       "B/b.txt B/up.txt A/A1/a1.txt A/A1/deeper B/B1/b1.txt A/A1/deeper/d.txt"},
      {"", "r*.*", "h", 0, "README r1.txt r2.txt"},
      {"", "", "rfh", 0, ""},
      {"/missing", "*", "rfh", 0, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.start) + " " + row.mask + " " + row.flags);
    finder.Path = tree.Root() + row.start;
    finder.Mask = row.mask;
    finder.Recursive = row.flags.find('r') != std::string::npos;
    finder.Attributes = {TFileAttr::ReadOnly, TFileAttr::System, TFileAttr::Archive};
    if (row.flags.find('f') != std::string::npos) finder.Attributes.Include(TFileAttr::Directory);
    if (row.flags.find('h') != std::string::npos) finder.Attributes.Include(TFileAttr::Hidden);
    const Names expected = tree / Split(row.names);
    EXPECT_EQ(Run(), expected);
    EXPECT_EQ(finder.FileList().ToVector(), expected);
    EXPECT_EQ(finder.DirCount, row.dirs);
    EXPECT_EQ(finder.FileCount, static_cast<int>(expected.size()) - row.dirs);
  }
  EXPECT_EQ(finishes, 8);
}

// List mode reports the names of the list that match the mask over the whole name and still
// exist as files; the list is left as it is.
TEST_F(FinderTest, ListTable) {
  MakeMixedTree(tree);
  const Names list = tree / Names{"r1.txt",      "missing.txt", "README",   "B/b.txt", "folder.txt",
                                  ".hidden.txt", "fifo.txt",    "link.txt", kOdd};
  const std::pair<const char*, const char*> rows[] = {
      {"*.txt", "r1.txt B/b.txt .hidden.txt link.txt ~"},
      {"*/B/*", "B/b.txt"},
      {"r*.txt", ""},
      {"", ""},
  };
  finder.SearchInList = true;
  finder.Recursive = true;  // has no say in list mode
  finder.SetFileList(list);
  for (const auto& [mask, names] : rows) {
    finder.Mask = mask;
    EXPECT_EQ(Run(), tree / Split(names)) << mask;
    EXPECT_EQ(finder.FileList().ToVector(), list);
  }
  EXPECT_EQ(finishes, 4);
}

TEST_F(FinderTest, EmptyPathReportsNothingButRaisesStartAndFinish) {
  finder.Path = "";
  finder.SetFileList({"kept"});
  EXPECT_EQ(Run(), Names{});
  EXPECT_EQ(starts + finishes, 2);
  EXPECT_EQ(finder.FileList().ToVector(), Names{"kept"});
}

TEST_F(FinderTest, RecordCarriesAttributesTrueSizeAndLocalTimeAndCounts) {
  tree.File(".hidden", "12345");
  tree.File("ro.txt");
  tree.Dir("plain");
  tree.Dir("locked");
  ASSERT_EQ(chmod((tree / "ro.txt").c_str(), 0444), 0);
  ASSERT_EQ(chmod((tree / "locked").c_str(), 0555), 0);
  // A sparse file past 4 GiB shows its true size.
  {
    const int fd = open((tree / "big.bin").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, (std::int64_t{5} << 30) + 7), 0);
    close(fd);
  }
  std::tm local{};
  ASSERT_NE(strptime("2020-05-17 13:45:31", "%Y-%m-%d %H:%M:%S", &local), nullptr);
  local.tm_isdst = -1;
  const timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (tree / "big.bin").c_str(), times, 0), 0);

  finder.Mask = "*";
  finder.Attributes.Include(TFileAttr::Directory);
  Run();
  ASSERT_EQ(found.size(), 5u);
  const std::tuple<std::string, std::int32_t, std::int64_t> expected[] = {
      {".hidden", kAttrArchive | kAttrHidden, 5},
      {"big.bin", kAttrArchive, (std::int64_t{5} << 30) + 7},
      {"locked", kAttrDirectory | kAttrReadOnly, 0},
      {"plain", kAttrDirectory, 0},
      {"ro.txt", kAttrArchive | kAttrReadOnly, 1}};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(std::make_tuple(found[i].rec.Name, found[i].rec.Attr(), found[i].rec.Size()),
              expected[i]);
  }
  EXPECT_DOUBLE_EQ(FileDateToDateTime(found[1].rec.Time()),
                   EncodeDate(2020, 5, 17) + EncodeTime(13, 45, 30));
  EXPECT_EQ(finder.TotalSize(), (std::int64_t{5} << 30) + 13);
  // Only a folder whose attributes are exactly "directory" counts as one.
  EXPECT_EQ(finder.DirCount, 1);
  EXPECT_EQ(finder.FileCount, 4);
}

// Sizes are read only when asked for, yet TotalSize is the same whoever asked: the handler
// during the walk, TotalSize afterwards, or both, also once FileList was replaced since.
TEST_F(FinderTest, TotalSizeIsTheSameWhateverWasAskedDuringTheWalk) {
  tree.File("a.txt", "1");
  tree.File("b.txt", "22");
  tree.File("sub/c.txt", "4444");
  tree.File("sub/d.txt", "88888888");
  fs::create_symlink(tree / "sub/d.txt", tree / "link.txt");
  finder.Mask = "*";
  finder.Recursive = true;
  const struct {
    int ask_every;  // the handler asks the size of every n-th entry; 0: never
    bool replace_list;
  } rows[] = {{0, false}, {1, false}, {2, false}, {0, true}, {3, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.ask_every) + (row.replace_list ? " replaced" : ""));
    int seen = 0;
    std::int64_t asked = 0;
    finder.OnFileFound = [&](TMyFindFile&, const std::string&, const TSearchRec& rec, bool&) {
      if (row.ask_every > 0 && seen++ % row.ask_every == 0) asked += rec.Size();
    };
    finder.Execute();
    if (row.ask_every == 1) {
      EXPECT_EQ(asked, 23);
    }
    if (row.replace_list) finder.SetFileList({tree / "a.txt"});
    EXPECT_EQ(finder.TotalSize(), 1 + 2 + 4 + 8 + 8);
    EXPECT_EQ(finder.TotalSize(), 1 + 2 + 4 + 8 + 8);  // reading it twice adds nothing
  }
}

// A run ends early, in the walk and in list mode, on a stop from the handler (OnFinish still
// comes; Stop stays set for the caller to clear), an error from the handler (raised at once, no
// OnFinish) and an invalid mask (raised before any report). No descriptor stays open, and the
// same finder then runs normally.
TEST_F(FinderTest, EarlyEndTable) {
  for (int i = 0; i < 20; ++i) tree.File("d" + std::to_string(i) + "/f.txt");
  tree.File("a.txt");
  finder.Recursive = true;
  finder.SetFileList({tree / "a.txt", tree / "d0/f.txt"});
  const struct {
    bool listMode;
    const char* mask;
    int throwAt;  // the report that raises; 0: the first report stops instead
    int reports;
    const char* error;
  } rows[] = {
      {false, "*", 0, 1, ""},
      {true, "*", 0, 1, ""},
      {false, "*", 3, 3, "handler failed"},
      {true, "*", 2, 2, "handler failed"},
      {true, "[a", 0, 0, "'[a' is an invalid mask at (3)"},
  };
  const auto descriptors = testing::OpenDescriptorCount();
  int reports = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.mask) + (row.listMode ? " list " : " walk ") + row.error);
    finder.SearchInList = row.listMode;
    finder.Mask = row.mask;
    finder.Stop = false;
    starts = finishes = reports = 0;
    finder.OnFileFound = [&](TMyFindFile&, const std::string&, const TSearchRec& rec, bool& stop) {
      if (++reports == row.throwAt) throw std::runtime_error("handler failed");
      if (row.throwAt != 0) return;
      EXPECT_EQ(rec.Name, "a.txt");
      stop = true;
    };
    std::string error;
    try {
      finder.Execute();
    } catch (const std::runtime_error& e) {
      error = e.what();
    }
    EXPECT_EQ(error, row.error);
    EXPECT_EQ(reports, row.reports);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(finishes, error.empty() ? 1 : 0);
    EXPECT_EQ(finder.Stop, error.empty());
  }
  EXPECT_EQ(testing::OpenDescriptorCount(), descriptors);
  finder.SearchInList = false;
  finder.Mask = "*";
  finder.Stop = false;
  finder.OnFileFound = [&](TMyFindFile&, const std::string&, const TSearchRec&, bool&) {
    ++reports;
  };
  reports = 0;
  finder.Execute();
  EXPECT_EQ(reports, 21);
  EXPECT_EQ(finder.FileList().size(), 21u);  // emptied before the walk, not appended to
}

// A folder that cannot be opened is passed over and told, with the reason; its siblings are
// walked. A start folder that does not exist is told the same way.
TEST_F(FinderTest, UnreadableFolderIsSkippedAndTold) {
  const testing::NoAccessOverride noOverride;
  if (!noOverride.Active()) GTEST_SKIP() << "permission bits cannot be made to bind";
  tree.File("a.txt");
  tree.File("locked/secret.txt");
  tree.File("locked/inner/deep.txt");
  tree.File("open/b.txt");
  tree.File("listonly/named.txt");  // its names can be read, its entries not reached
  ASSERT_EQ(chmod((tree / "locked").c_str(), 0), 0);
  ASSERT_EQ(chmod((tree / "listonly").c_str(), 0444), 0);
  std::vector<std::string> told;
  finder.OnFolderError = [&](TMyFindFile&, const std::string& folder, int error) {
    told.push_back(folder + " " + std::to_string(error));
  };
  finder.Mask = "*";
  finder.Recursive = true;
  EXPECT_EQ(Run(), (Names{tree / "a.txt", tree / "open/b.txt"}));
  EXPECT_EQ(told, Names{tree / "locked/ " + std::to_string(EACCES)});

  told.clear();
  finder.Path = tree / "missing";
  for (const bool recursive : {true, false}) {
    finder.Recursive = recursive;
    EXPECT_EQ(Run(), Names{});
  }
  const std::string missing = tree / "missing/ " + std::to_string(ENOENT);
  EXPECT_EQ(told, (Names{missing, missing}));
  EXPECT_EQ(finishes, 3);
}

}  // namespace
}  // namespace velmora

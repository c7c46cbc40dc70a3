// Files below folders whose full name is longer than the kernel takes at once.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "find/Un_MyFindFile.h"

namespace velmora {
namespace {

// A chain of folders with long names below a temporary folder, built and removed through
// descriptors (a full name of it is too long for mkdir or rmdir), with one file per branch at
// the bottom: "<chain>/a/deep.txt" and "<chain>/b/deep.txt".
class DeepTree {
 public:
  DeepTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-deep-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    fds_.push_back(open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    chain_ = root_ + "/";
    while (chain_.size() <= PATH_MAX + 200) Descend(std::string(200, 'd'));
    for (const char* branch : {"b", "a"}) {
      mkdirat(fds_.back(), branch, 0700);
      const int fd = openat(fds_.back(), branch, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      close(openat(fd, "deep.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
      close(fd);
    }
  }
  ~DeepTree() {
    for (const char* branch : {"a", "b"}) {
      const int fd = openat(fds_.back(), branch, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      unlinkat(fd, "deep.txt", 0);
      close(fd);
      unlinkat(fds_.back(), branch, AT_REMOVEDIR);
    }
    for (std::size_t level = fds_.size() - 1; level > 0; --level) {
      close(fds_[level]);
      unlinkat(fds_[level - 1], names_[level - 1].c_str(), AT_REMOVEDIR);
    }
    close(fds_[0]);
    rmdir(root_.c_str());
  }
  DeepTree(const DeepTree&) = delete;
  DeepTree& operator=(const DeepTree&) = delete;

  const std::string& Root() const { return root_; }
  // The bottom of the chain, ending with "/".
  const std::string& Chain() const { return chain_; }

 private:
  void Descend(const std::string& name) {
    mkdirat(fds_.back(), name.c_str(), 0700);
    fds_.push_back(openat(fds_.back(), name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fds_.back() < 0) throw std::runtime_error("cannot build the deep tree");
    names_.push_back(name);
    chain_ += name + "/";
  }

  std::string root_;
  std::string chain_;
  std::vector<int> fds_;
  std::vector<std::string> names_;
};

TEST(LongPathTest, FilesBelowPathsLongerThanTheKernelTakesAreFoundInEveryMode) {
  std::string root;
  {
    DeepTree tree;
    root = tree.Root();
    const std::vector<std::string> expected = {tree.Chain() + "a/deep.txt",
                                               tree.Chain() + "b/deep.txt"};
    ASSERT_GT(expected[0].size(), static_cast<std::size_t>(PATH_MAX));
    const struct {
      const char* mode;
      std::string path;
      bool recursive;
      bool in_list;
    } modes[] = {
        {"tree walk", tree.Root(), true, false},
        {"one folder", tree.Chain() + "a", false, false},
        {"list", tree.Root(), false, true},
    };
    for (const auto& mode : modes) {
      TMyFindFile finder;
      finder.Path = mode.path;
      finder.Recursive = mode.recursive;
      finder.SearchInList = mode.in_list;
      finder.Mask = "*.txt";
      if (mode.in_list) finder.SetFileList(expected);
      std::vector<std::string> found;
      finder.OnFileFound = [&](TMyFindFile&, const std::string& path, const TSearchRec& rec,
                               bool&) { found.push_back(path + rec.Name); };
      finder.Execute();
      const std::vector<std::string> wanted =
          mode.recursive || mode.in_list ? expected : std::vector<std::string>{expected[0]};
      EXPECT_EQ(found, wanted) << mode.mode;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(root)) << "the deep tree was not removed";
}

}  // namespace
}  // namespace velmora

// The shortened names of the file commands' messages and the rename that never replaces.

#include <gtest/gtest.h>

#include "modify/FileOperations.h"
#include "modify/ModifyFixture.h"

namespace velmora::testing {
namespace {

TEST(ShortPathTest, KeepsTheFirstPartAndTheLastTwo) {
  const struct {
    std::string full, shown;
  } cases[] = {
      {"/home/user/Docs/Old/a b.txt", "/../Old/a b.txt"},
      {"/a.txt", "/..//a.txt"},  // two parts: the first is also the second-to-last
      {"/home/a.txt", "/../home/a.txt"},
      {"/x//y.txt", "/..//y.txt"},  // empty parts are kept
      {"a.txt", "a.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(ShortPath(c.full), c.shown) << c.full;
}

using RenameNoReplaceTest = ModifyTest;

TEST_F(RenameNoReplaceTest, RenamesOnlyOntoAFreeName) {
  const std::string from = Write("a.txt", "a");
  const std::string taken = Write("b.txt", "b");
  EXPECT_FALSE(RenameNoReplace(from, taken));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(Read(taken), "b");
  EXPECT_EQ(Read(from), "a");
  EXPECT_TRUE(RenameNoReplace(from, Path("c.txt")));
  EXPECT_FALSE(Exists(from));
  EXPECT_EQ(Read(Path("c.txt")), "a");
  EXPECT_FALSE(RenameNoReplace(from, Path("d.txt")));  // gone meanwhile
  EXPECT_EQ(errno, ENOENT);
}

}  // namespace
}  // namespace velmora::testing

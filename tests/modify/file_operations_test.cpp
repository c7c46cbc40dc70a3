// The shortened names of the file commands' messages.

#include <gtest/gtest.h>

#include "modify/FileOperations.h"

namespace velmora {
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

}  // namespace
}  // namespace velmora

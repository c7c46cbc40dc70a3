#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "velmora_version.h"

TEST(Version, IsDottedTriple) {
  const std::string version = velmora::VersionString();
  EXPECT_EQ(std::count(version.begin(), version.end(), '.'), 2) << version;
}

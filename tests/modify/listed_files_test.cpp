#include "modify/ListedFiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "doubles/ErrorText.h"
#include "doubles/TempFolder.h"
#include "engines/Un_Tambahan.h"

namespace velmora::testing {
namespace {

// Enough names for the table to grow several times: each keeps its own stamp, a changed file is
// refused by name, a forgotten or never noted one passes, and a file noted again is current.
TEST(ListedFiles, EachNameKeepsItsOwnStateAsTheTableGrows) {
  TempFolder dir;
  TListedFiles listed;
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) names.push_back(dir.Write("f" + std::to_string(i), "x"));
  for (const auto& name : names) listed.Note(name);

  dir.Write("f7", "grown");
  dir.Write("f250", "grown");
  for (const auto& name : names) {
    if (name == names[7] || name == names[250]) {
      EXPECT_THROW(listed.CheckUnchanged(name), EFileError) << name;
    } else {
      EXPECT_NO_THROW(listed.CheckUnchanged(name)) << name;
    }
  }
  EXPECT_NE(ErrorText<EFileError>([&] {
              listed.CheckUnchanged(names[7]);
            }).find(names[7] + "\" has changed"),
            std::string::npos);
  listed.Note(names[7]);  // listed again: what it is now counts
  EXPECT_NO_THROW(listed.CheckUnchanged(names[7]));

  ::unlink(names[9].c_str());  // cannot be looked at: forgotten
  listed.Note(names[9]);
  dir.Write("f9", "back, and different");
  EXPECT_NO_THROW(listed.CheckUnchanged(names[9]));
  EXPECT_NO_THROW(listed.CheckUnchanged((dir.Path() / "never-noted").string()));

  listed.Clear();
  EXPECT_NO_THROW(listed.CheckUnchanged(names[250]));
}

}  // namespace
}  // namespace velmora::testing

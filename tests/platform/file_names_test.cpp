// File names that are not UTF-8: shown escaped, handed to programs as the exact bytes.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTreeView>
#include <cstdlib>

#include "platform/Binder.h"
#include "platform/DetachedProcess.h"
#include "platform/QtShell.h"
#include "platform/RealWindowFixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;

const std::string kLatin1Name = "latin1_\xe9t\xe9.txt";

class FileNameTest : public RealWindowTest {
 protected:
  void WriteTree() override {
    temp.File("tree/" + kLatin1Name, "needle\n");
    WriteArgumentRecorder(recorder);
  }
  const std::string folder = temp / "tree/";
  const std::string recorder = temp / "record-argv";
};

TEST(DisplayTextTest, ValidUtf8IsDecodedAndEveryOtherByteEscaped) {
  const struct {
    std::string bytes;
    std::string shown;  // UTF-8
  } cases[] = {
      {"plain.txt", "plain.txt"},
      {"caf\xc3\xa9", "caf\xc3\xa9"},
      {kLatin1Name, "latin1_\\xE9t\\xE9.txt"},
      {"\xc0\xaf", "\\xC0\\xAF"},               // overlong "/"
      {"a\xed\xa0\x80z", "a\\xED\\xA0\\x80z"},  // surrogate
      {"\xe2\x82", "\\xE2\\x82"},               // cut short
      {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToQt(c.bytes).toStdString(), c.shown);
}

TEST_F(FileNameTest, TrashTakesTheFileOfTheExactBytes) {
  const fs::path data = temp / "data";
  const char* before = std::getenv("XDG_DATA_HOME");
  const std::string kept = before ? before : "";
  ::setenv("XDG_DATA_HOME", data.c_str(), 1);
  // What the name would become through a lossy decoding: a different file that must stay.
  const std::string decoy =
      folder + QFile::encodeName(QFile::decodeName(kLatin1Name.c_str())).toStdString();
  ASSERT_NE(decoy, folder + kLatin1Name);
  testing::WriteWholeFile(decoy, "decoy");
  QtShell shell;
  for (const std::string& name : {kLatin1Name, std::string("caf\xc3\xa9.txt")}) {
    testing::WriteWholeFile(folder + name, "trash me");
    EXPECT_TRUE(shell.MoveToTrash(folder + name)) << name;
    EXPECT_FALSE(fs::exists(folder + name)) << name;
    EXPECT_EQ(ReadWholeFile((data / "Trash" / "files" / name).string()), "trash me") << name;
    EXPECT_TRUE(fs::exists(data / "Trash" / "info" / (name + ".trashinfo"))) << name;
  }
  const std::string record =
      ReadWholeFile((data / "Trash" / "info" / (kLatin1Name + ".trashinfo")).string());
  EXPECT_NE(record.find("Path=" + folder + "latin1_%E9t%E9.txt\n"), std::string::npos);
  EXPECT_FALSE(shell.MoveToTrash(folder + kLatin1Name));  // gone: nothing else is taken
  EXPECT_TRUE(fs::exists(decoy));
  before ? ::setenv("XDG_DATA_HOME", kept.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
}

TEST_F(FileNameTest, ProgramsGetTheNameBytesUnchanged) {
  const std::string name = folder + kLatin1Name;
  QtShell editorShell;
  ASSERT_TRUE(editorShell.StartProgram(recorder, name));
  EXPECT_EQ(RecordedArgument(recorder), name);
  QtShell openerShell(recorder);
  ASSERT_TRUE(openerShell.OpenFile(name));
  EXPECT_EQ(RecordedArgument(recorder), name);

  EXPECT_FALSE(editorShell.StartProgram("", name));
  EXPECT_FALSE(editorShell.StartProgram(temp / "missing", name));
  EXPECT_EQ(FindExecutable("sh").substr(0, 1), "/");
}

TEST_F(FileNameTest, TheWindowShowsTheNameEscapedAndEditsTheRealFile) {
  keys.OpenKey("Software\\Velmora\\Option", true);
  keys.WriteString("Editor", recorder);
  Get<QComboBox>("cmb_path")->setEditText(ToQt(folder));
  Get<QComboBox>("cmb_query")->setEditText(QStringLiteral("needle"));
  Get<QPushButton>("btn_find")->click();
  auto* list = Get<QTreeView>("ListView1");
  ASSERT_EQ(list->model()->rowCount(), 1);
  EXPECT_EQ(list->model()->index(0, 0).data().toString().toStdString(), "latin1_\\xE9t\\xE9.txt");
  Get<QPushButton>("edt_file")->click();
  EXPECT_EQ(RecordedArgument(recorder), folder + kLatin1Name);
}

}  // namespace
}  // namespace velmora

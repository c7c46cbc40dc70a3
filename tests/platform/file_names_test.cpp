// File names that are not UTF-8: shown escaped, handed to programs as the exact bytes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "doubles/TempFolder.h"
#include "platform/Binder.h"
#include "platform/DetachedProcess.h"
#include "platform/MainWindow.h"
#include "platform/QtShell.h"
#include "settings/MemoryKeyStore.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

const std::string kLatin1Name = "latin1_\xe9t\xe9.txt";

class FileNameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root / "tree");
    recorder = (root / "record-argv").string();
    // Writes its first argument's bytes to "<own name>.out" (through a rename: never half).
    std::ofstream(recorder)
        << "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.out\"\n";
    fs::permissions(recorder, fs::perms::owner_all);
  }

  // The argument the recorder got; waits for the detached process to write it.
  std::string RecordedArgument() const {
    const std::string out = recorder + ".out";
    for (int i = 0; i < 500 && !fs::exists(out); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return testing::ReadWholeFile(out);
  }

  testing::TempFolder temp;
  fs::path root = temp.Path();
  std::string recorder;
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
  const fs::path data = root / "data";
  const char* before = std::getenv("XDG_DATA_HOME");
  const std::string kept = before ? before : "";
  ::setenv("XDG_DATA_HOME", data.c_str(), 1);
  const std::string folder = (root / "tree").string() + "/";
  // What the name would become through a lossy decoding: a different file that must stay.
  const std::string decoy =
      folder + QFile::encodeName(QFile::decodeName(kLatin1Name.c_str())).toStdString();
  ASSERT_NE(decoy, folder + kLatin1Name);
  std::ofstream(decoy) << "decoy";
  QtShell shell;
  for (const std::string& name : {kLatin1Name, std::string("caf\xc3\xa9.txt")}) {
    std::ofstream(folder + name) << "trash me";
    EXPECT_TRUE(shell.MoveToTrash(folder + name)) << name;
    EXPECT_FALSE(fs::exists(folder + name)) << name;
    std::ifstream in(data / "Trash" / "files" / name, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "trash me") << name;
    EXPECT_TRUE(fs::exists(data / "Trash" / "info" / (name + ".trashinfo"))) << name;
  }
  std::ifstream info(data / "Trash" / "info" / (kLatin1Name + ".trashinfo"));
  const std::string record(std::istreambuf_iterator<char>(info), {});
  EXPECT_NE(record.find("Path=" + folder + "latin1_%E9t%E9.txt\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(decoy));
  EXPECT_FALSE(shell.MoveToTrash(folder + kLatin1Name));  // gone: nothing else is taken
  EXPECT_TRUE(fs::exists(decoy));
  before ? ::setenv("XDG_DATA_HOME", kept.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
}

TEST_F(FileNameTest, ProgramsGetTheNameBytesUnchanged) {
  const std::string name = (root / "tree").string() + "/" + kLatin1Name;
  QtShell editorShell;
  ASSERT_TRUE(editorShell.StartProgram(recorder, name));
  EXPECT_EQ(RecordedArgument(), name);

  fs::remove(recorder + ".out");
  QtShell openerShell(recorder);
  ASSERT_TRUE(openerShell.OpenFile(name));
  EXPECT_EQ(RecordedArgument(), name);

  EXPECT_FALSE(editorShell.StartProgram("", name));
  EXPECT_FALSE(editorShell.StartProgram((root / "missing").string(), name));
  EXPECT_EQ(FindExecutable("sh").substr(0, 1), "/");
}

TEST_F(FileNameTest, TheWindowShowsTheNameEscapedAndEditsTheRealFile) {
  const std::string folder = (root / "tree").string() + "/";
  std::ofstream(folder + kLatin1Name) << "needle\n";
  MemoryKeyStore keys;
  QtAdapters adapters;
  MainWindow window(keys, adapters);
  window.show();
  keys.OpenKey("Software\\Velmora\\Option", true);
  keys.WriteString("Editor", recorder);

  window.findChild<QComboBox*>(QStringLiteral("cmb_path"))->setEditText(ToQt(folder));
  window.findChild<QComboBox*>(QStringLiteral("cmb_query"))->setEditText(QStringLiteral("needle"));
  window.findChild<QPushButton*>(QStringLiteral("btn_find"))->click();
  auto* list = window.findChild<QTreeView*>(QStringLiteral("ListView1"));
  ASSERT_EQ(list->model()->rowCount(), 1);
  EXPECT_EQ(list->model()->index(0, 0).data().toString().toStdString(), "latin1_\\xE9t\\xE9.txt");

  window.findChild<QPushButton*>(QStringLiteral("edt_file"))->click();
  EXPECT_EQ(RecordedArgument(), folder + kLatin1Name);
  window.close();
}

}  // namespace
}  // namespace velmora

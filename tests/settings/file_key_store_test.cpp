// The settings file: its text, what it accepts, and that no failure or crash during a save
// leaves a broken or lost file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "settings/FileKeyStore.h"
#include "settings/SettingsTestSupport.h"

namespace velmora {
namespace {

using FileKeyStoreTest = testing::SettingsFileTest;

// A file as an editor may leave it is read; awkward texts written to it come back unchanged,
// and a value of another kind survives the save.
TEST_F(FileKeyStoreTest, ReadsWhatAnEditorMayLeaveAndAwkwardTextsRoundTrip) {
  testing::WriteWholeFile(FileName(),
                          "\xEF\xBB\xBF; comment\r\n"
                          "\r\n"
                          "[hkey_current_user\\Software\\Velmora\\Option]   \r\n"
                          "\"Size\"=\"1\"\r\n"
                          "  ; indented comment\n"
                          "\"Count\"=dword:00000003\n"
                          "\"Size\"=\"2\"\n");
  const std::vector<std::pair<std::string, std::string>> values = {
      {"Quote\"Name", "C:\\WINDOWS\\NOTEPAD.EXE\\"},
      {"Lines", "one\ntwo\r\nthree\r"},
      {"Escapes", "\\n is not a line feed, \\\" not a quote"},
      {"Brackets", "[HKEY_CURRENT_USER\\Software]\n\"a\"=\"b\""},
      {"Bytes", std::string("caf\xE9 \x01\t end", 11)},
      {"", "the unnamed value"},
  };
  {
    FileKeyStore store(FileName());
    ASSERT_TRUE(store.CorruptCopy().empty());
    ASSERT_TRUE(store.OpenKey("Software\\Velmora\\Option", false));
    EXPECT_EQ(store.ReadString("Size"), "2");
    EXPECT_EQ(store.GetValueKind("Count"), ValueKind::kOther);
    ASSERT_TRUE(store.OpenKey("Software\\Velmora\\Odd]Key [x]", true));
    for (const auto& [name, value] : values) store.WriteString(name, value);
    store.Flush();
  }
  const std::string text = testing::ReadWholeFile(FileName());
  EXPECT_NE(text.find("\n\"Count\"=dword:00000003\n"), std::string::npos);
  EXPECT_EQ(text.find('\r'), std::string::npos) << "line breaks in values are escaped";
  FileKeyStore store(FileName());
  EXPECT_TRUE(store.CorruptCopy().empty());
  ASSERT_TRUE(store.OpenKey("software\\velmora\\odd]key [X]", false));
  for (const auto& [name, value] : values) EXPECT_EQ(store.ReadString(name), value) << name;
}

// Each unparsable file is kept aside under its own name, none replacing an earlier one.
TEST_F(FileKeyStoreTest, UnparsableFilesAreKeptAsideAndTheStoreStartsEmpty) {
  const std::string corrupt[] = {
      "\"Name\"=\"value before any section\"\n",
      "[HKEY_LOCAL_MACHINE\\Software]\n",
      "[HKEY_CURRENT_USER\\Software]\n\"Name\"=\"unterminated\n",
      "[HKEY_CURRENT_USER\\Software]\n\"Name\"=\"bad escape \\t\"\n",
      "[HKEY_CURRENT_USER\\Software]\n\"Name\"=\"x\" trailing\n",
      "[HKEY_CURRENT_USER\\Software]\n\"Name\"=12\n",
  };
  std::vector<std::string> copies;
  for (const auto& text : corrupt) {
    testing::WriteWholeFile(FileName(), text);
    FileKeyStore store(FileName());
    EXPECT_EQ(store.CorruptCopy().rfind(FileName() + ".corrupt-", 0), 0u) << text;
    EXPECT_FALSE(std::filesystem::exists(FileName()));
    EXPECT_FALSE(store.OpenKey("Software", false));
    copies.push_back(store.CorruptCopy());
  }
  for (std::size_t i = 0; i < copies.size(); ++i) {
    EXPECT_EQ(testing::ReadWholeFile(copies[i]), corrupt[i]);
  }
}

// Broken by someone else while running: it is kept aside and this copy's settings win.
TEST_F(FileKeyStoreTest, FileBrokenWhileRunningIsKeptAsideAndRewritten) {
  FileKeyStore store(FileName());
  ASSERT_TRUE(store.OpenKey("Software\\Velmora", true));
  store.WriteString("Mine", "1");
  store.Flush();
  testing::WriteWholeFile(FileName(), "broken\n");
  ASSERT_TRUE(store.OpenKey("Software\\Velmora", false));
  EXPECT_EQ(store.ReadString("Mine"), "1");
  EXPECT_EQ(testing::ReadWholeFile(store.CorruptCopy()), "broken\n");
  store.Flush();
  FileKeyStore reread(FileName());
  ASSERT_TRUE(reread.OpenKey("Software\\Velmora", false));
  EXPECT_EQ(reread.ReadString("Mine"), "1");
}

// OpenKey looks at the file only when its folder's watch reports a change; every way the file
// can be replaced must still be seen by the next OpenKey, also those the watch cannot report.
TEST_F(FileKeyStoreTest, EveryWayOfReplacingTheFileIsSeenByTheNextOpen) {
  namespace fs = std::filesystem;
  const auto save = [](const std::string& file, const char* name, const char* value) {
    FileKeyStore other(file);
    ASSERT_TRUE(other.OpenKey("Software\\Velmora", true));
    other.WriteString(name, value);
    other.Flush();
  };
  const auto write = [](const fs::path& file) {
    testing::WriteWholeFile(file, "[HKEY_CURRENT_USER\\Software\\Velmora]\n\"Theirs\"=\"2\"\n");
  };
  const struct {
    const char* what;
    std::function<void(const fs::path& folder)> replace;
    bool linked = false;  // the settings file is a link to "target/registry.reg"
    bool wait = false;    // only the regular look can see it
  } cases[] = {
      {"saved by another copy",
       [&](const fs::path& f) { save(f / "registry.reg", "Theirs", "2"); }},
      {"written in place", [&](const fs::path& f) { write(f / "registry.reg"); }},
      {"folder removed and made again",
       [&](const fs::path& f) {
         fs::remove_all(f);
         fs::create_directories(f);
         write(f / "registry.reg");
       }},
      {"target of the link saved",
       [&](const fs::path& f) { save(f / "target/registry.reg", "Theirs", "2"); }, true},
      {"folder above moved away and made again",
       [&](const fs::path& f) {
         fs::rename(f.parent_path(), f.parent_path().string() + "-old");
         fs::create_directories(f);
         save(f / "registry.reg", "Theirs", "2");
       },
       false, true},
  };
  int round = 0;
  for (const auto& c : cases) {
    const fs::path folder = folder_.Path() / std::to_string(round++) / "Velmora";
    fs::create_directories(folder / "target");
    const std::string file = folder / "registry.reg";
    if (c.linked) fs::create_symlink(folder / "target/registry.reg", file);
    FileKeyStore store(file);
    ASSERT_TRUE(store.OpenKey("Software\\Velmora", true)) << c.what;
    store.WriteString("Mine", "1");
    store.Flush();
    c.replace(folder);
    if (c.wait) {
      std::this_thread::sleep_for(FileKeyStore::kLookInterval + std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(store.OpenKey("Software\\Velmora", false)) << c.what;
    EXPECT_EQ(store.ReadString("Theirs"), "2") << c.what;
    // Saving again keeps watching: the next change is seen as well.
    store.WriteString("Mine", "3");
    store.Flush();
    save(file, "Theirs", "4");
    ASSERT_TRUE(store.OpenKey("Software\\Velmora", false)) << c.what;
    EXPECT_EQ(store.ReadString("Theirs"), "4") << c.what;
    EXPECT_EQ(store.ReadString("Mine"), "3") << c.what;
  }
}

// A store that cannot load leaves nothing open behind it (its folder watch included).
TEST_F(FileKeyStoreTest, FailedLoadLeavesNoDescriptorOpen) {
  std::filesystem::create_directories(FileName());  // a folder cannot be read as a file
  const auto before = testing::OpenDescriptorCount();
  for (int i = 0; i < 5; ++i) EXPECT_THROW(FileKeyStore store(FileName()), std::runtime_error);
  EXPECT_EQ(testing::OpenDescriptorCount(), before);
}

TEST_F(FileKeyStoreTest, FailedSaveLeavesTheOldFileAndNoTemporaryFile) {
  FileKeyStore store(FileName());
  ASSERT_TRUE(store.OpenKey("Software\\Velmora", true));
  store.WriteString("Small", "old");
  store.Flush();
  struct stat info {};
  ASSERT_EQ(::stat(FileName().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u) << "settings are private";
  ASSERT_EQ(::chmod(FileName().c_str(), 0640), 0);
  const std::string before = testing::ReadWholeFile(FileName());

  store.WriteString("Small", "new");
  store.WriteString("Large", std::string(100000, 'x'));
  std::string error;
  try {
    const testing::ScopedFileSizeLimit limit(4096);
    store.Flush();
  } catch (const std::runtime_error& e) {
    error = e.what();
  }

  EXPECT_EQ(error.rfind("Cannot save the settings file '" + FileName() + "': ", 0), 0u) << error;
  EXPECT_EQ(testing::ReadWholeFile(FileName()), before);
  EXPECT_TRUE(testing::EntriesStartingWith(folder_.Path(), "registry.reg.").empty());
  // The changes are still held and go out with the next save that can be made.
  store.Flush();
  FileKeyStore reread(FileName());
  ASSERT_TRUE(reread.OpenKey("Software\\Velmora", false));
  EXPECT_EQ(reread.ReadString("Small"), "new");
  EXPECT_EQ(reread.ReadString("Large").size(), 100000u);
  ASSERT_EQ(::stat(FileName().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "a save keeps the file's mode";
}

TEST_F(FileKeyStoreTest, KeyNamesWithLineBreaksAreRefusedAndNothingIsWritten) {
  FileKeyStore store(FileName());
  EXPECT_FALSE(store.OpenKey("Software\\Bad\nName", true));
  EXPECT_FALSE(store.OpenKey("Software\\Bad\rName", true));
  store.Flush();
  EXPECT_FALSE(std::filesystem::exists(FileName()));
}

TEST(DefaultRegistryFileNameTest, FollowsXdgConfigHomeWhenAbsolute) {
  const testing::ScopedEnv home("HOME", "/home/u");
  for (const auto& [config, file] : {std::pair{"/cfg", "/cfg/Velmora/registry.reg"},
                                     {"relative", "/home/u/.config/Velmora/registry.reg"},
                                     {"", "/home/u/.config/Velmora/registry.reg"}}) {
    const testing::ScopedEnv config_home("XDG_CONFIG_HOME", config);
    EXPECT_EQ(DefaultRegistryFileName(), file) << config;
  }
}

}  // namespace
}  // namespace velmora

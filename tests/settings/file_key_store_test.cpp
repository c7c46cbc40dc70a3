// The settings file: its text, what it accepts, and that no failure or crash during a save
// leaves a broken or lost file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
  const std::string theirs = "[HKEY_CURRENT_USER\\Software\\Velmora]\n\"Theirs\"=\"2\"\n";
  const auto saveTheirs = [](const std::string& file) {
    FileKeyStore other(file);
    ASSERT_TRUE(other.OpenKey("Software\\Velmora", true));
    other.WriteString("Theirs", "2");
    other.Flush();
  };
  struct Case {
    const char* what;
    bool linked;  // the settings file is a link to "target/registry.reg"
    std::function<void(const fs::path& folder)> replace;
    bool wait;  // only the regular look can see it
  } cases[] = {
      {"saved by another copy", false,
       [&](const fs::path& folder) { saveTheirs(folder / "registry.reg"); }, false},
      {"written in place", false,
       [&](const fs::path& folder) { testing::WriteWholeFile(folder / "registry.reg", theirs); },
       false},
      {"folder removed and made again", false,
       [&](const fs::path& folder) {
         fs::remove_all(folder);
         fs::create_directories(folder);
         testing::WriteWholeFile(folder / "registry.reg", theirs);
       },
       false},
      {"target of the link saved", true,
       [&](const fs::path& folder) { saveTheirs(folder / "target/registry.reg"); }, false},
      {"folder above moved away and made again", false,
       [&](const fs::path& folder) {
         const fs::path above = folder.parent_path();
         fs::rename(above, above.string() + "-old");
         fs::create_directories(folder);
         saveTheirs(folder / "registry.reg");
       },
       true},
  };
  int round = 0;
  for (const auto& c : cases) {
    const fs::path folder = folder_.Path() / std::to_string(round++) / "Velmora";
    fs::create_directories(folder / "target");
    const std::string file = folder / "registry.reg";
    if (c.linked) {
      testing::WriteWholeFile(folder / "target/registry.reg",
                              "[HKEY_CURRENT_USER\\Software\\Velmora]\n\"Mine\"=\"1\"\n");
      fs::create_symlink(folder / "target/registry.reg", file);
    }
    FileKeyStore store(file);
    ASSERT_TRUE(store.OpenKey("Software\\Velmora", true)) << c.what;
    // A save puts a regular file in place of a link.
    if (!c.linked) {
      store.WriteString("Mine", "1");
      store.Flush();
    }
    ASSERT_TRUE(store.OpenKey("Software\\Velmora", true)) << c.what;
    EXPECT_EQ(store.ReadString("Theirs"), "") << c.what;

    c.replace(folder);
    if (c.wait) {
      std::this_thread::sleep_for(FileKeyStore::kLookInterval + std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(store.OpenKey("Software\\Velmora", false)) << c.what;
    EXPECT_EQ(store.ReadString("Theirs"), "2") << c.what;
    // Saving again keeps watching: the next change is seen as well.
    store.WriteString("Mine", "3");
    store.Flush();
    {
      FileKeyStore other(file);
      ASSERT_TRUE(other.OpenKey("Software\\Velmora", false)) << c.what;
      other.WriteString("Theirs", "4");
      other.Flush();
    }
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

  // Limit the size of files this process may write, so the next save runs out of room.
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = saved;
  limited.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  store.WriteString("Small", "new");
  store.WriteString("Large", std::string(100000, 'x'));
  std::string error;
  try {
    store.Flush();
  } catch (const std::runtime_error& e) {
    error = e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, old_handler);

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

// A child process saves large generations of the store in a loop and is killed at varying
// moments after its first save; every time, the file must be one complete generation.
TEST_F(FileKeyStoreTest, KillDuringSavesNeverLeavesABrokenFile) {
  const std::string payload(1 << 20, 'p');
  for (int round = 0; round < 12; ++round) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(ready[0]);
      FileKeyStore store(FileName());
      for (int generation = 0;; ++generation) {
        store.OpenKey("Software\\Velmora", true);
        const std::string tag = std::to_string(round) + ":" + std::to_string(generation);
        store.WriteString("Begin", tag);
        store.WriteString("Payload", payload);
        store.WriteString("End", tag);
        store.Flush();
        if (generation == 0) {
          (void)!::write(ready[1], "x", 1);
          ::close(ready[1]);
        }
      }
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the child never saved";
    ::close(ready[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(3 + 7 * round));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    FileKeyStore store(FileName());
    ASSERT_TRUE(store.CorruptCopy().empty()) << "round " << round;
    ASSERT_TRUE(store.OpenKey("Software\\Velmora", false)) << "round " << round;
    EXPECT_EQ(store.ReadString("Begin"), store.ReadString("End"));
    EXPECT_EQ(store.ReadString("Begin").rfind(std::to_string(round) + ":", 0), 0u);
    EXPECT_EQ(store.ReadString("Payload"), payload);
  }
  // Killed saves may leave temporary files behind, never anything else.
  for (const auto& name : testing::EntriesStartingWith(folder_.Path(), "registry.reg."))
    EXPECT_EQ(name.rfind("registry.reg.tmp-", 0), 0u) << name;
}

TEST_F(FileKeyStoreTest, KeyNamesWithLineBreaksAreRefusedAndNothingIsWritten) {
  FileKeyStore store(FileName());
  EXPECT_FALSE(store.OpenKey("Software", false));
  EXPECT_FALSE(store.OpenKey("Software\\Bad\nName", true));
  EXPECT_FALSE(store.OpenKey("Software\\Bad\rName", true));
  store.Flush();
  EXPECT_FALSE(std::filesystem::exists(FileName()));
}

TEST(DefaultRegistryFileNameTest, FollowsXdgConfigHomeWhenAbsolute) {
  const testing::ScopedEnv home("HOME", "/home/u");
  {
    const testing::ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(DefaultRegistryFileName(), "/cfg/Velmora/registry.reg");
  }
  for (const char* config_home : {"relative", ""}) {
    const testing::ScopedEnv config("XDG_CONFIG_HOME", config_home);
    EXPECT_EQ(DefaultRegistryFileName(), "/home/u/.config/Velmora/registry.reg");
  }
}

}  // namespace
}  // namespace velmora

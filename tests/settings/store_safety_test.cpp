// The settings file against hostile or racing surroundings: stored counts no entry backs, a
// FIFO or a link in the file's place, and two running copies saving at once.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "doubles/TestEnvironment.h"
#include "ports/Locale.h"
#include "settings/FileKeyStore.h"
#include "settings/MemoryKeyStore.h"
#include "settings/SettingsTestSupport.h"
#include "settings/Un_MyRegistry.h"

namespace velmora {
namespace {

using Strings = std::vector<std::string>;

// Runs `child` in a forked process, killed after `seconds`, that exits with its answer.
pid_t Spawn(const std::function<bool()>& child, unsigned seconds = 20) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(seconds);
    ::_exit(child() ? 0 : 1);
  }
  return pid;
}

bool Succeeded(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A stored count is only an upper bound: entries are read up to the last one present (gaps
// below it read as empty entries), and no count costs more than the entries that exist.
TEST(StoredCountTest, ListsReadOnlyUpToTheLastEntryPresent) {
  struct List {
    const char* key;
    const char* count_name;
    const char* item_prefix;
    std::function<void(TMy_Registry&, Strings&)> read;
  };
  const List lists[] = {
      {"Software\\Velmora", "ComboBoxPathCountV", "ComboBoxPath",
       [](TMy_Registry& r, Strings& l) { r.ReadMru("ComboBoxPath", l); }},
      {"Software\\Velmora\\Ignore", "PathFileCountV", "PathFile",
       [](TMy_Registry& r, Strings& l) { r.ReadIgnoreList("Path", l); }},
      {"Software\\Velmora\\Backup", "FileBackUpCountV", "FileBackUp",
       [](TMy_Registry& r, Strings& l) { r.ReadBackups(l); }},
  };
  struct Row {
    const char* count;
    std::vector<int> present;
    Strings expected;
  } rows[] = {
      {"2000000000", {0}, {"e0"}},
      {"5", {0, 2}, {"e0", "", "e2"}},
      {"5", {}, {}},
      {"1", {0, 3}, {"e0"}},
      {"-4", {0}, {}},
  };
  const FixedLocale locale;
  for (const auto& list : lists) {
    for (const auto& row : rows) {
      MemoryKeyStore store;
      TMy_Registry registry(store, locale, testing::TestEnvironment());
      ASSERT_TRUE(store.OpenKey(list.key, false));
      for (int i = 0; i < 4; ++i) store.DeleteValue(list.item_prefix + std::to_string(i));
      store.WriteString(list.count_name, row.count);
      for (const int i : row.present) {
        store.WriteString(list.item_prefix + std::to_string(i), "e" + std::to_string(i));
      }
      Strings read{"stale"};
      list.read(registry, read);
      EXPECT_EQ(read, row.expected) << list.count_name << "=" << row.count;
    }
  }
}

TEST(StoredCountTest, WritersOverAHugeCountKeepOnlyWhatExists) {
  const FixedLocale locale;
  MemoryKeyStore store;
  TMy_Registry registry(store, locale, testing::TestEnvironment());
  const auto put = [&](const char* key, const char* name, const char* value) {
    ASSERT_TRUE(store.OpenKey(key, false));
    store.WriteString(name, value);
  };
  put("Software\\Velmora", "ComboBoxPathCountV", "2000000000");
  registry.WriteMru("ComboBoxPath", {"/a/", "/b/"}, "/b/");
  EXPECT_TRUE(testing::HasValues(store, "Software\\Velmora", "ComboBoxPathCountV=2"));

  put(testing::kBackupKey, "FileBackUpCountV", "2000000000");
  put(testing::kBackupKey, "FileBackUp0", "/gone/one.bak");
  registry.AddBackups({"/gone/two.bak"});
  EXPECT_TRUE(testing::HasValues(store, testing::kBackupKey,
                                 "FileBackUpCountV=2 FileBackUp1=/gone/two.bak"));
  put(testing::kBackupKey, "FileBackUpCountV", "2000000000");
  EXPECT_EQ(registry.PurgeBackups(), 0);
  EXPECT_TRUE(testing::HasValues(store, testing::kBackupKey, "FileBackUpCountV=0"));
}

using StoreSafetyTest = testing::SettingsFileTest;

// Opening a FIFO for reading waits for a writer forever; it is kept aside instead, the user
// is told once, and the first save puts a regular file in its place.
TEST_F(StoreSafetyTest, FifoInPlaceOfTheFileIsKeptAsideWithoutHanging) {
  ASSERT_EQ(::mkfifo(FileName().c_str(), 0600), 0);
  const std::string file = FileName();
  EXPECT_TRUE(Succeeded(Spawn([&] {
    FileKeyStore store(file);
    const std::string kept = store.TakeKeptCopy();
    struct stat info {};
    const bool kept_fifo = ::lstat(kept.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
    const bool told_once = store.TakeKeptCopy().empty();
    store.OpenKey("Software\\Velmora", true);
    store.WriteString("After", "1");
    store.Flush();
    const bool saved_regular = ::lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    return kept.rfind(file + ".corrupt-", 0) == 0 && kept_fifo && told_once && saved_regular;
  }))) << "the store hung or did not keep the FIFO aside";
}

// A settings file that is a link (kept with the user's other dotfiles) stays a link, whether
// its target exists yet or not.
TEST_F(StoreSafetyTest, LinkStaysALinkAndItsTargetIsWritten) {
  namespace fs = std::filesystem;
  const struct {
    const char* what;
    fs::path target;   // as written in the link
    fs::path written;  // where the file must appear
    bool exists;
  } cases[] = {
      {"existing", folder_.Path() / "dotfiles.reg", folder_.Path() / "dotfiles.reg", true},
      {"relative", "later/velmora.reg", folder_.Path() / "later/velmora.reg", false},
  };
  for (const auto& c : cases) {
    fs::remove(FileName());
    if (c.exists) testing::WriteWholeFile(c.written, "");
    fs::create_symlink(c.target, FileName());
    {
      FileKeyStore store(FileName());
      ASSERT_TRUE(store.OpenKey("Software\\Velmora", true)) << c.what;
      store.WriteString("Kept", c.what);
      store.Flush();
    }
    EXPECT_TRUE(fs::is_symlink(FileName())) << c.what;
    EXPECT_EQ(fs::read_symlink(FileName()), c.target) << c.what;
    EXPECT_NE(testing::ReadWholeFile(c.written).find(c.what), std::string::npos) << c.what;
    FileKeyStore reread(FileName());
    ASSERT_TRUE(reread.OpenKey("Software\\Velmora", false)) << c.what;
    EXPECT_EQ(reread.ReadString("Kept"), c.what);
  }
}

// Two copies each save 100 values, one save per value, at the same time: none is lost.
TEST_F(StoreSafetyTest, TwoProcessesSavingAtOnceLoseNoValue) {
  constexpr int kValues = 100;
  int start[2];
  ASSERT_EQ(::pipe(start), 0);
  std::vector<pid_t> children;
  for (const std::string writer : {"A", "B"}) {
    children.push_back(Spawn([&] {
      ::close(start[1]);
      char byte = 0;
      (void)!::read(start[0], &byte, 1);  // both begin when the parent closes the pipe
      FileKeyStore store(FileName());
      for (int i = 0; i < kValues; ++i) {
        store.OpenKey(testing::kOptionKey, true);
        store.WriteString(writer + std::to_string(i), std::to_string(i));
        store.Flush();
      }
      return true;
    }));
  }
  ::close(start[0]);
  ::close(start[1]);
  for (const pid_t pid : children) EXPECT_TRUE(Succeeded(pid));
  FileKeyStore store(FileName());
  ASSERT_TRUE(store.OpenKey(testing::kOptionKey, false));
  int missing = 0;
  for (const std::string writer : {"A", "B"}) {
    for (int i = 0; i < kValues; ++i)
      missing += store.ReadString(writer + std::to_string(i)) != std::to_string(i);
  }
  EXPECT_EQ(missing, 0);
}

// A child saves large generations of the store in a loop and is killed at varying moments
// after its first save; every time, the file must be one complete generation.
TEST_F(StoreSafetyTest, KillDuringSavesNeverLeavesABrokenFile) {
  const std::string payload(1 << 20, 'p');
  for (int round = 0; round < 12; ++round) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = Spawn([&] {
      ::close(ready[0]);
      FileKeyStore store(FileName());
      for (int generation = 0;; ++generation) {
        store.OpenKey("Software\\Velmora", true);
        const std::string tag = std::to_string(round) + ":" + std::to_string(generation);
        store.WriteString("Begin", tag);
        store.WriteString("Payload", payload);
        store.WriteString("End", tag);
        store.Flush();
        if (generation == 0 && ::write(ready[1], "x", 1) != 1) return false;
      }
      return false;
    });
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the child never saved";
    ::close(ready[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(3 + 7 * round));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "stopped saving early";

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

}  // namespace
}  // namespace velmora

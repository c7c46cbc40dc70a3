#pragma once

// A main-window controller over test doubles and a temporary folder tree.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/Un_Utama.h"
#include "base/DateTime.h"
#include "doubles/FakeKnownFolders.h"
#include "doubles/FakeViewer.h"
#include "doubles/RecordingForms.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedDialogs.h"
#include "doubles/ScriptedEventPump.h"
#include "settings/MemoryKeyStore.h"

namespace velmora::testing {

// Fixed formats like FixedLocale, with a decimal separator of the test's choice.
class TestLocale : public Locale {
 public:
  std::string ShortDateFormat() const override { return base.ShortDateFormat(); }
  std::string ShortTimeFormat() const override { return base.ShortTimeFormat(); }
  char DecimalSeparator() const override { return decimal; }
  int CompareStrings(std::string_view a, std::string_view b, bool ignore_case) const override {
    return base.CompareStrings(a, b, ignore_case);
  }
  FixedLocale base;
  char decimal = '.';
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::filesystem::temp_directory_path() /
           ("velmora-app-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "tree");
    std::filesystem::create_directories(root / "data");
    folders.appData = (root / "data").string() + "/";
    folders.program = (root / "program").string() + "/";
    folders.home = (root / "home").string() + "/";
    folders.current = folders.home;
  }
  void TearDown() override {
    window.reset();
    std::filesystem::remove_all(root);
  }

  RegistryEnvironment Environment() {
    RegistryEnvironment env;
    env.home_folder = folders.home;
    env.find_program = [](const std::string&) { return std::string(); };
    env.now = [] { return EncodeDate(2026, 12, 6) + EncodeTime(12, 0, 0); };
    return env;
  }

  // Creates the window over the shared store and shows it.
  Tfrm_utama& Show() {
    window = std::make_unique<Tfrm_utama>(TMainWindowPorts{keys, locale, shell, viewer, dialogs,
                                                           forms, pump, folders, Environment()});
    window->Now = [] { return EncodeDate(2026, 12, 6) + EncodeTime(12, 0, 0); };
    window->FormShow();
    return *window;
  }

  std::string Tree() const { return (root / "tree").string() + "/"; }

  // Writes a file below the tree; `when` sets its modification time (local) when not 0.
  std::string Write(const std::string& relative, const std::string& text) {
    const auto path = root / "tree" / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  // Runs a search of the tree on the current page with the given query box text.
  void Find(const std::string& query) {
    Tfrm_utama& w = *window;
    w.cmb_path.Text = Tree();
    if (w.PageControl1.ActivePageIndex == kPageFind) {
      w.cmb_query.Text = query;
    } else {
      w.cmb_query_1.Text = query;
    }
    w.btn_findClick();
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const auto& item : window->ListView1.Items) captions.push_back(item.Caption);
    return captions;
  }

  void SetOption(const std::string& name, const std::string& value) {
    keys.OpenKey("Software\\Velmora\\Option", true);
    keys.WriteString(name, value);
  }

  std::string StoredValue(const std::string& key, const std::string& name) {
    keys.OpenKey(key, false);
    return keys.ReadString(name);
  }

  std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path root;
  MemoryKeyStore keys;
  TestLocale locale;
  RecordingShell shell;
  FakeViewer viewer;
  ScriptedDialogs dialogs;
  RecordingForms forms;
  ScriptedEventPump pump;
  FakeKnownFolders folders;
  std::unique_ptr<Tfrm_utama> window;
};

}  // namespace velmora::testing

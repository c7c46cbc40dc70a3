#pragma once

// A main-window controller over test doubles and a temporary folder tree.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <utime.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/Un_Utama.h"
#include "base/DateTime.h"
#include "doubles/FakeKnownFolders.h"
#include "doubles/FakeViewer.h"
#include "doubles/RecordingForms.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedDialogs.h"
#include "doubles/ScriptedEventPump.h"
#include "doubles/TempFolder.h"
#include "settings/MemoryKeyStore.h"

namespace velmora::testing {

using Strings = std::vector<std::string>;

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
    std::filesystem::create_directories(root / "tree");
    folders.appData = (root / "data").string() + "/";
    folders.program = (root / "program").string() + "/";
    folders.home = (root / "home").string() + "/";
    folders.current = folders.home;
  }

  RegistryEnvironment Environment() {
    RegistryEnvironment env;
    env.home_folder = folders.home;
    env.find_program = [](const std::string&) { return std::string(); };
    env.now = [] { return EncodeDate(2026, 12, 6) + EncodeTime(12, 0, 0); };
    return env;
  }

  // Creates the window over the given store and locale and shows it.
  // The store and locale are borrowed: a test that passes its own resets the window first.
  Tfrm_utama& Show(KeyStore& store, const Locale& shownLocale) {
    window = std::make_unique<Tfrm_utama>(TMainWindowPorts{
        store, shownLocale, shell, viewer, dialogs, forms, pump, folders, Environment()});
    window->Now = [] { return EncodeDate(2026, 12, 6) + EncodeTime(12, 0, 0); };
    window->FormShow();
    return *window;
  }
  Tfrm_utama& Show() { return Show(keys, locale); }

  // Shows the window on "Search and Replace" with the given search and modification types.
  Tfrm_utama& ShowReplacePage(int searchType, int modType) {
    Tfrm_utama& w = Show();
    w.PageControl1.ActivePageIndex = kPageReplace;
    w.RG_Type_1.ItemIndex = searchType;
    w.PageControl1Change();
    w.RG_Mod.ItemIndex = modType;
    w.RG_ModClick();
    return w;
  }

  std::string Tree() const { return (root / "tree").string() + "/"; }

  // Writes a file below the tree.
  std::string Write(const std::string& relative, const std::string& text) {
    const auto path = root / "tree" / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteWholeFile(path.string(), text);
    return path.string();
  }

  static void SetFileTime(const std::string& name, std::time_t when) {
    utimbuf times{when, when};
    ASSERT_EQ(::utime(name.c_str(), &times), 0);
  }

  // Runs a search of the tree on the current page with the given query box text.
  void Find(const std::string& query) {
    Tfrm_utama& w = *window;
    w.cmb_path.Text = Tree();
    (w.PageControl1.ActivePageIndex == kPageFind ? w.cmb_query : w.cmb_query_1).Text = query;
    w.btn_findClick();
  }

  Strings Captions() const {
    Strings captions;
    for (const auto& item : window->ListView1.Items) captions.push_back(item.Caption);
    return captions;
  }

  void SelectOnly(const std::vector<int>& rows) {
    auto& items = window->ListView1.Items;
    for (std::size_t i = 0; i < items.size(); ++i)
      items[i].Selected = std::find(rows.begin(), rows.end(), static_cast<int>(i)) != rows.end();
  }

  Strings Messages() const {
    Strings texts;
    for (const auto& m : dialogs.messages) texts.push_back(m.text);
    return texts;
  }

  void SetOption(const std::string& name, const std::string& value) {
    keys.OpenKey("Software\\Velmora\\Option", true);
    keys.WriteString(name, value);
  }
  void SetOptions(std::initializer_list<std::pair<const char*, const char*>> options) {
    for (const auto& [name, value] : options) SetOption(name, value);
  }

  std::string StoredValue(const std::string& key, const std::string& name) {
    keys.OpenKey(key, false);
    return keys.ReadString(name);
  }

  static std::string ReadFile(const std::string& name) { return ReadWholeFile(name); }

  TempFolder temp;
  std::filesystem::path root = temp.Path();
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

// What the option and settings dialogs change is what the next run applies.

#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <functional>

#include "app/MainWindowFixture.h"
#include "settings/Un_Option.h"
#include "settings/Un_Settings.h"
#include "settings/Un_ignore_file.h"
#include "settings/Un_ignore_path.h"

namespace velmora::testing {
namespace {

using Captions_t = std::vector<std::string>;

class DialogsRunTest : public MainWindowTest {
 protected:
  void MakeTree() {
    Write("top.txt", "0123456789");
    Write("big.txt", std::string(3000, 'x'));
    const std::string old = Write("old.txt", "0123456789");
    std::tm june{};
    june.tm_year = 120;
    june.tm_mon = 5;
    june.tm_mday = 1;
    june.tm_hour = 12;
    june.tm_isdst = -1;
    const std::time_t when = std::mktime(&june);
    utimbuf times{when, when};
    ASSERT_EQ(::utime(old.c_str(), &times), 0);
    Write("sub/s.txt", "x");
    Write("skip/d.txt", "x");
    Write("skip/deep/e.txt", "x");
    Write("x.bak", "x");
    Write("y.tmp", "x");
  }
  // The Option dialog shown, changed by `change`, and closed with "Exit".
  void WithOptions(const std::function<void(Tfrm_option&)>& change) {
    Tfrm_option dialog(*window->registry, dialogs, locale);
    dialog.FormShow();
    change(dialog);
    dialog.Button3Click();
    ASSERT_EQ(dialog.Result, ModalResult::Ok);
  }
  // The Settings dialog with both switches on, the lists changed in their dialogs, all "Ok".
  void IgnoreLists(const std::string& folder, bool subfolders, const std::string& mask) {
    Tfrm_settings settings(*window->registry, dialogs, folders);
    settings.FormShow();
    settings.is_ignoredir.Checked = settings.is_ignore_files.Checked = true;
    Tfrm_ignorepath paths(*window->registry, dialogs, folders);
    paths.FormShow();
    if (!folder.empty()) dialogs.folders = {folder};
    paths.btn_browseClick();
    paths.CheckBox1.Checked = subfolders;
    paths.btn_okClick();
    TFrm_file_ignor masks(*window->registry, dialogs);
    masks.FormShow();
    if (!mask.empty()) dialogs.inputs = {mask};
    masks.btn_maskClick();
    masks.btn_okClick();
    settings.btn_okClick();
  }
};

TEST_F(DialogsRunTest, TheNextRunAppliesWhatTheDialogsChanged) {
  MakeTree();
  const Captions_t all = {"big.txt", "d.txt",   "e.txt", "old.txt",
                          "s.txt",   "top.txt", "x.bak", "y.tmp"};
  struct Case {
    const char* what;
    std::function<void()> change;
    int page;
    Captions_t expected;
  };
  const Case cases[] = {
      {"first run", [] {}, kPageFind, all},
      {"no subfolders",
       [this] { WithOptions([](Tfrm_option& o) { o.CheckBox1.Checked = false; }); },
       kPageFind,
       {"big.txt", "old.txt", "top.txt", "x.bak", "y.tmp"}},
      {"larger than 2 KB",
       [this] {
         WithOptions([](Tfrm_option& o) {
           o.CheckBox11.Checked = true;
           o.RadioButton3Click();
           o.Edit2.Text = "2";
         });
       },
       kPageFind,
       {"big.txt"}},
      {"modified in 2020",
       [this] {
         WithOptions([](Tfrm_option& o) {
           o.CheckBox10.Checked = true;
           o.RadioButton1Click();
           o.DateTimePicker1.Date = EncodeDate(2020, 1, 1);
           o.DateTimePicker2.Date = EncodeDate(2020, 12, 31);
         });
       },
       kPageFind,
       {"old.txt"}},
      {"backups on",
       [] {},
       kPageReplace,
       {"big.txt", "d.txt", "e.txt", "old.txt", "s.txt", "top.txt", "y.tmp"}},
      {"backups off", [this] { WithOptions([](Tfrm_option& o) { o.CheckBox2.Checked = false; }); },
       kPageReplace, all},
      {"ignored folder",
       [this] { IgnoreLists(Tree() + "skip", false, ""); },
       kPageFind,
       {"big.txt", "e.txt", "old.txt", "s.txt", "top.txt", "x.bak", "y.tmp"}},
      {"ignored folder and its subfolders",
       [this] { IgnoreLists(Tree() + "skip", true, ""); },
       kPageFind,
       {"big.txt", "old.txt", "s.txt", "top.txt", "x.bak", "y.tmp"}},
      {"ignored mask",
       [this] { IgnoreLists("", false, "*.tmp"); },
       kPageFind,
       {"big.txt", "d.txt", "e.txt", "old.txt", "s.txt", "top.txt", "x.bak"}},
  };
  for (const auto& c : cases) {
    window.reset();
    keys = MemoryKeyStore();
    Tfrm_utama& w = Show();
    c.change();
    w.PageControl1.ActivePageIndex = c.page;
    w.PageControl1Change();
    Find("");
    EXPECT_EQ(Captions(), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace velmora::testing

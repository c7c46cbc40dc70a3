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
  // The Option dialog opened from the menu, changed by `change`, and closed with "Exit".
  void WithOptions(const std::function<void(Tfrm_option&)>& change) {
    forms.answer = [&change](TForm& form) {
      auto& option = dynamic_cast<Tfrm_option&>(form);
      change(option);
      option.Button3Click();
    };
    window->Option1Click();
    ASSERT_EQ(forms.shown, std::vector<std::string>{"Option"});
  }
  // The Settings dialog from the menu with both switches on, each list changed in its own
  // dialog, everything closed with "Ok".
  void IgnoreLists(const std::string& folder, bool subfolders, const std::string& mask) {
    forms.answer = [&](TForm& form) {
      if (auto* settings = dynamic_cast<Tfrm_settings*>(&form)) {
        settings->is_ignoredir.Checked = settings->is_ignore_files.Checked = true;
        settings->is_ignoredirClick();
        settings->is_ignore_filesClick();
        settings->btn_edt_lstClick();
        settings->btn_edit_list_1Click();
        settings->btn_okClick();
      } else if (auto* paths = dynamic_cast<Tfrm_ignorepath*>(&form)) {
        if (!folder.empty()) dialogs.folders = {folder};
        paths->btn_browseClick();
        paths->CheckBox1.Checked = subfolders;
        paths->btn_okClick();
      } else {
        auto& masks = dynamic_cast<TFrm_file_ignor&>(form);
        if (!mask.empty()) dialogs.inputs = {mask};
        masks.btn_maskClick();
        masks.btn_okClick();
      }
    };
    window->Settings1Click();
    ASSERT_EQ(forms.shown.size(), 3u);
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
    forms.shown.clear();
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

// A settings file that could not be read is kept aside; the window tells the user once.

#include "app/MainWindowFixture.h"
#include "settings/FileKeyStore.h"

namespace velmora::testing {
namespace {

TEST_F(MainWindowTest, UnreadableSettingsFileKeptAsideIsToldOnceByName) {
  const std::string file = (root / "registry.reg").string();
  std::ofstream(file) << "not a settings file\n";
  FileKeyStore store(file);
  ASSERT_FALSE(store.CorruptCopy().empty());
  for (int shown = 0; shown < 2; ++shown) {
    Tfrm_utama w(TMainWindowPorts{store, locale, shell, viewer, dialogs, forms, pump, folders,
                                  Environment()});
    w.FormShow();
  }
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].text.find("\"" + store.CorruptCopy() + "\""), std::string::npos)
      << dialogs.messages[0].text;
  EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::Ok);
}

}  // namespace
}  // namespace velmora::testing

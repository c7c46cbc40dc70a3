// Program start: one instance per user, the settings store, the main window, the message loop.

#include <QApplication>
#include <memory>

#include "platform/MainWindow.h"
#include "platform/QtKnownFolders.h"
#include "platform/QtShell.h"
#include "platform/SingleInstance.h"
#include "settings/FileKeyStore.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmora"));
  QApplication::setApplicationDisplayName(QStringLiteral("Velmora"));

  // A second start ends at once, silently.
  const auto lock = velmora::AcquireSingleInstance(velmora::InstanceLockFileName());
  if (!lock) return 0;

  velmora::QtShell::PrepareIconTheme();
  std::unique_ptr<velmora::FileKeyStore> keys;
  try {
    keys = std::make_unique<velmora::FileKeyStore>(velmora::SettingsFileName());
  } catch (const std::exception& error) {
    velmora::QtDialogs dialogs;
    dialogs.MessageBox(error.what(), "Velmora", velmora::MsgKind::Error, velmora::MsgButtons::Ok);
    return 1;
  }
  velmora::MainWindow window(*keys);
  window.show();
  return QApplication::exec();
}

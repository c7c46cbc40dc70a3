// Program start: one instance per user, the settings store, the main window, the message loop.

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <memory>

#include "platform/MainWindow.h"
#include "platform/QtKnownFolders.h"
#include "platform/QtShell.h"
#include "settings/FileKeyStore.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmora"));
  QApplication::setApplicationDisplayName(QStringLiteral("Velmora"));

  // A second start ends at once, silently. A lock left by a crashed instance is taken over
  // (its process is gone); a running instance holds the lock however long it runs.
  QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty()) runtime = QDir::tempPath();
  QLockFile lock(QDir(runtime).filePath(QStringLiteral("Velmora.lock")));
  lock.setStaleLockTime(0);
  if (!lock.tryLock(0)) return 0;

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

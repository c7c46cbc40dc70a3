// Program start: one instance per user, the settings store, the main window, the message loop.

#include <QApplication>
#include <QIcon>
#include <memory>

#include "platform/MainWindow.h"
#include "platform/QtAdapters.h"
#include "platform/SingleInstance.h"
#include "settings/FileKeyStore.h"

namespace {

// The installed theme icon, else the copy built into the program.
QIcon ApplicationIcon() {
  QIcon embedded;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    embedded.addFile(QStringLiteral(":/icons/velmora-%1.png").arg(size), QSize(size, size));
  }
  return QIcon::fromTheme(QStringLiteral(VELMORA_APP_ID), embedded);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmora"));
  QApplication::setApplicationDisplayName(QStringLiteral("Velmora"));
  // The desktop matches the window to its entry (and icon) by this name.
  QApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));

  // A second start hands its arguments to the running copy, which comes to the front, and
  // ends. The program takes no arguments today, so the running copy only raises its window.
  const QString lockName = velmora::InstanceLockFileName();
  const auto lock = velmora::AcquireSingleInstance(lockName);
  if (!lock) {
    velmora::SendToRunningInstance(velmora::InstanceSocketName(lockName), {argv + 1, argv + argc});
    return 0;
  }

  velmora::QtShell::PrepareIconTheme();
  QApplication::setWindowIcon(ApplicationIcon());
  velmora::QtAdapters adapters;
  std::unique_ptr<velmora::FileKeyStore> keys;
  try {
    keys = std::make_unique<velmora::FileKeyStore>(velmora::SettingsFileName());
  } catch (const std::exception& error) {
    adapters.dialogs.MessageBox(error.what(), "Velmora", velmora::MsgKind::Error,
                                velmora::MsgButtons::Ok);
    return 1;
  }
  velmora::MainWindow window(*keys, adapters);
  velmora::InstanceServer instances([&window](const std::vector<std::string>&) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
  });
  instances.Listen(velmora::InstanceSocketName(lockName));
  window.show();
  return QApplication::exec();
}
